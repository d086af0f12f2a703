// AUTO RUN (start and stop times, checked only for their ranges) and DELAY FACTOR
// (two rows of signal levels, never refused).
#include <array>
#include <cstdio>

#include "bit_row.h"
#include "common_lists.h"
#include "items.h"
#include "messages.h"
#include "sections.h"

namespace setxfer {
namespace {

// A switch byte and, when it is on, a time as day, hour, minute (stored minute first).
struct TimeSwitch {
    std::string_view label;
    std::uint16_t on;
    std::uint16_t minute;
};
constexpr std::array<TimeSwitch, 2> kTimes = {{{"RUN TIME:", 392, 393}, {"STOPTIME:", 396, 397}}};

struct Field {
    int byte;  // offset from the minute byte
    std::uint32_t min, max;
};
constexpr std::array<Field, 3> kFields = {{{2, 1, 31}, {1, 0, 23}, {0, 0, 59}}};  // day, hour, minute

void write_time(std::string& out, ConstSetup s, const TimeSwitch& t) {
    out += t.label;
    append_padded(out, name_at(kOnOff, s[t.on]), 6);
    out += "\r\n";
    if (s[t.on] != 1) return;
    char line[64];
    std::snprintf(line, sizeof line, "[ %2d : %2d : %2d ]\r\n", s[t.minute + 2], s[t.minute + 1], s[t.minute]);
    out += t.label;
    out += line;
}

bool read_time(TokenReader& in, Setup s, const TimeSwitch& t) {
    in.skip(t.label);
    if (auto v = find_name(kOnOff, in.token(6))) s[t.on] = *v;  // not counted
    if (s[t.on] != 1) return true;
    in.skip(t.label);
    in.skip("[");
    bool ok = true;
    for (std::size_t i = 0; i < kFields.size(); ++i) {
        if (i > 0) in.skip(":");
        auto v = in.number(6);
        if (v) s[t.minute + kFields[i].byte] = static_cast<std::uint8_t>(*v);
        ok = ok && v && *v >= kFields[i].min && *v <= kFields[i].max;
    }
    in.skip("]");
    return ok;
}

constexpr std::string_view kSignals = " SD RS ER RD CS DR CD SQ CI EX";
constexpr std::array<std::uint16_t, 10> kSignalBits = {0x200, 0x80, 0x08, 0x100, 0x40, 0x20, 0x10, 0x04, 0x02, 0x01};
struct DelayRow {
    std::string_view label;
    std::uint16_t mask;  // the level word follows the mask word
};
constexpr std::array<DelayRow, 2> kDelayRows = {{{"START   :", 402}, {"STOP    :", 406}}};

}  // namespace

void write_auto_run(std::string& out, ConstSetup s, Model) {
    out += "< AUTO RUN >\r\n";
    for (const TimeSwitch& t : kTimes) write_time(out, s, t);
}

SectionResult read_auto_run(TokenReader& in, Setup s, Model) {
    in.skip("< AUTO RUN >");
    bool ok = true;
    for (const TimeSwitch& t : kTimes) ok = read_time(in, s, t) && ok;
    return ok ? SectionResult{} : text::kAutoRun;
}

void write_delay_factor(std::string& out, ConstSetup s, Model) {
    out += "< DELAY FACTOR >\r\n";
    for (const DelayRow& r : kDelayRows) {
        BitRow row{get_u16(s, r.mask), get_u16(s, r.mask + 2)};
        out += r.label;
        out += kSignals;
        out += "\r\n         [ ";
        for (std::uint16_t bit : kSignalBits) append_padded(out, bit_cell(row, bit), 3);
        out += "]\r\n";
    }
}

SectionResult read_delay_factor(TokenReader& in, Setup s, Model) {
    in.skip("< DELAY FACTOR >");
    for (const DelayRow& r : kDelayRows) {
        in.skip(r.label);
        in.skip(kSignals);
        in.skip("[");
        BitRow row = read_bit_row(in, kSignalBits);
        in.skip("]");
        set_u16(s, r.mask, row.mask);
        set_u16(s, r.mask + 2, row.level);
    }
    return std::nullopt;
}

}  // namespace setxfer
