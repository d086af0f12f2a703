// The options every analyzer command shares: which port, at what speed and parity.
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "session/analyzer_session.h"
#include "text/command_line.h"
#include "text/option_parser.h"

namespace cli {

// The --parity words; a word's place is the number PortChoice::parity takes.
inline constexpr char kParityWords[] = "none|odd|even";

// What `--speed auto` tries: the speeds the analyzer offers, most common
// first (the suite's default, the serial ports' classic default, capstore's
// other choice, then downwards from the fastest of the rest).
inline constexpr int kAutoSpeeds[] = {115200, 9600, 230400, 57600, 38400, 19200, 4800, 2400, 1200};
inline constexpr char kAutoSpeed[] = "auto";

// `options` followed by the port group: --port, --speed (N, N,N,... or auto) and --parity.
std::vector<OptionSpec> with_port_options(std::vector<OptionSpec> options);
// nullopt with the reason in `error` when --port is missing or a value is bad.
std::optional<PortChoice> port_choice(const ParsedOptions& options, std::string& error);
// The same for a command's words; UsageError with the reason.
PortChoice port_choice(const CommandLine& line);

}  // namespace cli
