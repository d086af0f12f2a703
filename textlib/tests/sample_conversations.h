// Whole hand-built conversations of the frame-oriented modes: an X.25 call
// over LAPB, a basic-rate LAPD call with Q.931 and a PPP negotiation. The
// golden translations and the packet-capture export are made from them.
#pragma once
#include <cstdint>
#include <vector>

#include "buffer_builder.h"
#include "frame_words.h"

namespace textlib_test {

inline std::vector<int> Concat(std::vector<int> a, const std::vector<int>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// A stamped HDLC frame of one direction.
inline void Add(std::vector<std::uint32_t>& w, bool rd, int h, int m, int s, const std::vector<int>& bytes,
                int fcs = kFcsGood) {
    w.push_back(TimeStamp(rd, h, m, s));
    Append(w, HdlcFrame(rd, bytes, fcs));
}

// LAPB link set-up, an X.25 call with data both ways, a frame lost to an
// abort, a gap, a clearing and the link's disconnection. SD is the DTE.
inline std::vector<std::uint32_t> X25Conversation() {
    std::vector<std::uint32_t> w;
    Add(w, false, 10, 0, 0, {0x03, 0x3F});                                                              // SABM P
    Add(w, true, 10, 0, 0, {0x03, 0x73});                                                               // UA F
    Append(w, {Sd(0x7E, kOpenFlag), Sd(0x7E, kCloseFlag)});                                             // idle flags
    Add(w, false, 10, 0, 1, {0x01, 0x00, 0x10, 0x01, 0x0B, 0x55, 0x12, 0x34, 0x56, 0x78, 0x90, 0x00});  // CR
    Add(w, true, 10, 0, 1, {0x01, 0x21});                                                               // RR N(R) 1
    Add(w, true, 10, 0, 2, {0x03, 0x20, 0x10, 0x01, 0x0F});                                             // CC
    Add(w, false, 10, 0, 2, {0x03, 0x21});                                                              // RR
    // A data packet from the DTE while the DCE answers with an RR packet.
    w.push_back(TimeStamp(false, 10, 0, 3));
    w.push_back(TimeStamp(true, 10, 0, 3));
    std::vector<int> hello{0x01, 0x22, 0x10, 0x01, 0x00, 'H', 'E', 'L', 'L', 'O', 0x0D, 0x0A};
    Append(w, Overlay(HdlcFrame(false, hello), HdlcFrame(true, {0x03, 0x42, 0x10, 0x01, 0x21})));
    std::vector<int> block{0x01, 0x44, 0x10, 0x01, 0x32};  // a long data packet, FCS error
    for (int k = 0; k < 64; ++k) block.push_back(0x20 + k);
    Add(w, false, 10, 0, 4, block, kFcsBad);
    Add(w, true, 10, 0, 4, {0x01, 0x49});     // REJ N(R) 2
    w.push_back(TimeStamp(false, 10, 0, 5));  // aborted while being sent
    Append(w, {Sd(0x7E, kOpenFlag), Sd(0x01), Sd(0x44), Sd(0xFF, kAbortMark), Sd(0x7E, kCloseFlag)});
    w.push_back(Gap(12));
    Add(w, false, 10, 0, 6, {0x01, 0x44, 0x10, 0x01, 0x13, 0x00, 0x00});  // CQ
    Add(w, true, 10, 0, 6, {0x03, 0x64, 0x10, 0x01, 0x17});               // CF
    Add(w, true, 10, 0, 7, {0x03, 0x87, 0x44, 0x46, 0x01});               // FRMR
    Add(w, false, 10, 0, 8, {0x03, 0x53});                                // DISC P
    Add(w, true, 10, 0, 8, {0x03, 0x73});                                 // UA F
    w.push_back(TimeStamp(true, 10, 0, 9));                               // a short frame
    Append(w, {Rd(0x7E, kOpenFlag), Rd(0x03), Rd(0x00, kShortMark)});
    return w;
}

// A basic-rate call: TEI assignment, multiple-frame set-up, an outgoing call
// answered, cleared by the user, and the link released. SD is the user side.
inline std::vector<std::uint32_t> Q931Call() {
    std::vector<std::uint32_t> w;
    const std::vector<int> user{0x00, 0x81}, net{0x02, 0x81}, userResp{0x02, 0x81}, netResp{0x00, 0x81};
    Add(w, false, 14, 20, 0, {0xFC, 0xFF, 0x03, 0x0F, 0x12, 0x34, 0x01, 0xFF});  // TEI request
    Add(w, true, 14, 20, 0, {0xFE, 0xFF, 0x03, 0x0F, 0x12, 0x34, 0x02, 0x81});   // TEI assigned
    Add(w, false, 14, 20, 1, Concat(user, {0x7F}));                              // SABME P
    Add(w, true, 14, 20, 1, Concat(netResp, {0x73}));                            // UA F
    Add(w, false, 14, 20, 2, Concat(user, {0x00, 0x00, 0x08, 0x01, 0x01, 0x05, 0x04, 0x03, 0x80, 0x90, 0xA2,
                                           0x18, 0x01, 0x89, 0x70, 0x05, 0x81, 0x31, 0x32, 0x33, 0x34}));   // SETUP
    Add(w, true, 14, 20, 2, Concat(netResp, {0x01, 0x02}));                                                 // RR N(R) 1
    Add(w, true, 14, 20, 2, Concat(net, {0x00, 0x02, 0x08, 0x01, 0x81, 0x02, 0x18, 0x01, 0x89}));           // CALL PROC
    Add(w, false, 14, 20, 3, Concat(userResp, {0x01, 0x02}));                                               // RR
    Add(w, true, 14, 20, 5, Concat(net, {0x02, 0x02, 0x08, 0x01, 0x81, 0x01}));                             // ALERT
    Add(w, true, 14, 20, 9, Concat(net, {0x04, 0x02, 0x08, 0x01, 0x81, 0x07}));                             // CONN
    Add(w, false, 14, 20, 9, Concat(user, {0x02, 0x06, 0x08, 0x01, 0x01, 0x0F}));                           // CONN ACK
    Add(w, true, 14, 21, 0, Concat(netResp, {0x01, 0x05}));                                                 // RR with F
    Add(w, false, 14, 22, 30, Concat(user, {0x04, 0x06, 0x08, 0x01, 0x01, 0x45, 0x08, 0x02, 0x80, 0x90}));  // DISC
    Add(w, true, 14, 22, 30, Concat(net, {0x06, 0x06, 0x08, 0x01, 0x81, 0x4D}));                            // REL
    Add(w, false, 14, 22, 31, Concat(user, {0x06, 0x08, 0x08, 0x01, 0x01, 0x5A}), kFcsBad);  // REL COMP, FCS error
    Add(w, false, 14, 22, 31, Concat(user, {0x08, 0x08, 0x08, 0x01, 0x01, 0x5A}));           // REL COMP again
    Add(w, true, 14, 22, 31, Concat(net, {0x08, 0x0A, 0x08, 0x00, 0x7E}));  // unknown message, dummy reference
    Add(w, false, 14, 22, 32, Concat(user, {0x53}));                        // DISC P
    Add(w, true, 14, 22, 32, Concat(netResp, {0x73}));                      // UA F
    return w;
}

// A stamped PPP frame of one direction.
inline void AddPpp(std::vector<std::uint32_t>& w, bool rd, int h, int m, int s, const std::vector<int>& bytes) {
    w.push_back(TimeStamp(rd, h, m, s));
    Append(w, PppFrame(rd, bytes));
}

// LCP options both ways, PAP, IPCP with a NAK, one IP datagram each way, an
// echo without time stamps, a gap and the link's termination. SD is the client.
inline std::vector<std::uint32_t> PppNegotiation() {
    std::vector<std::uint32_t> w;
    const std::vector<int> lcp{0xFF, 0x03, 0xC0, 0x21};
    AddPpp(w, false, 8, 15, 0, Concat(lcp, {0x01, 0x01, 0x00, 0x12, 0x01, 0x04, 0x05, 0xDC, 0x02, 0x06, 0x00,
                                            0x00, 0x00, 0x00, 0x05, 0x06, 0x12, 0x34, 0x56, 0x78, 0x4A, 0x7E}));
    AddPpp(
        w, true, 8, 15, 0,
        Concat(lcp, {0x01, 0x07, 0x00, 0x0E, 0x03, 0x04, 0xC0, 0x23, 0x05, 0x06, 0x0A, 0xBC, 0xDE, 0xF0, 0x91, 0x3D}));
    AddPpp(w, true, 8, 15, 0, Concat(lcp, {0x02, 0x01, 0x00, 0x12, 0x01, 0x04, 0x05, 0xDC, 0x02, 0x06, 0x00,
                                           0x00, 0x00, 0x00, 0x05, 0x06, 0x12, 0x34, 0x56, 0x78, 0x2B, 0x19}));
    AddPpp(
        w, false, 8, 15, 1,
        Concat(lcp, {0x02, 0x07, 0x00, 0x0E, 0x03, 0x04, 0xC0, 0x23, 0x05, 0x06, 0x0A, 0xBC, 0xDE, 0xF0, 0x66, 0x02}));
    AddPpp(
        w, false, 8, 15, 1,
        {0xC0, 0x23, 0x01, 0x01, 0x00, 0x0E, 0x04, 'u', 's', 'e', 'r', 0x02, 'p', 'w', 0x5C, 0x11});  // PAP, compressed
    AddPpp(w, true, 8, 15, 1, {0xFF, 0x03, 0xC0, 0x23, 0x02, 0x01, 0x00, 0x05, 0x00, 0x8E, 0x43});    // PAP ack
    AddPpp(w, false, 8, 15, 2, {0x80, 0x21, 0x01, 0x01, 0x00, 0x0A, 0x03, 0x06, 0x00, 0x00, 0x00, 0x00, 0x21, 0x7D});
    AddPpp(w, true, 8, 15, 2, {0x80, 0x21, 0x03, 0x01, 0x00, 0x0A, 0x03, 0x06, 0xC0, 0xA8, 0x01, 0x02, 0x9A, 0x04});
    AddPpp(w, false, 8, 15, 2, {0x80, 0x21, 0x01, 0x02, 0x00, 0x0A, 0x03, 0x06, 0xC0, 0xA8, 0x01, 0x02, 0x37, 0x6B});
    AddPpp(w, true, 8, 15, 2, {0x80, 0x21, 0x02, 0x02, 0x00, 0x0A, 0x03, 0x06, 0xC0, 0xA8, 0x01, 0x02, 0x0C, 0xE1});
    std::vector<int> ip{0x21, 0x45, 0x00, 0x00, 0x54, 0x1C, 0x46, 0x40, 0x00, 0x40, 0x01,
                        0x7E, 0x7D, 0xC0, 0xA8, 0x01, 0x02, 0xC0, 0xA8, 0x01, 0x01};
    for (int k = 0; k < 40; ++k) ip.push_back(k);  // ICMP echo data, cut by the line width
    AddPpp(w, false, 8, 15, 3, ip);
    AddPpp(w, true, 8, 15, 3, {0x00, 0x21, 0x45, 0x00, 0x00, 0x14, 0x00, 0x01, 0x00, 0x00, 0x3F, 0x06});
    Append(w, PppFrame(false, Concat(lcp, {0x09, 0x03, 0x00, 0x08, 0x12, 0x34, 0x56, 0x78, 0x70, 0x0F})));  // no stamp
    w.push_back(Gap(3));
    AddPpp(w, false, 8, 16, 0, Concat(lcp, {0x05, 0x04, 0x00, 0x04, 0xA1, 0x5B}));  // TERM-REQ
    AddPpp(w, true, 8, 16, 0, Concat(lcp, {0x06, 0x04, 0x00, 0x04, 0x3C, 0x07}));   // TERM-ACK
    AddPpp(w, true, 8, 16, 1, {0xC0, 0x25});                                        // LQR, nothing more
    return w;
}

}  // namespace textlib_test
