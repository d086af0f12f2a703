// The analyzer's measurement: started and stopped by keys or the PC, it draws
// record words from the traffic generator at the chosen rate and hands them
// out as captured-data items, with the status word, the measurement
// information and the running counters.
#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "simulator/options.h"
#include "simulator/replay.h"
#include "simulator/traffic.h"

namespace simulator {

// Status word bits: measuring, and the running states in bits 8-10.
inline constexpr std::uint16_t kStatusMeasuring = 0x0100;
inline constexpr std::uint16_t kStatusTriggered = 0x0300;
inline constexpr std::uint16_t kStatusStopping = 0x0500;
inline constexpr std::uint16_t kStatusStateBits = 0x0700;

// Why the last measurement ended (item 0x0202).
inline constexpr int kStopByKey = 1;
inline constexpr int kStopByPc = 2;
inline constexpr int kStopNotReady = 3;  // the analyzer is not in a state to start

inline constexpr std::size_t kInfoSize = 388;

class Replay;

class Measurement {
public:
    explicit Measurement(const AnalyzerOptions& options);
    ~Measurement();

    bool running() const { return generator_ != nullptr || replay_ != nullptr; }
    std::uint16_t status_word() const;
    int stop_reason() const { return stop_reason_; }
    std::uint64_t records() const { return records_; }

    // False (and the stop reason set) when the analyzer refuses to start
    // (the refusal fault, unless `may_refuse` is false, or a replay file that
    // cannot be read).
    bool start(std::span<const std::uint8_t> setup, std::uint64_t now_ms, bool may_refuse = true);
    void stop(int reason);

    // A replay has put its last frame out (or its file failed): the analyzer stops.
    bool replay_ended() const;
    // The report of a replay that ended (once); with `running_too` also of the
    // one still running.
    std::optional<ReplayReport> take_report(bool running_too);

    // Captured-data item values due by now (at most max_items). Lost items
    // (fault switch) are counted but not returned.
    std::vector<std::vector<std::uint8_t>> take_data(std::uint64_t now_ms, bool line_idle, std::size_t max_items);

    // Item 0x8100: the measurement conditions (388 bytes).
    std::vector<std::uint8_t> info() const;
    // Item 0xE000: the running counters as { id (16), value (32) } entries.
    std::vector<std::uint8_t> counters() const;
    // The information updates 0xE800..0xEC00 (statistics areas), each in the
    // layout the PC applies to the measurement information.
    std::vector<std::pair<std::uint16_t, std::vector<std::uint8_t>>> statistics() const;

private:
    std::vector<std::uint32_t> draw(std::size_t count, std::uint64_t now_ms);
    bool start_replay(std::span<const std::uint8_t> setup, std::uint64_t now_ms);

    AnalyzerOptions options_;
    LineConditions conditions_;
    std::unique_ptr<TrafficGenerator> generator_;
    std::unique_ptr<Replay> replay_;      // instead of the generator, with AnalyzerOptions::replay
    std::optional<ReplayReport> report_;  // of the last replay that ended
    std::uint64_t started_ms_ = 0;
    std::uint64_t records_ = 0;  // words drawn from the generator
    std::uint16_t units_ = 0;    // unit counter of the next item
    std::uint64_t items_ = 0;    // items made, lost ones included
    int stop_reason_ = 0;
    std::uint32_t sd_chars_ = 0, rd_chars_ = 0, sd_errors_ = 0, rd_errors_ = 0;
};

}  // namespace simulator
