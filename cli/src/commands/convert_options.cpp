// Option words to ConvertOptions fields: one table of names per choice field,
// in the order of the field's values.
#include "commands/convert_options.h"

#include <cstring>
#include <string_view>

namespace cli {
namespace {

struct Choice {
    const char* option;
    std::int32_t ConvertOptions::*field;
    std::vector<std::string_view> names;   // index = the field's value
};

const std::vector<Choice>& choices() {
    static const std::vector<Choice> table = {
        {"--format", &ConvertOptions::Format, {"print", "csv"}},
        {"--line", &ConvertOptions::Line, {"sdrd", "sd", "rd"}},
        {"--print", &ConvertOptions::PrintFormat, {"normal", "translate"}},
        {"--data", &ConvertOptions::PrintData, {"charhex", "char", "hex"}},
        {"--frame", &ConvertOptions::TranslateFrame, {"sdlc", "x25", "x25x", "x25ua", "lapd"}},
        {"--packet", &ConvertOptions::TranslatePacket, {"off", "x25", "ddx", "lapd"}},
        {"--csv-form", &ConvertOptions::CsvForm, {"data", "frame"}},
        {"--csv-data", &ConvertOptions::CsvData, {"hex", "dec", "char"}},
    };
    return table;
}

struct Number {
    const char* option;
    std::int32_t ConvertOptions::*field;
    long long low, high;
};

constexpr Number kNumbers[] = {
    {"--start", &ConvertOptions::Start, 1, 100000000},
    {"--blocks", &ConvertOptions::Blocks, 1, 1024},
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

// Line-state names by index.
constexpr std::string_view kLineStates[] = {"RS", "CS", "DR", "CD", "ER", "SQ", "CI", "EX"};

std::string upper(std::string s) {
    for (char& c : s) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
    return s;
}

// "RS,CS,CD": each name once, in the order given, at most eight.
bool line_states(const std::string& list, ConvertOptions& o) {
    std::memset(o.DisplayLineState, -1, sizeof o.DisplayLineState);
    int n = 0;
    std::size_t start = 0;
    while (start <= list.size()) {
        const std::size_t comma = list.find(',', start);
        const std::string name = upper(list.substr(start, comma - start));
        int index = -1;
        for (int i = 0; i < 8; ++i)
            if (name == kLineStates[i]) index = i;
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

const char* const kConvertOptionsHelp =
    "  --format print|csv          output layout (default print)\n"
    "  --line sdrd|sd|rd           directions to convert (default sdrd)\n"
    "  --start N                   first block, 1 = the oldest (default 1)\n"
    "  --blocks N                  blocks to convert, 1..1024 (default 100)\n"
    "  --max-lines N               lines per output file, 1..999999 (default 10000)\n"
    "  --prefix TEXT               output file name prefix (default MK_yyyymmdd_hhmmss_)\n"
    "print format:\n"
    "  --print normal|translate    every character, or the protocol translated (default normal)\n"
    "  --data charhex|char|hex     how normal print shows data (default charhex)\n"
    "  --no-guide                  no header box, separators or SD:/RD: guides\n"
    "  --line-states RS,CS,...     show these line states in this order (RS CS DR CD ER SQ CI EX);\n"
    "                              without it, line-state lines are left out\n"
    "  --no-time-stamps            leave out time stamps\n"
    "  --no-idle-times             leave out idle times\n"
    "  --frame sdlc|x25|x25x|x25ua|lapd   frames of HDLC/NRZI lines (default x25)\n"
    "  --packet off|x25|ddx|lapd   packet level translation (default off)\n"
    "csv format:\n"
    "  --csv-form data|frame       one field per character, or per frame (default data)\n"
    "  --csv-data hex|dec|char     field contents (default char)\n"
    "  --width N                   fields per line, 1..256 (default 16)\n"
    "  --delimiter TEXT            field delimiter, up to 15 characters (default \",\")\n";

std::vector<OptionSpec> convert_option_specs() {
    std::vector<OptionSpec> specs;
    for (const Choice& c : choices()) specs.push_back({c.option, true});
    for (const Number& n : kNumbers) specs.push_back({n.option, true});
    for (const Flag& f : kFlags) specs.push_back({f.option, false});
    specs.push_back({"--line-states", true});
    specs.push_back({"--delimiter", true});
    return specs;
}

ConvertOptions default_convert_options() {
    ConvertOptions o{};
    o.Format = 0;
    o.Line = 0;
    o.Start = 1;
    o.Blocks = 100;
    o.MaxLines = 10000;
    o.PrintFormat = 0;
    o.PrintData = 0;
    o.GuideCut = 0;
    o.LineStateCut = 1;
    o.TimeStampCut = 0;
    o.IdleTimeCut = 0;
    o.TranslateFrame = 1;
    o.TranslatePacket = 0;
    const signed char states[8] = {0, 1, 3, 4, -1, -1, -1, -1};
    std::memcpy(o.DisplayLineState, states, sizeof states);
    o.CsvForm = 0;
    o.CsvData = 2;
    o.Width = 16;
    std::strcpy(o.Delimit, ",");
    return o;
}

std::optional<ConvertOptions> convert_options_from(const ParsedOptions& parsed, std::string& error) {
    ConvertOptions o = default_convert_options();
    for (const Choice& c : choices()) {
        if (!parsed.has(c.option)) continue;
        const std::string v = parsed.value(c.option);
        bool found = false;
        for (std::size_t i = 0; i < c.names.size(); ++i)
            if (v == c.names[i]) {
                o.*c.field = static_cast<std::int32_t>(i);
                found = true;
            }
        if (!found) {
            error = "bad value for " + std::string(c.option) + ": '" + v + "'";
            return std::nullopt;
        }
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
        error = "bad value for --line-states: '" + parsed.value("--line-states") +
                "' (names RS CS DR CD ER SQ CI EX, each once, separated by commas)";
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

}  // namespace cli
