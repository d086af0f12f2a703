// A pseudo-terminal pair for tests of code that talks to a serial port: the
// code under test opens slave_path(); the test plays the far end on master().
//
// Errors: the constructor throws std::runtime_error when no pty can be made.
// Threads: the test's.
#pragma once
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace testing_util {

class PtyPair {
public:
    PtyPair();  // raw mode on both sides; throws std::runtime_error on failure
    ~PtyPair();
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    int master() const { return master_; }
    const std::string& slave_path() const { return slave_path_; }

    // Writes all bytes to the master side.
    void write(const std::vector<std::uint8_t>& bytes);
    void write(const std::string& text);
    // Reads from the master side until `count` bytes arrived or `timeout` passed.
    std::vector<std::uint8_t> read(std::size_t count, std::chrono::milliseconds timeout);
    // Closes the master side, as when a USB adapter is pulled: the slave hangs up.
    void close_master();

private:
    int master_ = -1;
    int slave_ = -1;  // kept open so the master never sees a hang-up between test steps
    std::string slave_path_;
};

}  // namespace testing_util
