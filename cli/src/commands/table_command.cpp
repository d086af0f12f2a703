// `zamvex table`: new contents for one of the analyzer's sixteen tables, typed
// into a file (or given on stdin): every byte, line ends included, is one cell.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>

#include "commands/commands.h"
#include "commands/data_sets.h"
#include "commands/port_options.h"
#include "setxfer/table_input.h"
#include "text/sjis.h"

namespace cli {
namespace {

using namespace std::chrono_literals;

constexpr std::size_t kMaxText = 8191;  // what the table editor takes

std::optional<int> table_number(const std::string& text) {
    if (text.size() == 1) {
        const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    }
    const auto n = parse_number(text, 0, 15);
    return n ? std::optional<int>(static_cast<int>(*n)) : std::nullopt;
}

int run_table(const PortChoice& port, int k, const std::string& text) {
    AnalyzerSession s;
    if (auto e = s.open(port); !e.ok()) return fail(kTableCommand, e.message());
    if (auto e = s.connect(false, false)) return fail(kTableCommand, *e);
    for (int code : {ReqGetSetup, ReqGetTable}) {
        if (const int st = s.call(code, 0, 60s); st != StatusDone) {
            s.disconnect();
            return fail(kTableCommand, "cannot read the analyzer's " +
                                           std::string(code == ReqGetSetup ? "setup" : "tables") + " (status " +
                                           std::to_string(st) + ")");
        }
    }
    const auto table = library_bodies(s).table;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    if (auto f = setxfer::put_table_text(table, k, {bytes, text.size()})) {
        const std::size_t free_cells = setxfer::table_free_cells(table);
        s.finish_operation();
        return fail(kTableCommand, sjis_to_utf8(f->message) + " (" + std::to_string(free_cells) + " cells free)");
    }
    if (const int st = s.call(ReqPutTable, 0, 60s); st != StatusDone) {
        s.disconnect();
        return fail(kTableCommand, "SetTable Error (" + std::to_string(st) + ")");
    }
    const std::size_t free_cells = setxfer::table_free_cells(table);
    s.finish_operation();
    std::printf("table %X: %zu cells sent; %zu cells free\n", k, text.size(), free_cells);
    return kExitDone;
}

int table_command(const CommandLine& line) {
    if (line.operands().size() != 1) throw UsageError("name one FILE (or - for stdin)");
    const std::string& file = line.operands()[0];
    const PortChoice port = port_choice(line);
    if (!line.has("--table")) throw UsageError("--table is needed (0..F)");
    const auto k = table_number(line.value("--table"));
    if (!k) throw UsageError("bad value for --table: '" + line.value("--table") + "' (0..F)");
    std::string text;
    if (file == "-") {
        text.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
    } else {
        std::ifstream in(file, std::ios::binary);
        if (!in) return line.fail("cannot read '" + file + "': " + std::strerror(errno));
        text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    if (text.size() > kMaxText) return line.fail("the text is longer than 8191 bytes");
    return run_table(port, *k, text);
}

}  // namespace

const Command kTableCommand{
    .name = "table",
    .summary = "type new contents for one of the analyzer's sixteen tables",
    .synopsis = "--port --table FILE",
    .description =
        "Reads the analyzer's tables, makes every byte of FILE (\"-\" for stdin; line ends\n"
        "included) one cell of table K (0..F), moves the later tables to make room, and\n"
        "sends the tables back. Text longer than 8191 bytes, or more than the tables'\n"
        "free cells, is refused before anything is sent.\n",
    .options = with_port_options({
        {"--table", "K", "the table to fill, 0..F"},
    }),
    .run = run_with<table_command, kTableCommand>,
    .operands = ValueKind::File,
};

}  // namespace cli
