// The stats pass: frames from textlib's frame reader, and beside them a walk
// over every record word up to where the reader has got, so the words are
// read once (the block they lie in is still mapped) and nothing is held.
#include "stats/stats_pass.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <thread>

#include "commands/buffer_input.h"
#include "textlib/buffer_format.h"
#include "textlib/frame_reader.h"

namespace cli {
namespace {

using textlib::Frame;
using textlib::FrameReader;

constexpr StatTime kDay = 86400;

std::optional<int> from_bcd(int b, int limit) {
    const int hi = b >> 4, lo = b & 0xF;
    if (hi > 9 || lo > 9 || hi * 10 + lo >= limit) return std::nullopt;
    return hi * 10 + lo;
}

// Seconds of the day of a time-stamp word (direction bit ignored), or nothing
// when its digits are no time of day.
std::optional<int> seconds_of_day(std::uint32_t w) {
    const auto h = from_bcd(textlib::Byte(w, 1) & 0x7F, 24), m = from_bcd(textlib::Byte(w, 2), 60),
               s = from_bcd(textlib::Byte(w, 3), 60);
    if (!h || !m || !s) return std::nullopt;
    return *h * 3600 + *m * 60 + *s;
}

// The line's time from its stamps: a stamp more than twelve hours before the
// one before it begins the next day; the clock never runs back.
class StampClock {
public:
    std::optional<StatTime> advance(std::uint32_t w) {
        const auto s = seconds_of(w);
        if (!s) return std::nullopt;
        if (last_ >= 0 && *s < last_ - kDay / 2) ++day_;
        last_ = *s;
        const StatTime t = day_ * kDay + *s;
        if (now_ == kNoTime || t > now_) now_ = t;
        return t;
    }
    StatTime now() const { return now_; }

private:
    // Most stamps repeat the one before (both directions, every frame).
    std::optional<int> seconds_of(std::uint32_t w) {
        const std::uint32_t key = w & 0xFFFF7F00u;
        if (key != cached_word_) cached_word_ = key, cached_ = seconds_of_day(w);
        return cached_;
    }

    StatTime now_ = kNoTime;
    StatTime day_ = 0;
    int last_ = -1;
    std::uint32_t cached_word_ = 0;
    std::optional<int> cached_;
};

// The error row of each cell status, -1 for none.
struct ErrorOfStatus {
    int row[16];
};
constexpr ErrorOfStatus error_rows() {
    ErrorOfStatus t{};
    for (int s = 0; s < 16; ++s) t.row[s] = error_index(s);
    return t;
}
constexpr ErrorOfStatus kErrorRows = error_rows();

// Bit n set for the cell statuses n that are characters, and that mark no error.
constexpr unsigned status_bits(bool (*pick)(int)) {
    unsigned bits = 0;
    for (int s = 0; s < 16; ++s) bits |= pick(s) ? 1u << s : 0u;
    return bits;
}

constexpr int kHighestCharStatus = 7;  // characters, check characters and characters marked in error
constexpr int kCheckError = 3;
constexpr unsigned kCharStatuses = status_bits([](int s) { return s <= kHighestCharStatus; });
constexpr unsigned kPlainStatuses = status_bits([](int s) { return kErrorRows.row[s] < 0; });

class Pass {
public:
    Pass(const StatsJob& job, LineStats& stats, RowSpool& minutes, SecondRows& seconds, FrameReader& reader,
         std::int64_t begin, std::int64_t end, const StatsProgress& progress)
        : job_(job),
          s_(stats),
          reader_(reader),
          walked_(begin),
          begin_(begin),
          end_(end),
          progress_(progress),
          idle_ms_(textlib::IdleScale(reader.Info(textlib::info::kIdleUnit))),
          minutes_(60, [&minutes](const BucketRow& row) { minutes.add(row); }),
          seconds_(1, [&seconds](const BucketRow& row) { seconds.add(row); }),
          second_rows_(seconds) {}

