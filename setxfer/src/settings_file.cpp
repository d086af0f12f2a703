// The whole settings file: model line, test mode line, the setting sections in their
// fixed order (some only for some models), then the table and program data as the
// save or send type asks.
#include "setxfer/settings_file.h"

#include <algorithm>
#include <array>

#include "messages.h"
#include "names.h"
#include "program_listing.h"
#include "sections.h"
#include "table_text.h"

namespace setxfer {
namespace {

constexpr std::array<std::string_view, 11> kTestModeNames = {
    "0:ONLINE", "1:DELAY", "2:TREND", "3:BERT",    "4:MANUAL",  "5:MATCH",
    "6:BUFFER", "7:FLOW",  "8:ECHO",  "9:POLLING", "A:PROGRAM",
};
constexpr std::array<std::string_view, 3> kSaveTypeNames = {text::kSaveType0, text::kSaveType1, text::kSaveType2};

constexpr std::uint8_t kAll = 7, k7030 = 4, k7020And7030 = 6;
struct Section {
    SectionWriter write;
    SectionReader read;
    std::uint8_t models;  // bit per model
};
constexpr std::array<Section, 14> kSections = {{
    {write_configuration, read_configuration, kAll},
    {write_trigger, read_trigger, kAll},
    {write_timer_counter, read_timer_counter, kAll},
    {write_condition, read_condition, kAll},
    {write_auto_run, read_auto_run, kAll},
    {write_auto_config, read_auto_config, kAll},
    {write_delay_factor, read_delay_factor, kAll},
    {write_trend_fact, read_trend_fact, k7030},
    {write_beat, read_beat, kAll},
    {write_manual_factor, read_manual_factor, kAll},
    {write_buffer_factor, read_buffer_factor, k7030},
    {write_flow_control, read_flow_control, kAll},
    {write_echo_back, read_echo_back, kAll},
    {write_multi_polling, read_multi_polling, k7020And7030},
}};

bool has(const Section& s, Model m) { return (s.models >> static_cast<int>(m)) & 1; }

Failure failure(FailureKind kind, std::string_view message, std::string_view caption, bool warning = false) {
    return Failure{kind, message, caption, warning};
}

void write_line(std::string& out, std::string_view text) {
    append_padded(out, text, 7);
    out += "\r\n";
}

// Only the first character of the test mode line counts; up to ten more are skipped.
void read_test_mode(TokenReader& in, std::span<std::uint8_t> setup) {
    std::string_view c = in.token(1);
    if (c.size() == 1 && c[0] >= '0' && c[0] <= '9') setup[0] = static_cast<std::uint8_t>(c[0] - '0');
    else if (c == "A") setup[0] = 10;
    in.token(10);
}

// A marker line is one deciding character and up to ten more.
char read_marker(TokenReader& in) {
    std::string_view c = in.token(1);
    in.token(10);
    return c.empty() ? '\0' : c[0];
}

std::optional<Failure> check_sizes(const Bodies& b, int send_type) {
    bool ok = send_type >= 0 && send_type < kSaveTypeCount && b.setup.size() >= SetupSize &&
              (send_type < 1 || b.table.size() >= TableCapacity) && (send_type < 2 || b.program.size() >= ProgramSize);
    if (ok) return std::nullopt;
    return failure(FailureKind::Argument, "buffer too small for the send type", text::kCaptionError);
}

}  // namespace

std::optional<Model> model_from_name(std::string_view name) {
    const auto index = AnalyzerModelIndex(name);
    if (!index) return std::nullopt;
    return static_cast<Model>(*index);
}

std::string_view model_name(Model model) {
    const auto index = static_cast<std::size_t>(model);
    return index < AnalyzerModels.size() ? AnalyzerModels[index].name : std::string_view{};
}

std::string_view save_type_name(int type) {
    return type >= 0 && type < kSaveTypeCount ? kSaveTypeNames[static_cast<std::size_t>(type)] : std::string_view{};
}

int save_type_count(Model model) { return model == Model::RV7030 ? 3 : 2; }

std::optional<std::string> write_settings_file(const ConstBodies& b, Model model, int save_type, TableForm form) {
    if (save_type < 0 || save_type >= kSaveTypeCount || b.setup.size() < SetupSize ||
        (save_type >= 1 && b.table.size() < TableHeadSize) || (save_type >= 2 && b.program.size() < ProgramSize))
        return std::nullopt;
    auto setup = b.setup.first(SetupSize);
    std::string out;
    out.reserve(save_type >= 2 ? 80000 : 20000);
    write_line(out, model_name(model));
    write_line(out, name_at(kTestModeNames, setup[0]));
    for (const Section& s : kSections)
        if (has(s, model)) s.write(out, setup, model);
    if (save_type >= 1) {
        out += form == TableForm::Character ? "T:TABLEDATA\r\n" : "t:TABLEDATA\r\n";
        write_tables(out, b.table.first(std::min<std::size_t>(b.table.size(), TableCapacity)), form);
    }
    if (save_type >= 2) {
        out += "P:PROG_DATA\r\n";
        write_program(out, b.program.first(ProgramSize));
    }
    return out;
}

namespace {

std::optional<Failure> read_text(TokenReader& in, Model model, int send_type, const Bodies& b) {
    if (in.token(7) != model_name(model)) return failure(FailureKind::Model, text::kModelMismatch, text::kCaptionModel);
    auto setup = b.setup.first(SetupSize);
    read_test_mode(in, setup);
    for (const Section& s : kSections) {
        if (!has(s, model)) continue;
        if (auto message = s.read(in, setup, model))
            return failure(FailureKind::Section, *message, text::kCaptionError);
    }
    if (send_type < 1) return std::nullopt;
    char marker = read_marker(in);
    if (marker != 'T' && marker != 't')
        return failure(FailureKind::TableMarker, text::kTableMarker, text::kCaptionTableMarker, true);
    auto form = marker == 'T' ? TableForm::Character : TableForm::Hex;
    if (auto bad = read_tables(in, b.table.first(TableCapacity), form)) return bad;
    if (send_type < 2) return std::nullopt;
    if (read_marker(in) != 'P')
        return failure(FailureKind::ProgramMarker, text::kProgramMarker, text::kCaptionProgramMarker);
    return read_program(in, b.program.first(ProgramSize));
}

// The line holding the last byte read before `stop` (blank line ends skipped back over).
void locate(Failure& f, std::span<const std::uint8_t> file, std::size_t stop) {
    const std::string_view text(reinterpret_cast<const char*>(file.data()), file.size());
    std::size_t at = std::min(stop, text.size());
    while (at > 0 && (text[at - 1] == '\n' || text[at - 1] == '\r' || text[at - 1] == ' ')) --at;
    const std::size_t start = at == 0 ? 0 : text.rfind('\n', at - 1) + 1;  // npos + 1 is 0
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    if (end > start && text[end - 1] == '\r') --end;
    f.line = 1 + static_cast<int>(std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(start), '\n'));
    f.found = std::string(text.substr(start, end - start));
}

}  // namespace

std::optional<Failure> read_settings_file(std::span<const std::uint8_t> file, Model model, int send_type,
                                          const Bodies& b) {
    if (auto bad = check_sizes(b, send_type)) return bad;
    TokenReader in(file);
    auto f = read_text(in, model, send_type, b);
    if (f)
        locate(*f, file, f->kind == FailureKind::Section ? in.first_unread().value_or(in.position()) : in.position());
    return f;
}

}  // namespace setxfer
