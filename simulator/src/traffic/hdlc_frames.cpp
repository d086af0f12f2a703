// Byte layouts of link control fields, X.25 packets and Q.931 messages.
#include "traffic/hdlc_frames.h"

#include <algorithm>
#include <span>

namespace simulator::hdlc {
namespace {

std::uint8_t gfi(bool extended) { return extended ? 0x20 : 0x10; }

}  // namespace

Bytes i_control(bool extended, unsigned ns, unsigned nr, bool poll) {
    if (extended)
        return {static_cast<std::uint8_t>((ns & 0x7F) << 1),
                static_cast<std::uint8_t>((nr & 0x7F) << 1 | (poll ? 1 : 0))};
    return {static_cast<std::uint8_t>((nr & 7) << 5 | (poll ? 0x10 : 0) | (ns & 7) << 1)};
}

Bytes s_control(bool extended, std::uint8_t kind, unsigned nr, bool pf) {
    if (extended) return {kind, static_cast<std::uint8_t>((nr & 0x7F) << 1 | (pf ? 1 : 0))};
    return {static_cast<std::uint8_t>((nr & 7) << 5 | (pf ? 0x10 : 0) | kind)};
}

Bytes x25_call_request(bool extended) {
    // Called DTE 3120 1234, calling 4410 0077, no facilities, protocol id 01000000.
    return {gfi(extended), 0x01, 0x0B, 0x88, 0x31, 0x20, 0x12, 0x34, 0x44,
            0x10,          0x00, 0x77, 0x00, 0x01, 0x00, 0x00, 0x00};
}

Bytes x25_call_connected(bool extended) { return {gfi(extended), 0x01, 0x0F}; }

Bytes x25_data(bool extended, unsigned ps, unsigned pr, bool more, const Bytes& data) {
    Bytes p{gfi(extended), 0x01};
    if (extended) {
        p.push_back(static_cast<std::uint8_t>((ps & 0x7F) << 1));
        p.push_back(static_cast<std::uint8_t>((pr & 0x7F) << 1 | (more ? 1 : 0)));
    } else {
        p.push_back(static_cast<std::uint8_t>((pr & 7) << 5 | (more ? 0x10 : 0) | (ps & 7) << 1));
    }
    p.insert(p.end(), data.begin(), data.end());
    return p;
}

Bytes x25_flow(bool extended, std::uint8_t kind, unsigned pr) {
    if (extended) return {gfi(extended), 0x01, kind, static_cast<std::uint8_t>((pr & 0x7F) << 1)};
    return {gfi(extended), 0x01, static_cast<std::uint8_t>((pr & 7) << 5 | kind)};
}

Bytes x25_clear_request(bool extended) { return {gfi(extended), 0x01, 0x13, 0x00, 0x00}; }

Bytes x25_clear_confirmation(bool extended) { return {gfi(extended), 0x01, 0x17}; }

namespace {

// The information elements each message carries after its four header bytes.
// Bearer capability: speech, circuit mode, 64 kbit/s, A-law; B1 channel; called 3123.
constexpr std::uint8_t kSetupIes[] = {0x04, 0x03, 0x80, 0x90, 0xA3, 0x18, 0x01, 0x89,
                                      0x70, 0x05, 0x81, '3',  '1',  '2',  '3'};
constexpr std::uint8_t kCallProceedingIes[] = {0x18, 0x01, 0x89};
// Cause: normal call clearing.
constexpr std::uint8_t kDisconnectIes[] = {0x08, 0x02, 0x80, 0x90};

std::span<const std::uint8_t> ies_of(Q931 type) {
    switch (type) {
    case Q931::Setup: return kSetupIes;
    case Q931::CallProceeding: return kCallProceedingIes;
    case Q931::Disconnect: return kDisconnectIes;
    default: return {};
    }
}

}  // namespace

Bytes q931(Q931 type, std::uint8_t call_ref, bool from_origin) {
    // Sized once and filled in place: growing a short vector by insert makes
    // g++ 12 at -O2 warn about the old buffer's bounds on a path never taken.
    const auto ies = ies_of(type);
    Bytes m(4 + ies.size());
    m[0] = 0x08;
    m[1] = 0x01;
    m[2] = static_cast<std::uint8_t>((call_ref & 0x7F) | (from_origin ? 0x00 : 0x80));
    m[3] = static_cast<std::uint8_t>(type);
    std::copy(ies.begin(), ies.end(), m.begin() + 4);
    return m;
}

}  // namespace simulator::hdlc
