// The options every analyzer command shares: which port, at what speed and parity.
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "session/analyzer_session.h"
#include "text/option_parser.h"

namespace cli {

// `options` followed by the port group: --port, --speed and --parity.
std::vector<OptionSpec> with_port_options(std::vector<OptionSpec> options);
// nullopt with the reason in `error` when --port is missing or a value is bad.
std::optional<PortChoice> port_choice(const ParsedOptions& options, std::string& error);

// Prints "zamvex <command>: <text>" on stderr and returns `code`.
int fail(const char* command, const std::string& text, int code);

}  // namespace cli
