// Settings lines into option words, each checked on its own.
#include "commands/capture_config.h"

#include <array>
#include <vector>

namespace cli {
namespace {

struct Setting {
    const char* name;
    bool flag;  // yes or no rather than a value
};

constexpr std::array<Setting, 6> kSettings{{
    {"speed", false},
    {"parity", false},
    {"folder", false},
    {"max-blocks", false},
    {"ring", true},
    {"keep-free", false},
}};

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

std::string known_names() {
    std::string names;
    for (const Setting& s : kSettings) names += std::string(names.empty() ? "" : ", ") + s.name;
    return names;
}

struct Line {
    int number;
    std::string name;
    ParsedOptions option;  // the option words it stands for
};

// One line's setting; the reason when it is not a good one.
std::string read_line(const std::string& text, Line& line) {
    const auto eq = text.find('=');
    if (eq == std::string::npos) return "'" + text + "' is not a setting (name = value)";
    line.name = trimmed(text.substr(0, eq));
    const std::string value = trimmed(text.substr(eq + 1));
    for (const Setting& s : kSettings) {
        if (line.name != s.name) continue;
        const std::string option = std::string("--") + s.name;
        if (!s.flag) {
            if (value.empty()) return "setting " + line.name + " has no value";
            line.option.values[option] = value;
        } else if (same_word(value, "yes")) {
            line.option.flags.insert(option);
        } else if (!same_word(value, "no")) {
            return "bad value for setting " + line.name + ": '" + value + "' (yes or no)";
        }
        return "";
    }
    return "unknown setting '" + line.name + "' (the settings are " + known_names() + ")";
}

}  // namespace

std::optional<std::string> apply_capture_settings(const std::string& path, const std::string& text,
                                                  ParsedOptions& options, const SettingCheck& check) {
    auto at = [&path](int number) { return path + ":" + std::to_string(number) + ": "; };
    std::vector<Line> lines;
    ParsedOptions flags;  // the file's yes/no settings, which others may depend on (keep-free on ring)
    int number = 0;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const std::string raw = text.substr(start, end - start);
        start = end + 1;
        ++number;
        const std::string content = trimmed(raw.substr(0, raw.find('#')));
        if (content.empty()) continue;
        Line line{number, "", {}};
        if (std::string error = read_line(content, line); !error.empty()) return at(number) + error;
        for (const Line& earlier : lines)
            if (earlier.name == line.name)
                return at(number) + "setting " + line.name + " is given twice (also on line " +
                       std::to_string(earlier.number) + ")";
        flags.flags.insert(line.option.flags.begin(), line.option.flags.end());
        lines.push_back(std::move(line));
    }
    for (const Line& line : lines) {
        ParsedOptions alone = flags;
        alone.values = line.option.values;
        if (std::string error = check(alone); !error.empty()) return at(line.number) + line.name + ": " + error;
    }
    // The command line wins; a flag set there stays set.
    for (const Line& line : lines) {
        for (const auto& [option, value] : line.option.values) options.values.emplace(option, value);
        options.flags.insert(line.option.flags.begin(), line.option.flags.end());
    }
    return std::nullopt;
}

}  // namespace cli
