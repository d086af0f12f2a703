// Serves one simulated analyzer on the master end of a pseudo-terminal (or on
// any file descriptor): the programs open the slave path like a serial port.
#pragma once
#include <atomic>
#include <cstdint>
#include <string>

#include "simulator/options.h"

namespace simulator {

class PtyServer {
public:
    // Opens a new pty in raw mode. Throws std::runtime_error when it cannot.
    explicit PtyServer(const AnalyzerOptions& options);
    ~PtyServer();
    PtyServer(const PtyServer&) = delete;
    PtyServer& operator=(const PtyServer&) = delete;

    // The path the programs open ("/dev/pts/N").
    const std::string& slave_path() const { return slave_path_; }

    // Answers the line until `stop` becomes true (checked every 10 ms). With
    // `keys_fd`, each line read from it presses a key of the analyzer's own
    // panel ("RUN", "SHIFT+UP", "33", "0x21"); unknown lines are reported on stderr.
    void run(const std::atomic<bool>& stop, int keys_fd = -1);

private:
    AnalyzerOptions options_;
    int master_ = -1;
    int slave_ = -1;   // held open so the master never reads a hang-up between sessions
    std::string slave_path_;
};

// Serves the analyzer on an open descriptor (non-blocking reads and writes
// are set up here) until `stop` becomes true or the descriptor fails.
void serve_descriptor(int fd, const AnalyzerOptions& options, const std::atomic<bool>& stop, int keys_fd = -1);

} // namespace simulator
