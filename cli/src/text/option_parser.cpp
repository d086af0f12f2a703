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

const char* kept_text(const std::string& text) {
    static std::set<std::string> texts;  // node-based: the pointers stay valid
    return texts.insert(text).first->c_str();
}

OptionSpec choice_option(const char* name, const char* choices, const std::string& help, int fallback) {
    const std::string word = choice_words(choices).at(static_cast<std::size_t>(fallback));
    return {name, choices, kept_text(help + (help.empty() ? "" : " ") + "(default " + word + ")")};
}

std::optional<ParsedOptions> parse_options(const std::vector<std::string>& args, const std::vector<OptionSpec>& specs,
                                           std::string& error) {
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
    const std::vector<std::string> words = choice_words(choices);
    for (std::size_t i = 0; i < words.size(); ++i)
        if (same_word(words[i], word)) return static_cast<int>(i);
    return -1;
}

std::vector<std::string> choice_words(const char* choices) {
    const std::string_view list = choices ? choices : "";
    std::vector<std::string> words;
    for (std::size_t start = 0;;) {
        const std::size_t bar = list.find('|', start);
        words.emplace_back(list.substr(start, bar - start));
        if (bar == std::string_view::npos) return words;
        start = bar + 1;
    }
}

bool lists_choices(const char* value) { return value && std::string_view(value).find('|') != std::string_view::npos; }

bool same_word(std::string_view a, std::string_view b) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i])) return false;
    return true;
}

std::string bad_value(const OptionSpec& spec, const std::string& word) {
    std::string text = "bad value for " + std::string(spec.name) + ": '" + word + "'";
    if (!lists_choices(spec.value)) return text;
    const std::vector<std::string> words = choice_words(spec.value);
    for (std::size_t i = 0; i < words.size(); ++i)
        text += (i == 0 ? " (" : i + 1 == words.size() ? " or " : ", ") + words[i];
    return text + ")";
}

std::optional<int> choice_value(const ParsedOptions& parsed, const OptionSpec& spec, int fallback, std::string& error) {
    if (!parsed.has(spec.name)) return fallback;
    const std::string word = parsed.value(spec.name);
    const int index = choice_index(spec.value, word);
    if (index < 0) {
        error = bad_value(spec, word);
        return std::nullopt;
    }
    return index;
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
