// What `zamvex stats` learns about a line in one pass over a buffer's
// records: counts, first and last times, the longest quiet spells. The state
// is fixed in size whatever the buffer holds; the per-minute rows leave it
// through a sink as they close (stats/bucket_rows.h).
#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "textlib/frame_kinds.h"

namespace cli {

// Seconds from midnight of the measurement's first day, as the analyzer's
// time stamps tell it; kNoTime before the first stamp.
using StatTime = std::int64_t;
inline constexpr StatTime kNoTime = INT64_MIN;

enum StatDirection { kStatSd = 0, kStatRd = 1, kStatUndecided = 2 };

// How often something happened, and when first and last.
struct Occurrences {
    std::int64_t count = 0;
    StatTime first = kNoTime, last = kNoTime;
    void add(StatTime at) {
        if (count++ == 0) first = at;
        last = at;
    }
};

// The error kinds: the cell statuses that mark them, one row each.
inline constexpr int kErrorKinds = 8;
struct ErrorKind {
    int status;        // the cell status (textlib/buffer_format.h)
    const char* name;  // what the table and the JSON call it
};
// One row per error kind, by the cell status that marks it (the statuses
// 4..7 as the analyzer uses them for character errors).
inline constexpr ErrorKind kErrorKindRows[kErrorKinds] = {
    {3, "bad FCS"},          {4, "parity error"}, {5, "framing error"}, {6, "overrun"},
    {7, "other error mark"}, {8, "break"},        {9, "abort"},         {12, "short frame"},
};
// The kinds in table order; the check error is named after the line mode's check.
const ErrorKind& error_kind(int index, int mode);
// The row of a cell status, or -1 for a status that marks no error.
constexpr int error_index(int status) {
    for (int i = 0; i < kErrorKinds; ++i)
        if (kErrorKindRows[i].status == status) return i;
    return -1;
}

// Frames of one kind: the field the translation names them by (control
// field, packet type or PPP protocol) and, for PPP control protocols, the code.
struct KindCount {
    textlib::FrameField field;
    textlib::FrameField detail;
    std::int64_t frames[3] = {0, 0, 0};  // StatDirection
};
// "RR", "LCP CONF-REQ", "(0F)", "(too short)".
std::string kind_name(const KindCount& k);

// A bounded table of kinds: names come from fixed tables, but unnamed values
// could be many; past kMaxKinds they are counted together.
class KindTable {
public:
    static constexpr int kMaxKinds = 96;
    void add(const textlib::FrameField& field, const textlib::FrameField& detail, int direction);
    int size() const { return used_; }
    const KindCount& operator[](int i) const { return kinds_[static_cast<std::size_t>(i)]; }
    const std::int64_t* others() const { return others_; }  // frames of kinds past the bound
    bool any_others() const { return others_[0] + others_[1] + others_[2] > 0; }

private:
    std::array<KindCount, kMaxKinds> kinds_{};
    int used_ = 0;
    int last_ = -1;
    std::int64_t others_[3] = {0, 0, 0};
};

inline constexpr int kSignals = 8;  // RS CS DR CD ER SQ CI EX, bit 0x80 >> n
extern const char* const kSignalNames[kSignals];

struct SignalStats {
    std::int64_t changes = 0;
    StatTime longest_off = -1;  // seconds; -1 never seen off
    StatTime longest_off_from = kNoTime;
    bool off_at_end = false;  // the longest spell lasted to the end of the data
    // While the pass runs.
    bool known = false;
    bool on = false;
    StatTime off_since = kNoTime;
};

// One minute (or second) of the line.
struct BucketRow {
    StatTime bucket = kNoTime;  // its start in seconds; kNoTime before the first stamp
    std::int64_t frames = 0;
    std::int64_t chars[2] = {0, 0};
    std::int64_t errors = 0;
    std::int64_t lost = 0;
    std::uint8_t signals_on = 0;   // signals seen on during the row
    std::uint8_t signals_off = 0;  // signals seen off during the row
    std::uint8_t signals_known = 0;
    std::uint8_t signals_end = 0;  // the state at the last change the row saw (or when it opened)
};

struct LineStats {
    int mode = 0;              // textlib::Mode
    bool line_states = false;  // the buffer recorded line states
    int frame_variant = -1;    // TranslateFrame the kinds are named by; -1 none
    int packet_kind = 0;       // TranslatePacket; 0 none
    std::int64_t records = 0;
    std::int64_t chars[2] = {0, 0};
    Occurrences lost;  // gap marks
    std::int64_t lost_units = 0;
    std::int64_t frames[3] = {0, 0, 0};  // StatDirection
    KindTable kinds;
    KindTable packets;
    Occurrences errors[kErrorKinds];
    SignalStats signals[kSignals];
    StatTime first_stamp = kNoTime, last_stamp = kNoTime;
    std::int64_t stamps = 0;
    StatTime busiest_second = kNoTime;
    std::int64_t busiest_chars = 0;
    std::int64_t silence_ms = -1;  // -1 none measured
    StatTime silence_from = kNoTime;
    bool silence_from_idle = false;  // from an idle time, else between two stamps

    std::int64_t error_total() const {
        std::int64_t n = 0;
        for (const Occurrences& e : errors) n += e.count;
        return n;
    }
};

// "10:04:05", or "+1 10:04:05" on a later day; "-" for kNoTime.
std::string time_text(StatTime t);
// "ASYNC", "SYNC", "HDLC", "NRZI", "PPP".
const char* mode_name(int mode);

}  // namespace cli
