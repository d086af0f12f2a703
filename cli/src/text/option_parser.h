// A small option reader shared by the subcommands: "--name value",
// "--name=value", flags, and positional words, checked against a list. The
// same list also writes --help, the manual page and the shell completion.
#pragma once
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

// What the shell completion offers for a value or an operand, besides the
// alternatives a value name lists ("sdrd|sd|rd").
enum class ValueKind { Word, File, Folder, Port, Command };

struct OptionSpec {
    const char* name;             // "--port"; null for a heading row
    const char* value = nullptr;  // "N", "sdrd|sd|rd"; null for a flag
    const char* help = "";        // lines separated by '\n'; a heading's title
    ValueKind kind = ValueKind::Word;

    bool takes_value() const { return value != nullptr; }
};

// A row that starts a group of options in --help and the manual ("print format").
inline OptionSpec heading(const char* title) { return {nullptr, nullptr, title}; }

// A row whose value is one of `choices` ("sdrd|sd|rd"), its help followed by
// "(default WORD)" for the choice at `fallback`, the value taken when the
// option is not given. For building tables: the text lives as long as the program.
OptionSpec choice_option(const char* name, const char* choices, const std::string& help, int fallback);

// The text as a C string that lives as long as the program: for help rows and
// descriptions built from constants ("1.." + the block limit).
const char* kept_text(const std::string& text);

struct ParsedOptions {
    std::map<std::string, std::string> values;  // last one wins
    std::set<std::string> flags;
    std::vector<std::string> positional;
    bool help = false;

    bool has(const std::string& name) const { return values.count(name) || flags.count(name); }
    std::string value(const std::string& name, const std::string& fallback = "") const;
};

// nullopt with the reason in `error` for an unknown option or a missing value.
std::optional<ParsedOptions> parse_options(const std::vector<std::string>& args, const std::vector<OptionSpec>& specs,
                                           std::string& error);

// The listed option of that name, or null (heading rows are never found).
const OptionSpec* find_option(const std::vector<OptionSpec>& specs, const std::string& name);

// The index of `word` in a value's choices ("sdrd|sd|rd"), in any case, or -1.
int choice_index(const char* choices, const std::string& word);
// The choices one by one: "sdrd|sd|rd" -> {"sdrd", "sd", "rd"}.
std::vector<std::string> choice_words(const char* choices);
// Whether a value lists choices ("sdrd|sd|rd") rather than naming one thing ("N").
bool lists_choices(const char* value);

// Whether two words are the same but for the case of ASCII letters.
bool same_word(std::string_view a, std::string_view b);

// "bad value for --line: 'both'", with the choices the option's row lists
// when it lists some (" (sdrd, sd or rd)").
std::string bad_value(const OptionSpec& spec, const std::string& word);

// The index of the option's word among the choices its row lists, in any case;
// `fallback` when the option is not given; nullopt with bad_value() in `error`
// for a word that is not listed.
std::optional<int> choice_value(const ParsedOptions& parsed, const OptionSpec& spec, int fallback, std::string& error);

// Whole decimal number within [low, high]; nullopt otherwise.
std::optional<long long> parse_number(const std::string& text, long long low, long long high);

}  // namespace cli
