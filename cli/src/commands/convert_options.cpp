// Option words to ConvertOptions fields: one table of names per choice field,
// in the order of the field's values.
#include "commands/convert_options.h"

#include <cstring>
#include <iterator>
#include <string_view>

#include "commands/layout_words.h"
#include "pcbuffer/buffer_names.h"

namespace cli {
namespace {

// A choice field takes the index of the word in its option's value list
// ("print|csv"), so the names are written once, in the option rows.
struct Choice {
    const char* option;
    std::int32_t ConvertOptions::*field;
};

constexpr Choice kChoices[] = {
    {"--format", &ConvertOptions::Format},        {"--line", &ConvertOptions::Line},
    {"--print", &ConvertOptions::PrintFormat},    {"--data", &ConvertOptions::PrintData},
    {"--frame", &ConvertOptions::TranslateFrame}, {"--packet", &ConvertOptions::TranslatePacket},
    {"--csv-form", &ConvertOptions::CsvForm},     {"--csv-data", &ConvertOptions::CsvData},
};

// The layouts that read an option; the others would silently ignore it.
enum Layout : unsigned { kNormal = 1, kTranslate = 2, kCsv = 4 };

struct LayoutUse {
    const char* option;
    unsigned layouts;
};

constexpr LayoutUse kLayoutUses[] = {
    {"--print", kNormal | kTranslate},
    {"--data", kNormal},
    {"--no-guide", kNormal},
    {"--line-states", kNormal},
    {"--no-time-stamps", kNormal},
    {"--no-idle-times", kNormal},
    {"--frame", kTranslate},
    {"--packet", kTranslate},
    {"--csv-form", kCsv},
    {"--csv-data", kCsv},
    {"--width", kCsv},
    {"--delimiter", kCsv},
};

// The options that choose these layouts.
const char* layout_words(unsigned layouts) {
    switch (layouts) {
    case kNormal: return "--print normal";
    case kTranslate: return "--print translate";
    case kNormal | kTranslate: return "--format print";
    default: return "--format csv";
    }
}

struct Number {
    const char* option;
    std::int32_t ConvertOptions::*field;
    long long low, high;
};

constexpr Number kNumbers[] = {
    {"--start", &ConvertOptions::Start, 1, pcbuffer::kBlockNumberLimit},
    {"--blocks", &ConvertOptions::Blocks, 1, pcbuffer::kMaxBlocksLimit},
    {"--max-lines", &ConvertOptions::MaxLines, 1, 999999},
    {"--width", &ConvertOptions::Width, 1, 256},
};

struct Flag {
    const char* option;
    std::int32_t ConvertOptions::*field;
};

constexpr Flag kFlags[] = {
    {"--no-guide", &ConvertOptions::GuideCut},
    {"--no-time-stamps", &ConvertOptions::TimeStampCut},
    {"--no-idle-times", &ConvertOptions::IdleTimeCut},
};

// Line-state names by index, taken in any case.
constexpr auto& kLineStates = kLineStateNames;

// "RS CS DR CD ER SQ CI EX"
std::string line_state_names() {
    std::string names;
    for (const char* name : kLineStates) names += (names.empty() ? "" : " ") + std::string(name);
    return names;
}

const char* line_states_help() {
    static const std::string kText =
        "show these line states in this order (" + line_state_names() + ");\nwithout it, line-state lines are left out";
    return kText.c_str();
}

// "RS,CS,CD": each name once, in the order given, at most eight.
bool line_states(const std::string& list, ConvertOptions& o) {
    std::memset(o.DisplayLineState, -1, sizeof o.DisplayLineState);
    int n = 0;
    std::size_t start = 0;
    while (start <= list.size()) {
        const std::size_t comma = list.find(',', start);
        const std::string name = list.substr(start, comma - start);
        int index = -1;
        for (int i = 0; i < static_cast<int>(std::size(kLineStates)); ++i)
            if (same_word(name, kLineStates[i])) index = i;
        if (index < 0) return false;
        for (int i = 0; i < n; ++i)
            if (o.DisplayLineState[i] == index) return false;
        o.DisplayLineState[n++] = static_cast<signed char>(index);
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    o.LineStateCut = 0;
    return true;
}

}  // namespace

std::vector<OptionSpec> convert_option_specs() {
    const ConvertOptions d = default_convert_options();
    return {
        choice_option("--format", "print|csv", "output layout", d.Format),
        choice_option("--line", kLineWords, "directions to convert", d.Line),
        {"--start", "N", "first block, 1 = the oldest (default 1)"},
        {"--blocks", "N",
         kept_text("blocks to convert, 1.." + std::to_string(pcbuffer::kMaxBlocksLimit) +
                   " (default: every block from --start\non, at most " + std::to_string(pcbuffer::kMaxBlocksLimit) +
                   ")")},
        {"--max-lines", "N", "lines per output file, 1..999999 (default 10000)"},
        heading("print format"),
        choice_option("--print", "normal|translate", "every character, or the protocol translated", d.PrintFormat),
        choice_option("--data", "charhex|char|hex", "how normal print shows data", d.PrintData),
        {"--no-guide", nullptr, "no header box, separators or SD:/RD: guides"},
        {"--line-states", "RS,CS,...", line_states_help()},
        {"--no-time-stamps", nullptr, "leave out time stamps"},
        {"--no-idle-times", nullptr, "leave out idle times"},
        choice_option("--frame", kFrameWords, "translate: frames of HDLC/NRZI lines", d.TranslateFrame),
        choice_option("--packet", kPacketWords, "translate: packet level translation", d.TranslatePacket),
        heading("csv format"),
        choice_option("--csv-form", "data|frame", "one field per character, or per frame", d.CsvForm),
        choice_option("--csv-data", "hex|dec|char", "field contents", d.CsvData),
        {"--width", "N", "fields per line, 1..256 (default 16)"},
        {"--delimiter", "TEXT", "field delimiter, up to 15 characters (default \",\")"},
    };
}

ConvertOptions default_convert_options() {
    ConvertOptions o{};
    o.Format = FormatPrint;
    o.Line = LineSdRd;
    o.Start = 1;
    o.Blocks = 100;
    o.MaxLines = 10000;
    o.PrintFormat = PrintFormatNormal;
    o.PrintData = PrintDataCharHex;
    o.GuideCut = 0;
    o.LineStateCut = 1;
    o.TimeStampCut = 0;
    o.IdleTimeCut = 0;
    o.TranslateFrame = FrameX25;
    o.TranslatePacket = PacketOff;
    const signed char states[8] = {0, 1, 3, 4, -1, -1, -1, -1};
    std::memcpy(o.DisplayLineState, states, sizeof states);
    o.CsvForm = CsvFormData;
    o.CsvData = CsvDataChar;
    o.Width = 16;
    std::strcpy(o.Delimit, ",");
    return o;
}

std::optional<ConvertOptions> convert_options_from(const ParsedOptions& parsed, std::string& error) {
    static const std::vector<OptionSpec> kSpecs = convert_option_specs();
    ConvertOptions o = default_convert_options();
    for (const Choice& c : kChoices) {
        const auto index = choice_value(parsed, *find_option(kSpecs, c.option), o.*c.field, error);
        if (!index) return std::nullopt;
        o.*c.field = *index;
    }
    for (const Number& n : kNumbers) {
        if (!parsed.has(n.option)) continue;
        const auto v = parse_number(parsed.value(n.option), n.low, n.high);
        if (!v) {
            error = "bad value for " + std::string(n.option) + " (" + std::to_string(n.low) + ".." +
                    std::to_string(n.high) + "): '" + parsed.value(n.option) + "'";
            return std::nullopt;
        }
        o.*n.field = static_cast<std::int32_t>(*v);
    }
    for (const Flag& f : kFlags)
        if (parsed.has(f.option)) o.*f.field = 1;
    if (parsed.has("--line-states") && !line_states(parsed.value("--line-states"), o)) {
        error = "bad value for --line-states: '" + parsed.value("--line-states") + "' (names " + line_state_names() +
                ", each once, separated by commas)";
        return std::nullopt;
    }
    if (parsed.has("--delimiter")) {
        const std::string d = parsed.value("--delimiter");
        if (d.size() > 15) {
            error = "the delimiter is longer than 15 characters";
            return std::nullopt;
        }
        std::memset(o.Delimit, 0, sizeof o.Delimit);
        std::memcpy(o.Delimit, d.data(), d.size());
    }
    return o;
}

std::string unused_option(const ParsedOptions& parsed, const ConvertOptions& o) {
    const unsigned layout = o.Format == FormatCsv ? kCsv : o.PrintFormat == PrintFormatTranslate ? kTranslate : kNormal;
    for (const LayoutUse& u : kLayoutUses)
        if (parsed.has(u.option) && !(u.layouts & layout))
            return std::string(u.option) + " does nothing with " + layout_words(layout) + "; it goes with " +
                   layout_words(u.layouts);
    return "";
}

}  // namespace cli
