// Record words of frame-oriented measurements for tests: data-info bodies of
// the HDLC, SYNC and PPP modes and whole frames as the analyzer marks them.
#pragma once
#include <cstdint>
#include <stdexcept>
#include <vector>

#include "buffer_builder.h"

namespace textlib_test {

// Cell statuses of bit-oriented modes.
constexpr int kFcsGood = 2, kFcsBad = 3, kBreakMark = 8, kAbortMark = 9, kOpenFlag = 10, kCloseFlag = 11,
              kShortMark = 12;

// HDLC, 64000 bit/s both ways, ST1 clock, FCS on, SD address filter off, RD address 03.
inline InfoBody HdlcBody() {
    InfoBody b{};
    b[1] = 2;
    b[2] = b[3] = 33;  // 64000
    b[5] = 3;
    b[17] = 1;
    b[20] = 1;
    b[21] = 0x03;
    return b;
}

// PPP, 19200 bit/s both ways, ASCII.
inline InfoBody PppBody() {
    InfoBody b{};
    b[1] = 4;
    b[2] = b[3] = 24;
    return b;
}

// One-direction word for a cell of either direction.
inline std::uint32_t Cell(bool rd, int ch, int status = 0) { return rd ? Rd(ch, status) : Sd(ch, status); }

// One HDLC frame: opening flag, the bytes, two FCS characters carrying the
// check's status (kFcsGood or kFcsBad; 0 for none), closing flag.
inline std::vector<std::uint32_t> HdlcFrame(bool rd, const std::vector<int>& bytes, int fcsStatus = kFcsGood) {
    std::vector<std::uint32_t> w{Cell(rd, 0x7E, kOpenFlag)};
    for (int b : bytes) w.push_back(Cell(rd, b));
    if (fcsStatus != 0) {
        w.push_back(Cell(rd, 0x5A, fcsStatus));
        w.push_back(Cell(rd, 0xA5, fcsStatus));
    }
    w.push_back(Cell(rd, 0x7E, kCloseFlag));
    return w;
}

// One asynchronous PPP frame as sent: flag, the bytes with 0x7D, 0x7E and the
// control characters below 0x20 escaped, flag.
inline std::vector<std::uint32_t> PppFrame(bool rd, const std::vector<int>& bytes) {
    std::vector<std::uint32_t> w{Cell(rd, 0x7E)};
    for (int b : bytes) {
        if (b < 0x20 || b == 0x7D || b == 0x7E) {
            w.push_back(Cell(rd, 0x7D));
            w.push_back(Cell(rd, b ^ 0x20));
        } else {
            w.push_back(Cell(rd, b));
        }
    }
    w.push_back(Cell(rd, 0x7E));
    return w;
}

// Lays two one-direction data words over each other: the SD half of `sd`
// and the RD half of `rd`, as full-duplex traffic records them.
inline std::vector<std::uint32_t> Overlay(const std::vector<std::uint32_t>& sd, const std::vector<std::uint32_t>& rd) {
    std::vector<std::uint32_t> w;
    for (std::size_t k = 0; k < sd.size() || k < rd.size(); ++k) {
        std::uint32_t low = k < sd.size() ? sd[k] & 0xFFFF : 0x00BF;
        std::uint32_t high = k < rd.size() ? rd[k] & 0xFFFF0000u : 0x002F0000u;
        if ((k < sd.size() && (sd[k] & 0x30) == 0) || (k < rd.size() && (rd[k] & 0x30) == 0))
            throw std::logic_error("only data words can be overlaid");
        w.push_back(low | high);
    }
    return w;
}

}  // namespace textlib_test