    // Walks the words up to `upto`; false once the data has ended.
    bool walk_to(std::int64_t upto) {
        upto = std::min(upto, end_);
        while (walked_ < upto) {
            const int want = static_cast<int>(std::min<std::int64_t>(upto - walked_, kChunk));
            const int got = reader_.Words(walked_, chunk_, want);
            run(chunk_, got);
            walked_ += got;
            s_.records += got;
            if (walked_ >= next_progress_ && progress_) {
                next_progress_ = walked_ - (walked_ - begin_) % textlib::kBlockWords + textlib::kBlockWords;
                progress_(static_cast<int>((walked_ - begin_) / textlib::kBlockWords) + 1, total_blocks());
            }
            if (got < want) return false;
        }
        return walked_ < end_;
    }

    void finish() {
        settle();
        second_over();
        const StatTime end = clock_.now();
        s_.last_stamp = end;
        for (SignalStats& sig : s_.signals)
            if (sig.known && !sig.on && close_off(sig, end)) sig.off_at_end = true;
        for (RowWindow* w : windows()) w->flush();
    }

private:
    int total_blocks() const {
        return static_cast<int>((std::min(end_, begin_ + std::int64_t{job_.blocks} * textlib::kBlockWords) - begin_ +
                                 textlib::kBlockWords - 1) /
                                textlib::kBlockWords);
    }

    // The row windows the job keeps.
    struct Windows {
        RowWindow* list[2];
        int n;
        RowWindow** begin() { return list; }
        RowWindow** end() { return list + n; }
    };
    Windows windows() {
        Windows w{{nullptr, nullptr}, 0};
        if (job_.keep_minutes) w.list[w.n++] = &minutes_;
        if (job_.keep_seconds && !second_rows_.gave_up()) w.list[w.n++] = &seconds_;
        return w;
    }

    // Most words are data words without an error mark: counted in locals,
    // the others one by one.
    void run(const std::uint32_t* words, int n) {
        std::int64_t sd = 0, rd = 0;
        bool check_sd = in_check_[0], check_rd = in_check_[1];
        for (int k = 0; k < n; ++k) {
            const std::uint32_t w = words[k];
            const unsigned a = w & 0xF, b = (w >> 16) & 0xF;
            if ((w & 0x30) != 0 && (kPlainStatuses >> a & 1) && (kPlainStatuses >> b & 1)) {
                sd += kCharStatuses >> a & 1;
                rd += kCharStatuses >> b & 1;
                check_sd = check_sd && a == textlib::kStatusNone;
                check_rd = check_rd && b == textlib::kStatusNone;
                continue;
            }
            s_.chars[0] += sd, s_.chars[1] += rd, sd = rd = 0;
            in_check_[0] = check_sd, in_check_[1] = check_rd;
            word(w);
            check_sd = in_check_[0], check_rd = in_check_[1];
        }
        s_.chars[0] += sd, s_.chars[1] += rd;
        in_check_[0] = check_sd, in_check_[1] = check_rd;
    }

    void word(std::uint32_t w) {
        if (textlib::IsGap(w)) {
            s_.lost.add(clock_.now());
            s_.lost_units += w >> 16;
            return;
        }
        if ((w & 0x30) != 0) {
            cell(textlib::SdCell(w), kStatSd);
            cell(textlib::RdCell(w), kStatRd);
            return;
        }
        switch (w & 0x3F) {
        case textlib::kKindLineState: return line_state(w);
        case textlib::kKindIdle: return idle(w);
        case textlib::kKindTimeStamp: return stamp(w);
        default: return;
        }
    }

    void cell(std::uint16_t c, int dir) {
        const int status = textlib::CellStatus(c);
        if (status == textlib::kStatusNone) return;
        if (status <= kHighestCharStatus) ++s_.chars[dir];
        if (const int e = kErrorRows.row[status]; e >= 0) error(e, status, dir);
        in_check_[dir] = status == kCheckError;
    }

