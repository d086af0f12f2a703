// How a delimited frame goes into a capture file: the link type of each line
// mode and frame protocol, the packet bytes of a frame on that link and the
// packet flags for its direction and the way it ended.
#pragma once
#include <cstdint>

#include "pcapng_blocks.h"
#include "textlib/frame.h"

namespace pcapng {

enum LinkType : std::uint16_t {
    kLinkUser0 = 147,       // LAPB (X.25 and SDLC lines), decoded through a user link type
    kLinkUser1 = 148,       // raw characters of ASYNC and SYNC frames
    kLinkLapd = 203,        // LAPD from the address field on, no pseudo-header
    kLinkPppWithDir = 204,  // one direction byte, then the unescaped PPP frame
};

struct Link {
    std::uint16_t type;
    const char* name;  // interface name shown by Wireshark
    const char* description;
};

// The link of a measurement mode (data-info body byte 1) and, on HDLC and
// NRZI lines, the frame protocol (0 SDLC, 1 X.25, 2 X.25 modulo 128, 3 X.25 UA, 4 LAPD).
Link LinkFor(int mode, int frameProtocol);

// The packet bytes of a frame on `linkType` into `data` (its old contents
// replaced; an export reuses one buffer): the frame's characters, with the
// PPP escaping removed and the direction byte in front on a PPP link.
void PacketData(std::uint16_t linkType, const textlib::Frame& frame, Bytes& data);

// Direction and link-layer error bits of a frame.
std::uint32_t PacketFlags(const textlib::Frame& frame);

}  // namespace pcapng
