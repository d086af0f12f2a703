// How a delimited frame goes into a capture file: the link type of each line
// mode and frame protocol, the packet bytes of a frame on that link and the
// packet flags for its direction and the way it ended.
#pragma once
#include <cstdint>

#include "pcapfile/capture_format.h"
#include "pcapng/pcapng_export.h"
#include "pcapng_blocks.h"
#include "textlib/frame.h"

namespace pcapng {

// The link types we write: LAPB (X.25 and SDLC lines) as WIRESHARK_UPPER_PDU
// or USER0, LAPD from the address field on, Cisco HDLC and Frame Relay as
// their frames are, PPP_WITH_DIR (a direction byte, then the unescaped
// frame), and USER1 for the raw characters of ASYNC and SYNC frames.
using pcapfile::kLinkCiscoHdlc;
using pcapfile::kLinkFrameRelay;
using pcapfile::kLinkLapd;
using pcapfile::kLinkPppWithDir;
using pcapfile::kLinkUser0;
using pcapfile::kLinkUser1;
using pcapfile::kLinkWiresharkPdu;

struct Link {
    std::uint16_t type;
    const char* name;  // interface name shown by Wireshark
    const char* description;
};

// The link of a measurement mode (data-info body byte 1) and, on HDLC and
// NRZI lines, the frame protocol (X.25 for a number it does not know) and the
// HdlcLink chosen for them.
Link LinkFor(int mode, FrameProtocol frameProtocol, HdlcLink hdlcLink = kHdlcTagged);

// The packet bytes of a frame on `linkType` into `data` (its old contents
// replaced; an export reuses one buffer): the frame's characters, with the
// PPP escaping removed and the direction byte in front on a PPP link, the
// tags naming "lapb" in front on WIRESHARK_UPPER_PDU.
void PacketData(std::uint16_t linkType, const textlib::Frame& frame, Bytes& data);

// Direction and link-layer error bits of a frame.
std::uint32_t PacketFlags(const textlib::Frame& frame);

}  // namespace pcapng
