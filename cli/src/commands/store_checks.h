// The PC buffer folder from the command's side: the checks before a
// measurement starts, and the sentence for a folder the library could not
// write during the measurement.
#pragma once
#include <optional>
#include <string>

#include "commlib/remote.h"

namespace cli {

// Checks that the (existing) folder is one and that a file can be made in it.
// The error text when not; with `warn`, a warning goes to stderr when the
// free space is below what max_blocks full blocks need.
std::optional<std::string> check_buffer_folder(const std::string& folder, int max_blocks, bool warn);

// Blocks already in the folder: without --force or --resume they are refused;
// with --resume they must form a run that can be continued (or hold nothing).
// The error text when the folder cannot be used.
std::optional<std::string> check_held_blocks(const std::string& folder, bool force, bool resume);

// "could not store the measurement: No space left on device; blocks
// 00000000..00000001 are complete, 00000002 holds 561152 bytes; <outcome>",
// then a line with what to do.
std::string store_failure_text(const StoreFailure& failure, const std::string& outcome);

}  // namespace cli
