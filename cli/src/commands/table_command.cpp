// `zamvex table`: new contents for one of the analyzer's sixteen tables, typed
// into a file (or given on stdin): every byte, line ends included, is one cell.
#include <cstdio>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>

#include "cli/commands.h"
#include "commands/data_sets.h"
#include "commands/port_options.h"
#include "setxfer/table_input.h"
#include "text/sjis.h"

namespace cli {
namespace {

using namespace std::chrono_literals;

constexpr std::size_t kMaxText = 8191;   // what the table editor takes

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
    if (auto e = s.open(port)) return fail("table", *e, 1);
    if (auto e = s.connect(false, false)) return fail("table", *e, 1);
    for (int code : {ReqGetSetup, ReqGetTable}) {
        if (const int st = s.call(code, 0, 60s); st != StatusDone) {
            s.disconnect();
            return fail("table", "cannot read the analyzer's " + std::string(code == ReqGetSetup ? "setup" : "tables") +
                                     " (status " + std::to_string(st) + ")", 1);
        }
    }
    const auto table = library_bodies(s).table;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    if (auto f = setxfer::put_table_text(table, k, {bytes, text.size()})) {
        const std::size_t free_cells = setxfer::table_free_cells(table);
        s.finish_operation();
        return fail("table", sjis_to_utf8(f->message) + " (" + std::to_string(free_cells) + " cells free)", 1);
    }
    if (const int st = s.call(ReqPutTable, 0, 60s); st != StatusDone) {
        s.disconnect();
        return fail("table", "SetTable Error (" + std::to_string(st) + ")", 1);
    }
    const std::size_t free_cells = setxfer::table_free_cells(table);
    s.finish_operation();
    std::printf("table %X: %zu cells sent; %zu cells free\n", k, text.size(), free_cells);
    return 0;
}

int table_command(const std::vector<std::string>& args) {
    std::string error;
    const auto o = parse_options(args, kTableCommand.options, error);
    if (!o) return fail("table", error, 2);
    if (o->positional.size() != 1) return fail("table", "name one FILE (or - for stdin)", 2);
    const auto port = port_choice(*o, error);
    if (!port) return fail("table", error, 2);
    if (!o->has("--table")) return fail("table", "--table is needed (0..F)", 2);
    const auto k = table_number(o->value("--table"));
    if (!k) return fail("table", "bad value for --table: '" + o->value("--table") + "' (0..F)", 2);
    std::string text;
    if (o->positional[0] == "-") {
        text.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
    } else {
        std::ifstream in(o->positional[0], std::ios::binary);
        if (!in) return fail("table", "cannot read '" + o->positional[0] + "': " + std::strerror(errno), 1);
        text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    if (text.size() > kMaxText) return fail("table", "the text is longer than 8191 bytes", 1);
    return run_table(*port, *k, text);
}

}  // namespace

const Command kTableCommand{
    .name = "table",
    .summary = "type new contents for one of the analyzer's sixteen tables",
    .synopsis = "--port P --table K FILE",
    .description =
        "Reads the analyzer's tables, makes every byte of FILE (\"-\" for stdin; line ends\n"
        "included) one cell of table K (0..F), moves the later tables to make room, and\n"
        "sends the tables back. Text longer than 8191 bytes, or more than the tables'\n"
        "free cells, is refused before anything is sent.\n",
    .options = with_port_options({
        {"--table", "K", "the table to fill, 0..F"},
    }),
    .run = table_command,
    .operands = ValueKind::File,
};

}  // namespace cli
