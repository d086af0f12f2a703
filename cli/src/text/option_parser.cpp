// The option reader: a word starting with "--" must be a listed option.
#include "text/option_parser.h"

#include <cerrno>
#include <cstdlib>
#include <string_view>

namespace cli {

std::string ParsedOptions::value(const std::string& name, const std::string& fallback) const {
    const auto it = values.find(name);
    return it == values.end() ? fallback : it->second;
}

std::optional<ParsedOptions> parse_options(const std::vector<std::string>& args,
                                           const std::vector<OptionSpec>& specs, std::string& error) {
    ParsedOptions out;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string arg = args[i];
        if (arg == "--help" || arg == "-h") {
            out.help = true;
            continue;
        }
        if (arg.size() < 2 || arg.compare(0, 2, "--") != 0 || arg == "--") {
            out.positional.push_back(arg);
            continue;
        }
        std::optional<std::string> inline_value;
        if (const auto eq = arg.find('='); eq != std::string::npos) {
            inline_value = arg.substr(eq + 1);
            arg.resize(eq);
        }
        const OptionSpec* spec = find_option(specs, arg);
        if (!spec) {
            error = "unknown option '" + arg + "'";
            return std::nullopt;
        }
        if (!spec->takes_value()) {
            if (inline_value) {
                error = "option " + arg + " takes no value";
                return std::nullopt;
            }
            out.flags.insert(arg);
            continue;
        }
        if (!inline_value) {
            if (i + 1 >= args.size()) {
                error = "option " + arg + " needs a value";
                return std::nullopt;
            }
            inline_value = args[++i];
        }
        out.values[arg] = *inline_value;
    }
    return out;
}

const OptionSpec* find_option(const std::vector<OptionSpec>& specs, const std::string& name) {
    for (const OptionSpec& s : specs)
        if (s.name && name == s.name) return &s;
    return nullptr;
}

int choice_index(const char* choices, const std::string& word) {
    const std::string_view list = choices ? choices : "";
    int index = 0;
    for (std::size_t start = 0;; ++index) {
        const std::size_t bar = list.find('|', start);
        if (list.substr(start, bar - start) == word) return index;
        if (bar == std::string_view::npos) return -1;
        start = bar + 1;
    }
}

std::optional<long long> parse_number(const std::string& text, long long low, long long high) {
    if (text.empty() || text.find_first_not_of("-0123456789") != std::string::npos) return std::nullopt;
    errno = 0;
    char* end = nullptr;
    const long long v = std::strtoll(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || v < low || v > high) return std::nullopt;
    return v;
}

}  // namespace cli
