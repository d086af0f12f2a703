// `zamvex simulate`: a simulated analyzer on a pseudo-terminal.
//
// Errors: nullopt with the reason in `error` for a bad option.
// Threads: any; run() serves the line on the calling thread.
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "simulator/options.h"

namespace cli {

struct SimulateSettings {
    simulator::AnalyzerOptions analyzer;
    std::string link_path;  // also make this a symbolic link to the device
    bool keys = false;      // press panel keys typed on stdin
    bool help = false;      // --help was among the words
};

// Reads the options of `zamvex simulate` (everything after the subcommand's
// name) against its option table. On a bad option returns nothing and puts
// the reason into `error`.
std::optional<SimulateSettings> parse_simulate_options(const std::vector<std::string>& args, std::string& error);

}  // namespace cli