    void error(int e, int status, int dir) {
        // The check characters of one block or frame (two for a CRC or an
        // FCS) carry the same mark: one error.
        if (status == kCheckError && in_check_[dir]) return;
        s_.errors[e].add(clock_.now());
        ++errors_;
    }

    std::int64_t chars() const { return s_.chars[0] + s_.chars[1]; }

    void stamp(std::uint32_t w) {
        // The same time again (the other direction's stamp, the next frame's): the clock stays.
        const std::uint32_t key = w & 0xFFFF7F00u;
        if (key == last_stamp_) {
            ++s_.stamps;
            stamp_chars_ = chars();
            return;
        }
        settle();
        const StatTime before = clock_.now();
        const auto t = clock_.advance(w);
        if (!t) return;
        last_stamp_ = key;
        ++s_.stamps;
        if (before == kNoTime) first_time(*t);
        // A step between two stamps with no character between them was quiet.
        if (before != kNoTime && chars() == stamp_chars_ && (*t - before) * 1000 > s_.silence_ms) {
            s_.silence_ms = (*t - before) * 1000;
            s_.silence_from = before;
            s_.silence_from_idle = false;
        }
        stamp_chars_ = chars();
        // (What came before the first stamp counts in its second.)
        if (before != kNoTime && clock_.now() != before) {
            second_over();
            second_ = clock_.now();
        }
    }

    // What happened before the first stamp happened at its time.
    void first_time(StatTime t) {
        s_.first_stamp = t;
        second_ = t;
        auto fix = [t](StatTime& at) {
            if (at == kNoTime) at = t;
        };
        for (Occurrences& e : s_.errors)
            if (e.count > 0) fix(e.first), fix(e.last);
        if (s_.lost.count > 0) fix(s_.lost.first), fix(s_.lost.last);
        for (SignalStats& sig : s_.signals) {
            if (sig.known && !sig.on) fix(sig.off_since);
            if (sig.longest_off >= 0) fix(sig.longest_off_from);
        }
        if (s_.silence_ms >= 0) fix(s_.silence_from);
    }

    void second_over() {
        const std::int64_t second_chars = chars() - second_start_chars_;
        if (second_chars > s_.busiest_chars) {
            s_.busiest_chars = second_chars;
            s_.busiest_second = second_;
        }
        second_start_chars_ = chars();
    }

    void idle(std::uint32_t w) {
        const std::int64_t ms = std::int64_t{textlib::Byte(w, 3) * 256 + textlib::Byte(w, 1)} * idle_ms_;
        if (ms > s_.silence_ms) {
            s_.silence_ms = ms;
            s_.silence_from = clock_.now();
            s_.silence_from_idle = true;
        }
    }

    void line_state(std::uint32_t w) {
        const auto before = static_cast<std::uint8_t>(textlib::Byte(w, 1));
        const auto after = static_cast<std::uint8_t>(textlib::Byte(w, 3));
        const StatTime now = clock_.now();
        for (int n = 0; n < kSignals; ++n) {
            const int bit = 0x80 >> n;
            SignalStats& sig = s_.signals[n];
            if (!sig.known) {
                sig.known = true;
                sig.on = (before & bit) != 0;
                if (!sig.on) sig.off_since = s_.first_stamp;  // off since the data began
            }
            const bool on = (after & bit) != 0;
            if (on == sig.on) continue;
            ++sig.changes;
            if (!on) sig.off_since = now;
            else close_off(sig, now);
            sig.on = on;
        }
        signals_known_ = 0xFF;
        signals_on_ = after;
        for (RowWindow* win : windows()) {
            BucketRow& r = win->at(now, signals_known_, signals_on_);
            r.signals_known = 0xFF;
            r.signals_on |= static_cast<std::uint8_t>(before | after);
            r.signals_off |= static_cast<std::uint8_t>(~before | ~after);
            r.signals_end = after;
        }
    }

