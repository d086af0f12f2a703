// Replaying a capture file on the simulated analyzer's line: the check a file
// must pass before the analyzer starts (every packet of a link type the
// analyzer plays, all of one line mode) and what a replay reports at its end.
//
// Errors: check_replay_file gives one line naming the file, the byte offset
// and what is wrong; the report's `error` tells of a file that failed while it
// was being replayed.
// Threads: any; check_replay_file reads the file on the calling thread.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "simulator/options.h"

namespace simulator {

// The PC's frame layouts and export keep this many cells of a frame (its
// bytes between the flags, on a PPP line with the escapes and the FCS); the
// analyzer records longer frames whole.
inline constexpr std::size_t kLongestFrameCells = 1024;

struct ReplayFile {
    LineMode mode = LineMode::Hdlc;  // Hdlc or Ppp: what the frames need
    std::uint64_t frames = 0;
    std::vector<std::uint32_t> link_types;  // in the order they first appear
};

// Reads the file once, to its end. Empty on success, else the reason.
std::string check_replay_file(const std::string& path, ReplayFile& file);

// "LAPD (203)", or "link type N" for one the analyzer does not play.
std::string link_type_name(std::uint32_t link_type);

struct ReplayReport {
    std::string path;
    std::uint64_t sd = 0, rd = 0;  // frames put on the line, by direction
    std::uint64_t undecided = 0;   // PPP frames the file says were recorded without a direction
    std::uint64_t cut_short = 0;   // captured shorter than they were on the wire
    std::uint64_t too_long = 0;    // longer than kLongestFrameCells
    std::uint64_t rounds = 0;      // times the file was played to its end
    bool finished = false;         // played to its end without --replay-loop
    std::string error;             // the file failed during the replay
};

}  // namespace simulator
