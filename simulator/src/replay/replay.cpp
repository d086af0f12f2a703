// The replay of a capture file; see replay.h.
#include "replay/replay.h"

#include <algorithm>

#include "line/wire.h"
#include "traffic/line_frames.h"

namespace simulator {
namespace {

constexpr std::int64_t kDayMs = 24LL * 3600 * 1000;
// The modem lines are up while the file plays: data set ready, carrier, terminal ready.
constexpr std::uint8_t kLineUp = 0x38;

// A PPP packet that already ends with its FCS (as `zamvex export` writes them)
// keeps it; the frame then gets no second one.
std::span<const std::uint8_t> without_fcs(std::span<const std::uint8_t> b) {
    if (b.size() < 3) return b;
    const std::uint16_t fcs = crc16_x25(b.first(b.size() - 2));
    const bool ends_with_it = b[b.size() - 2] == (fcs & 0xFF) && b[b.size() - 1] == fcs >> 8;
    return ends_with_it ? b.first(b.size() - 2) : b;
}

}  // namespace

Replay::Replay(const ReplayOptions& options, std::uint64_t now_ms) : options_(options) {
    report_.path = options.path;
    round_start_ms_ = last_due_ms_ = now_ms;
    if (open()) fetch();
}

Replay::~Replay() = default;

void Replay::fail(std::string error) {
    if (report_.error.empty()) report_.error = std::move(error);
    exhausted_ = true;
    held_ = false;
}

bool Replay::open() {
    std::string error;
    reader_ = pcapfile::OpenCaptureFile(options_.path, error);
    if (!reader_) {
        fail(error);
        return false;
    }
    round_t0_.reset();
    round_frames_ = 0;
    return true;
}

// Holds the next packet; at the end of the file starts the next round when looping.
bool Replay::fetch() {
    for (;;) {
        if (reader_->Next(packet_)) {
            link_ = replay_link(packet_.linkType);
            std::string error;
            std::optional<LineFrame> frame;
            if (link_ == nullptr) error = link_type_name(packet_.linkType) + " cannot be replayed";
            else frame = line_frame(*link_, packet_, error);
            if (!frame) {
                fail(options_.path + ": at byte " + std::to_string(packet_.offset) + ": " + error);
                return false;
            }
            frame_ = *frame;
            held_ = true;
            ++round_frames_;
            return true;
        }
        if (!reader_->Error().empty()) {
            fail(reader_->Error());
            return false;
        }
        if (round_frames_ == 0) {
            fail(options_.path + ": the file holds no packets to replay");
            return false;
        }
        if (round_frames_ < options_.frames) {
            fail(options_.path + ": the file ended after " + std::to_string(round_frames_) + " of its " +
                 std::to_string(options_.frames) + " frames: it changed while it was replayed");
            return false;
        }
        ++report_.rounds;
        if (!options_.loop) {
            report_.finished = true;
            exhausted_ = true;
            return false;
        }
        if (!open()) return false;
        round_start_ms_ = last_due_ms_;
    }
}

std::uint8_t Replay::line_mode(std::uint8_t setup_mode) const {
    if (link_ == nullptr || link_->mode == LineMode::Ppp) return static_cast<std::uint8_t>(LineMode::Ppp);
    const bool bit_oriented = setup_mode == static_cast<std::uint8_t>(LineMode::Hdlc) ||
                              setup_mode == static_cast<std::uint8_t>(LineMode::Nrzi);
    return bit_oriented ? setup_mode : static_cast<std::uint8_t>(LineMode::Hdlc);
}

void Replay::begin(const LineConditions& conditions) {
    line_.emplace(conditions, 0);
    line_->signals(kLineUp);
    words_.insert(words_.end(), line_->out().begin(), line_->out().end());
    line_->out().clear();
}

std::uint64_t Replay::due_ms() const {
    if (options_.speed <= 0) return last_due_ms_;
    const std::int64_t t = packet_.timeNs.value_or(last_ns_.value_or(0));
    const std::int64_t from_start = std::max<std::int64_t>(t - round_t0_.value_or(t), 0);
    const auto ms = static_cast<std::uint64_t>(static_cast<double>(from_start) / 1e6 / options_.speed);
    return std::max(last_due_ms_, round_start_ms_ + ms);
}

std::vector<std::uint32_t> Replay::take(std::uint64_t now_ms, std::size_t max) {
    // What the last call left (the end of a frame) moves to the front.
    words_.erase(words_.begin(), words_.begin() + static_cast<std::ptrdiff_t>(next_word_));
    next_word_ = 0;
    while (held_ && words_.size() < max) {
        const std::uint64_t due = due_ms();
        if (due > now_ms) break;
        put(now_ms);
        last_due_ms_ = due;
        held_ = false;
        if (!fetch()) break;
    }
    next_word_ = std::min(max, words_.size());
    return {words_.begin(), words_.begin() + static_cast<std::ptrdiff_t>(next_word_)};
}

// The held packet's frame on the line, stamped `now_ms` on the simulator's clock.
void Replay::put(std::uint64_t now_ms) {
    const LineFrame& f = frame_;
    const Direction dir = f.dir.value_or(Direction::Sd);
    const std::int64_t t = packet_.timeNs.value_or(last_ns_.value_or(0));
    if (!round_t0_) round_t0_ = t;
    // The quiet time before the frame, as the line carried it.
    if (options_.speed > 0 && last_ns_ && t > *last_ns_) {
        const double gap_ms = static_cast<double>(t - *last_ns_) / 1e6 / options_.speed;
        line_->pause(dir, static_cast<std::uint32_t>(std::min(gap_ms, 4e9)));
    }
    last_ns_ = t;
    const std::int64_t day_ms = static_cast<std::int64_t>(now_ms) + options_.day_offset_ms.value_or(0);
    line_->set_time_of_day(static_cast<std::uint64_t>((day_ms % kDayMs + kDayMs) % kDayMs));
    const bool ppp = line_->conditions().mode == LineMode::Ppp;
    // A PPP frame that no time stamp opens has no direction for the PC either.
    const bool undecided = ppp && f.undecided;
    if (!undecided) line_->stamp(dir);
    const std::size_t cells =
        ppp ? ppp_frame(*line_, dir, without_fcs(f.bytes), f.end) : hdlc_frame(*line_, dir, f.bytes, f.end);
    ++(undecided ? report_.undecided : dir == Direction::Sd ? report_.sd : report_.rd);
    report_.cut_short += f.cut_short;
    report_.too_long += cells > kLongestFrameCells;
    words_.insert(words_.end(), line_->out().begin(), line_->out().end());
    line_->out().clear();
}

}  // namespace simulator