    // Ends an off spell at `end`; true when it is the signal's longest. A
    // spell that ends before the first stamp lasted no time we can tell.
    static bool close_off(SignalStats& sig, StatTime end) {
        if (end != kNoTime && sig.off_since == kNoTime) return false;
        const StatTime spell = end == kNoTime ? 0 : end - sig.off_since;
        const StatTime from = sig.off_since;
        sig.off_since = kNoTime;
        if (spell <= sig.longest_off) return false;
        sig.longest_off = spell;
        sig.longest_off_from = from;
        sig.off_at_end = false;
        return true;
    }

    // Puts the counts since the clock last moved into the rows of its time.
    void settle() {
        const std::int64_t sd = s_.chars[0] - settled_.chars[0], rd = s_.chars[1] - settled_.chars[1];
        const std::int64_t errors = errors_ - settled_.errors, lost = s_.lost.count - settled_.lost;
        if ((sd | rd | errors | lost) == 0) return;
        for (RowWindow* w : windows()) {
            BucketRow& r = w->at(clock_.now(), signals_known_, signals_on_);
            r.chars[0] += sd;
            r.chars[1] += rd;
            r.errors += errors;
            r.lost += lost;
        }
        settled_ = {s_.chars[0], s_.chars[1], errors_, s_.lost.count};
    }

    const StatsJob& job_;
    LineStats& s_;
    FrameReader& reader_;
    std::int64_t walked_, begin_, end_;
    const StatsProgress& progress_;
    int idle_ms_;
    StampClock clock_;
    RowWindow minutes_, seconds_;
    const SecondRows& second_rows_;
    struct Settled {
        std::int64_t chars[2], errors, lost;
    } settled_{{0, 0}, 0, 0};
    std::int64_t errors_ = 0;
    std::uint32_t last_stamp_ = 0;         // the last good stamp without its direction bit
    std::int64_t stamp_chars_ = 0;         // characters when the last stamp came
    std::int64_t second_start_chars_ = 0;  // and when the current second began
    StatTime second_ = kNoTime;
    std::uint8_t signals_known_ = 0, signals_on_ = 0;
    bool in_check_[2] = {false, false};  // the last cell of the direction was a bad check character
    static constexpr int kChunk = 1024;
    std::uint32_t chunk_[kChunk];
    std::int64_t next_progress_ = 0;
};

// What the frame count finds; copied into the stats when both are done.
struct FrameTally {
    std::int64_t frames[3] = {0, 0, 0};
    KindTable kinds, packets;
};

// The frames, counted on a thread of their own beside the word walk: by
// direction and kind, and per minute at the stamp that opened them (a frame
// without one at the stamp of the frame before).
class FrameCount {
public:
    FrameCount(const StatsJob& job, FrameTally& tally, RowSpool& minutes, SecondRows& seconds, int mode)
        : job_(job),
          t_(tally),
          mode_(mode),
          minutes_(60, [&minutes](const BucketRow& row) { minutes.add(row); }),
          seconds_(1, [&seconds](const BucketRow& row) { seconds.add(row); }),
          second_rows_(seconds) {}

