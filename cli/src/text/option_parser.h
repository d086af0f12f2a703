// A small option reader shared by the subcommands: "--name value",
// "--name=value", flags, and positional words, checked against a list.
#pragma once
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace cli {

struct OptionSpec {
    const char* name;   // "--port"
    bool takes_value;
};

struct ParsedOptions {
    std::map<std::string, std::string> values;   // last one wins
    std::set<std::string> flags;
    std::vector<std::string> positional;
    bool help = false;

    bool has(const std::string& name) const { return values.count(name) || flags.count(name); }
    std::string value(const std::string& name, const std::string& fallback = "") const;
};

// nullopt with the reason in `error` for an unknown option or a missing value.
std::optional<ParsedOptions> parse_options(const std::vector<std::string>& args,
                                           const std::vector<OptionSpec>& specs, std::string& error);

// Whole decimal number within [low, high]; nullopt otherwise.
std::optional<long long> parse_number(const std::string& text, long long low, long long high);

}  // namespace cli
