// A capture file played onto the line: packets are read one at a time, each
// is due at its time in the file (scaled by the replay speed) counted from
// the start of the measurement, and goes out as the record words the analyzer
// stores for it, stamped with the simulator's time of day.
#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "pcapfile/capture_reader.h"
#include "replay/replay_links.h"
#include "simulator/replay.h"
#include "simulator/traffic.h"
#include "traffic/traffic_context.h"

namespace simulator {

class Replay {
public:
    // Opens the file and reads its first packet; ended() holds (with the
    // report's error) when that fails.
    Replay(const ReplayOptions& options, std::uint64_t now_ms);
    ~Replay();

    // The line mode a setup's mode byte becomes for the file's frames.
    std::uint8_t line_mode(std::uint8_t setup_mode) const;
    // The conditions the words follow; before the first take().
    void begin(const LineConditions& conditions);

    // Record words of the frames due by now, at most `max` words.
    std::vector<std::uint32_t> take(std::uint64_t now_ms, std::size_t max);
    // Every frame has been taken (and the file is not looped), or the file failed.
    bool ended() const { return exhausted_ && next_word_ == words_.size(); }
    const ReplayReport& report() const { return report_; }

private:
    bool open();
    bool fetch();
    void put(std::uint64_t now_ms);
    std::uint64_t due_ms() const;
    void fail(std::string error);

    ReplayOptions options_;
    ReplayReport report_;
    std::unique_ptr<pcapfile::CaptureReader> reader_;
    std::optional<TrafficContext> line_;
    std::vector<std::uint32_t> words_;  // made and not yet taken from next_word_ on
    std::size_t next_word_ = 0;

    // The next packet and its frame (in the reader's buffer), held until it is due.
    bool held_ = false;
    const ReplayLink* link_ = nullptr;
    pcapfile::Packet packet_;
    LineFrame frame_;

    bool exhausted_ = false;
    std::uint64_t round_frames_ = 0;        // read in this round
    std::uint64_t round_start_ms_ = 0;      // when the round's first frame is due
    std::optional<std::int64_t> round_t0_;  // file time of the round's first frame
    std::optional<std::int64_t> last_ns_;   // file time of the frame before
    std::uint64_t last_due_ms_ = 0;
};

}  // namespace simulator
