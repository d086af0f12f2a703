// Serves one simulated analyzer on the master end of a pseudo-terminal (or on
// any file descriptor): the programs open the slave path like a serial port.
//
// Errors: the constructor throws std::runtime_error when no pty can be made.
// Threads: run() on one thread (the replay listener is called on it); data_set() from any.
#pragma once
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "simulator/analyzer.h"
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

    // Answers the line until `stop` becomes true (checked every 10 ms); with
    // AnalyzerOptions::speed, only what the PC sends at that speed. With
    // `keys_fd`, each line read from it presses a key of the analyzer's own
    // panel ("RUN", "SHIFT+UP", "33", "0x21"); unknown lines are reported on stderr.
    void run(const std::atomic<bool>& stop, int keys_fd = -1);

    // A data set as the served analyzer holds it now (Analyzer::data_set);
    // empty before run() has started. Safe to call from any thread.
    std::vector<std::uint8_t> data_set(std::uint16_t item) const;

    // Before run(): called when a replay ends (played out, stopped, refused or
    // its file failed), and for one still running when run() returns.
    using ReplayListener = std::function<void(const ReplayReport&)>;
    void on_replay_end(ReplayListener listener) { listener_ = std::move(listener); }

private:
    AnalyzerOptions options_;
    ReplayListener listener_;
    mutable std::mutex mutex_;            // held around every call into the analyzer
    std::unique_ptr<Analyzer> analyzer_;  // made by run()
    int master_ = -1;
    int slave_ = -1;  // held open so the master never reads a hang-up between sessions
    std::string slave_path_;
};

// Whether AnalyzerOptions::speed may be this baud rate (one that termios names).
bool serves_speed(int baud);

}  // namespace simulator
