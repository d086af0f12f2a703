// The simulated analyzer as a pure object: bytes from the PC go in, the bytes
// the analyzer answers come out; time passes only through the clock values the
// caller gives. No threads, no ports: the pty server and the tests drive it.
//
// With AnalyzerOptions::replay the measurement reads its capture file (the
// one thing it does besides computing).
//
// Errors: none; bytes it does not understand are answered as the analyzer would,
// or ignored. A replay's file that fails shows in its report.
// Threads: one thread at a time (PtyServer holds a lock around every call).
#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "simulator/options.h"
#include "simulator/replay.h"

namespace simulator {

class Analyzer {
public:
    explicit Analyzer(const AnalyzerOptions& options, std::uint64_t now_ms = 0);
    ~Analyzer();
    Analyzer(const Analyzer&) = delete;
    Analyzer& operator=(const Analyzer&) = delete;

    // Bytes from the PC; returns what the analyzer sends in answer.
    std::vector<std::uint8_t> receive(std::span<const std::uint8_t> bytes, std::uint64_t now_ms);
    // Time passes: captured data, held-back frames, transfer time-outs.
    // `line_idle` says the line has taken everything sent so far (needed when
    // the data rate is "as fast as the line allows").
    std::vector<std::uint8_t> tick(std::uint64_t now_ms, bool line_idle = true);
    // A key pressed on the analyzer's own front panel.
    std::vector<std::uint8_t> press_local_key(int code, std::uint64_t now_ms);

    bool packet_mode() const;
    bool measuring() const;
    std::uint16_t status_word() const;
    // The 240 x 64 screen, 30 bytes per row, most significant bit leftmost, 1 = dark.
    std::span<const std::uint8_t> screen() const;
    // Record words sent so far in captured-data items (lost items included).
    std::uint64_t records_sent() const;
    // A data set as the analyzer holds it now, by its packet-mode item
    // (0x2000 setup, 0x6000 table, 0x7000 program, 0x8000 third table,
    // 0x8100 measurement information, 0xF000 screen); empty when it has none.
    std::vector<std::uint8_t> data_set(std::uint16_t item) const;
    // The report of a replay that ended since the last call (played out,
    // stopped, refused, or its file failed); with `running_too` also that of
    // a replay still running.
    std::optional<ReplayReport> take_replay_report(bool running_too = false);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace simulator