    void frame(const Frame& f) {
        if (f.direction == textlib::kFrameLost) return;  // the walk counts the gap mark
        const int dir = f.direction == textlib::kFrameSd   ? kStatSd
                        : f.direction == textlib::kFrameRd ? kStatRd
                                                           : kStatUndecided;
        ++t_.frames[dir];
        if ((mode_ == textlib::kHdlc || mode_ == textlib::kNrzi) && job_.frame_variant >= 0) {
            t_.kinds.add(textlib::HdlcFrameField(f, job_.frame_variant), {}, dir);
            if (job_.packet_kind > 0) {
                const textlib::FrameField p = textlib::PacketField(f, job_.frame_variant, job_.packet_kind);
                if (p.present) t_.packets.add(p, {}, dir);
            }
        } else if (mode_ == textlib::kPpp) {
            const textlib::PppFields p = textlib::PppFrameFields(f);
            t_.kinds.add(p.protocol, p.code, dir);
        }
        if (!job_.keep_minutes && !job_.keep_seconds) return;
        StatTime t = clock_.now();
        if (f.timeStamp != 0)
            if (const auto at = clock_.advance(f.timeStamp)) t = *at;
        if (job_.keep_minutes) ++minutes_.at(t, 0, 0).frames;
        if (job_.keep_seconds && !second_rows_.gave_up()) ++seconds_.at(t, 0, 0).frames;
    }

    void finish() {
        minutes_.flush();
        seconds_.flush();
    }

private:
    const StatsJob& job_;
    FrameTally& t_;
    int mode_;
    StampClock clock_;
    RowWindow minutes_, seconds_;
    const SecondRows& second_rows_;
};

platform::Status unreadable_buffer(const std::string& path) {
    return platform::Status::failureWithMessage("open", path, 0, unreadable_buffer_text(path));
}

}  // namespace

platform::Status run_stats(const StatsJob& job, StatsResult& r, const StatsProgress& progress) {
    FrameReader reader;
    if (!reader.Open(job.buffer.c_str())) return unreadable_buffer(job.buffer);
    std::int64_t begin = 0, end = reader.RecordCount();
    if (!reader.IsSingleFile()) {
        begin = std::int64_t{job.start - 1} * textlib::kBlockWords;
        end = std::min<std::int64_t>(job.start - 1 + job.blocks, reader.BlockCount()) * textlib::kBlockWords;
    }
    LineStats& s = r.stats;
    s.mode = reader.Info(textlib::info::kMode);
    s.line_states = reader.Info(textlib::info::kLineStates) != 0;
    const bool hdlc = s.mode == textlib::kHdlc || s.mode == textlib::kNrzi;
    s.frame_variant = hdlc ? job.frame_variant : -1;
    s.packet_kind = hdlc && job.frame_variant >= 0 ? job.packet_kind : 0;
    // The words and the frames are read side by side, each by a reader of
    // its own over the same files (the second finds them in the page cache).
    FrameReader frame_reader;
    if (!frame_reader.Open(job.buffer.c_str())) return unreadable_buffer(job.buffer);
    RowSpool word_minutes, frame_minutes;
    SecondRows word_seconds, frame_seconds;
    if (job.keep_minutes)
        for (RowSpool* spool : {&r.minutes, &word_minutes, &frame_minutes})
            if (auto s = spool->open(); !s.ok()) return s;

    FrameTally tally;
    std::thread frames([&] {
        FrameCount count(job, tally, frame_minutes, frame_seconds, s.mode);
        frame_reader.Seek(begin);
        auto frame = std::make_unique<textlib::Frame>();
        while (frame_reader.Pos() < end && frame_reader.Next(*frame, end)) count.frame(*frame);
        count.finish();
    });
    Pass pass(job, s, word_minutes, word_seconds, reader, begin, end, progress);
    pass.walk_to(end);
    pass.finish();
    frames.join();

    std::copy(std::begin(tally.frames), std::end(tally.frames), std::begin(s.frames));
    s.kinds = tally.kinds;
    s.packets = tally.packets;
    if (job.keep_minutes && !merge_rows(word_minutes, frame_minutes, r.minutes))
        return platform::Status::failureWithMessage("read", "", 0,
                                                    "cannot read back the per-minute rows from their temporary file");
    if (job.keep_seconds) merge_rows(word_seconds, frame_seconds, r.seconds);
    if (r.minutes.failed())
        return platform::Status::failureWithMessage("write", "", 0,
                                                    "cannot write the per-minute rows to a temporary file");
    return {};
}

}  // namespace cli
