// The sample buffers our golden files are made from: an ASYNC line with every
// kind of record, an HDLC line with frames of both directions, and a BSC
// conversation on a SYNC line written in ASCII or EBCDIC.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "buffer_builder.h"
#include "frame_words.h"

namespace textlib_test {

// Time stamps of both directions, every cell status, a gap, an idle time that
// runs over the end of the first block of columns, and a short one.
inline std::vector<std::uint32_t> MixedAsync() {
    std::vector<std::uint32_t> w{TimeStamp(false, 9, 30, 0), Sd(0x05), Rd(0x06)};
    Append(w, SdText("HELLO"));
    Append(w, {SdRd('A', 'B'), Sd(0x02), Sd('x', 2), Rd('y', 3), Gap(5), TimeStamp(true, 12, 34, 56), Sd('1', 1),
               Rd(0xFF), Sd(0, 8), Rd(0, 9), Sd(0x7E, 10), Sd(0x7E, 11), Idle(10000), Sd(0x41, 12), Sd(0x41, 13),
               Rd('Z'), Idle(7), Sd('\r'), Sd('\n')});
    return w;
}

// An HDLC exchange: SABM and UA, I frames both ways (one with a bad FCS),
// frames overlapping in full duplex, an aborted frame, a short frame, a gap,
// a line-state change and idle times between frames.
inline std::vector<std::uint32_t> HdlcSample() {
    std::vector<std::uint32_t> w{TimeStamp(false, 8, 0, 0)};
    Append(w, HdlcFrame(false, {0x03, 0x3F}));  // SABM P
    w.push_back(Idle(12));
    w.push_back(TimeStamp(true, 8, 0, 1));
    Append(w, HdlcFrame(true, {0x03, 0x73}));  // UA F
    Append(w, {TimeStamp(false, 8, 0, 2)});
    Append(w, HdlcFrame(false, {0x03, 0x00, 0x10, 0x00, 0x22, 0x41, 0x2C}));  // I 0/0 with text
    w.push_back(TimeStamp(true, 8, 0, 3));
    Append(w, Overlay(HdlcFrame(false, {0x03, 0x02, 0x41, 0x42}, kFcsBad), HdlcFrame(true, {0x01, 0x21})));
    w.push_back(LineState(0x80, 0xC0));
    Append(w, {Rd(0x7E, kOpenFlag), Rd(0x01), Rd(0x02), Rd(0xFF, kAbortMark), Rd(0x7E, kCloseFlag)});
    Append(w, {Sd(0x7E, kOpenFlag), Sd(0x03), Sd(0x00, kShortMark)});
    w.push_back(Gap(40));
    w.push_back(TimeStamp(false, 8, 0, 9));
    Append(w, HdlcFrame(false, {0x03, 0x53}));  // DISC P
    return w;
}

// The control characters of a BSC code and its letters, digits and space.
struct BscCode {
    int code;  // CODE byte of the data-info body
    int soh, stx, etx, eot, enq, dle, nak, etb, itb, syn, ack0, ack1, wack, rvi;
    bool ebcdic;

    int Char(char c) const {
        if (!ebcdic) return static_cast<unsigned char>(c);
        if (c == ' ') return 0x40;
        if (c >= '0' && c <= '9') return 0xF0 + (c - '0');
        if (c >= 'A' && c <= 'I') return 0xC1 + (c - 'A');
        if (c >= 'J' && c <= 'R') return 0xD1 + (c - 'J');
        if (c >= 'S' && c <= 'Z') return 0xE2 + (c - 'S');
        return 0x4B;  // "." for anything we do not spell
    }
};
constexpr BscCode kBscAscii{0,    0x01, 0x02, 0x03, 0x04, 0x05, 0x10, 0x15,
                            0x17, 0x1F, 0x16, 0x30, 0x31, 0x3B, 0x3C, false};
constexpr BscCode kBscEbcdic{1,    0x01, 0x02, 0x03, 0x37, 0x2D, 0x10, 0x3D,
                             0x26, 0x1F, 0x32, 0x70, 0x61, 0x6B, 0x7C, true};

// SYNC line, 4800 bit/s, the code's SYN twice, CRC-16.
inline InfoBody BscBody(const BscCode& c) {
    InfoBody b = AsyncBody(c.code);
    b[1] = 1;
    b[2] = b[3] = 15;  // 4800
    b[9] = 2;
    b[10] = b[11] = static_cast<std::uint8_t>(c.syn);
    b[17] = 3;
    return b;
}

// A multipoint BSC session: polling, a block with a BCC error and its retry,
// selection with WACK, a header with intermediate blocks, transparent data
// holding DLE DLE and an ETX byte, RVI, TTD, NAK and the closing EOT.
inline std::vector<std::uint32_t> BscConversation(const BscCode& c) {
    std::vector<std::uint32_t> w;
    auto sd = [&](std::initializer_list<int> chars) {
        for (int ch : chars) w.push_back(Sd(ch));
    };
    auto rd = [&](std::initializer_list<int> chars) {
        for (int ch : chars) w.push_back(Rd(ch));
    };
    auto sdText = [&](const char* s) {
        for (; *s; ++s) w.push_back(Sd(c.Char(*s)));
    };
    auto rdText = [&](const char* s) {
        for (; *s; ++s) w.push_back(Rd(c.Char(*s)));
    };
    auto bcc = [&](bool rdSide, int status) {
        for (int ch : {0x5A, 0xC3}) w.push_back(rdSide ? Rd(ch, status) : Sd(ch, status));
    };
    const int syn = c.syn;

    w.push_back(TimeStamp(false, 10, 15, 0));
    sd({syn, syn, c.eot, syn, syn, c.Char('A'), c.Char('A'), c.Char('1'), c.Char('1'), c.enq});  // poll
    w.push_back(Idle(20));
    rd({syn, syn, c.stx});
    rdText("REPORT 01");
    rd({c.etb});
    bcc(true, 2);
    sd({syn, syn, c.dle, c.ack0});
    rd({syn, syn, c.stx});
    rdText("TOTAL 42");
    rd({c.etx});
    bcc(true, 3);  // the check fails: NAK and the block again
    sd({syn, syn, c.nak});
    rd({syn, syn, c.stx});
    rdText("TOTAL 42");
    rd({c.etx});
    bcc(true, 2);
    sd({syn, syn, c.dle, c.ack1});
    rd({syn, syn, c.eot});
    w.push_back(Gap(16));
    w.push_back(TimeStamp(false, 10, 15, 7));
    sd({syn, syn, c.eot, syn, syn, c.Char('B'), c.Char('B'), c.enq});  // select
    rd({syn, syn, c.dle, c.wack});
    sd({syn, syn, c.enq});
    rd({syn, syn, c.dle, c.ack0});
    sd({syn, syn, c.soh});
    sdText("HDR");
    sd({c.stx});
    sdText("ORDER");
    sd({c.itb});
    bcc(false, 2);
    sd({c.stx});
    sdText("ITEM 7");
    sd({c.etx});
    bcc(false, 2);
    w.push_back(LineState(0x00, 0x40));
    rd({syn, syn, c.dle, c.ack1});
    sd({syn, syn, c.dle, c.stx, 0x00, c.etx, c.dle, c.dle, 0xFF, c.dle, c.etb});  // transparent
    bcc(false, 2);
    w.push_back(TimeStamp(true, 10, 15, 9));
    rd({syn, syn, c.dle, c.rvi});
    sd({syn, syn, c.stx, c.enq});  // TTD
    rd({syn, syn, c.nak});
    sd({syn, syn, c.eot});
    return w;
}

}  // namespace textlib_test
