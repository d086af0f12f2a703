// `zamvex simulate`: a simulated analyzer on a pseudo-terminal.
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "simulator/options.h"

namespace cli {

// Reads the options of `zamvex simulate` (everything after the subcommand's
// name). On a bad option returns nothing and puts the reason into `error`.
std::optional<simulator::AnalyzerOptions> parse_simulate_options(const std::vector<std::string>& args,
                                                                 std::string& error, bool& help,
                                                                 std::string& link_path);

// Runs the subcommand; returns the process exit code.
int simulate_command(const std::vector<std::string>& args);

} // namespace cli
