// The options every analyzer command shares: which port, at what speed and parity.
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "session/analyzer_session.h"
#include "text/option_parser.h"

namespace cli {

inline constexpr const char* kPortHelp =
    "port:\n"
    "  --port P                  COMn (ZAMVEX_PORT_COMn may map it, else /dev/ttyS(n-1)),\n"
    "                            an absolute device path (/dev/ttyUSB0), or a simulator's pty\n"
    "  --speed N                 baud (default 115200)\n"
    "  --parity none|odd|even    (default none)\n";

void add_port_specs(std::vector<OptionSpec>& specs);
// nullopt with the reason in `error` when --port is missing or a value is bad.
std::optional<PortChoice> port_choice(const ParsedOptions& options, std::string& error);

// Prints "zamvex <command>: <text>" on stderr and returns `code`.
int fail(const char* command, const std::string& text, int code);

}  // namespace cli
