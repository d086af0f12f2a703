// The numbers of the pcap and pcapng capture file formats that our writer
// (pcapng/) and our reader (capture_reader.h) both use: block types, option
// codes, the packet flags word and the link types of serial lines.
//
// Errors: none; constants.
// Threads: any.
#pragma once
#include <cstdint>

namespace pcapfile {

// Classic pcap: the magic number as the writer's byte order wrote it.
constexpr std::uint32_t kPcapMagicMicroseconds = 0xA1B2C3D4;
constexpr std::uint32_t kPcapMagicNanoseconds = 0xA1B23C4D;
constexpr std::uint32_t kPcapMagicModified = 0xA1B2CD34;  // an old variant with longer records
constexpr std::uint32_t kPcapHeaderBytes = 24;
constexpr std::uint32_t kPcapRecordHeaderBytes = 16;

// pcapng block types.
constexpr std::uint32_t kSectionHeader = 0x0A0D0D0A;
constexpr std::uint32_t kInterfaceDescription = 0x00000001;
constexpr std::uint32_t kObsoletePacket = 0x00000002;
constexpr std::uint32_t kSimplePacket = 0x00000003;
constexpr std::uint32_t kEnhancedPacket = 0x00000006;
constexpr std::uint32_t kByteOrderMagic = 0x1A2B3C4D;

// pcapng options: the end and comment of every block, then each block's own.
constexpr std::uint16_t kOptEnd = 0, kOptComment = 1;
constexpr std::uint16_t kShbUserAppl = 4;
constexpr std::uint16_t kIfName = 2, kIfDescription = 3, kIfTsresol = 9, kIfTsoffset = 14;
constexpr std::uint16_t kEpbFlags = 2;  // also the obsolete packet block's pack_flags

// The packet flags word: direction in bits 0-1, link-layer errors in bits 24-31.
constexpr std::uint32_t kFlagInbound = 0x1;
constexpr std::uint32_t kFlagOutbound = 0x2;
constexpr std::uint32_t kFlagDirectionMask = 0x3;
constexpr std::uint32_t kFlagCrcError = 1u << 24;
constexpr std::uint32_t kFlagTooShort = 1u << 26;
constexpr std::uint32_t kFlagSymbolError = 1u << 31;

// Link types of serial lines (and the user types we write).
enum LinkType : std::uint16_t {
    kLinkPpp = 9,             // PPP frames, no framing bytes
    kLinkPppHdlc = 50,        // PPP in HDLC-like framing
    kLinkCiscoHdlc = 104,     // Cisco HDLC
    kLinkFrameRelay = 107,    // Frame Relay from the address field on
    kLinkUser0 = 147,         // user link type 0: LAPB in our own older exports
    kLinkUser1 = 148,         // user link type 1: raw characters of ASYNC and SYNC frames
    kLinkLinuxLapd = 177,     // LAPD behind a 16-byte Linux pseudo-header
    kLinkLapd = 203,          // LAPD from the address field on, no pseudo-header
    kLinkPppWithDir = 204,    // one direction byte, then the PPP frame
    kLinkLapbWithDir = 207,   // one direction byte, then the LAPB frame
    kLinkWiresharkPdu = 252,  // tags naming the protocol, then its bytes
};

}  // namespace pcapfile
