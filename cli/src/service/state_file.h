// Where the state files of running captures live, one capture's own file,
// and the files `zamvex status` finds. A capture writes into the service's
// $RUNTIME_DIRECTORY, else $XDG_RUNTIME_DIR/zamvex, else /run/zamvex (made
// when missing); `zamvex status` reads $XDG_RUNTIME_DIR/zamvex, /run/zamvex
// and the folders right below /run/zamvex (one per service).
//
// Errors: none reported: a capture that cannot keep a state file still
// captures; status lists what it can read.
// Threads: the main thread.
#pragma once
#include <string>
#include <vector>

#include "service/capture_state.h"

namespace cli {

class StateFile {
public:
    // Picks the folder and removes the stale files found there; nothing is written yet.
    StateFile();
    ~StateFile();  // removes the file
    StateFile(const StateFile&) = delete;
    StateFile& operator=(const StateFile&) = delete;

    // Writes the state (pid and process start filled in); false when it could not be written.
    bool write(CaptureState state);
    // The file's path; empty when no runtime folder could be had.
    const std::string& path() const { return path_; }

private:
    std::string path_;
    bool written_ = false;
};

struct FoundState {
    std::string path;
    CaptureState state;
    bool running = false;  // false: its process is gone (a stale file)
};

// Every state file in the folders that status reads, oldest capture first.
std::vector<FoundState> find_capture_states();

// Whether the process with that pid and start time still runs.
bool process_running(long long pid, long long process_start);
// This process's start in clock ticks after boot (0 when unknown).
long long process_start_ticks(long long pid);

}  // namespace cli
