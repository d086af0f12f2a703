// Frames of the bit-oriented protocols the HDLC and NRZI traffic carries:
// link-level control fields (modulo 8 and 128), X.25 packets and Q.931
// messages. Pure builders; the session logic is in hdlc_traffic.cpp.
#pragma once
#include <cstdint>
#include <vector>

namespace simulator::hdlc {

using Bytes = std::vector<std::uint8_t>;

// Unnumbered control values with the P/F bit set.
inline constexpr std::uint8_t kSnrmP = 0x93, kSabmP = 0x3F, kSabmeP = 0x7F, kDiscP = 0x53, kUaF = 0x73, kDmF = 0x1F;
// Supervisory kinds (bits 2-3).
inline constexpr std::uint8_t kRr = 0x01, kRnr = 0x05, kRej = 0x09;

// Control fields; `extended` is modulo 128 (two bytes).
Bytes i_control(bool extended, unsigned ns, unsigned nr, bool poll);
Bytes s_control(bool extended, std::uint8_t kind, unsigned nr, bool pf);

// X.25 packets on logical channel 1 (`extended`: modulo 128, GFI 2).
Bytes x25_call_request(bool extended);
Bytes x25_call_connected(bool extended);
Bytes x25_data(bool extended, unsigned ps, unsigned pr, bool more, const Bytes& data);
Bytes x25_flow(bool extended, std::uint8_t kind, unsigned pr);  // RR, RNR, REJ packets
Bytes x25_clear_request(bool extended);
Bytes x25_clear_confirmation(bool extended);

// Q.931 messages with a one-byte call reference (`from_origin` clears the flag bit).
enum class Q931 : std::uint8_t {
    Setup = 0x05,
    CallProceeding = 0x02,
    Connect = 0x07,
    ConnectAck = 0x0F,
    Disconnect = 0x45,
    Release = 0x4D,
    ReleaseComplete = 0x5A,
};
Bytes q931(Q931 type, std::uint8_t call_ref, bool from_origin);

}  // namespace simulator::hdlc
