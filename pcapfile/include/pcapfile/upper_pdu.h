// Packets of link type WIRESHARK_UPPER_PDU (252): tags in network byte order,
// among them the name of the protocol that decodes the bytes after them, and
// an end tag. We write and read only the protocol name.
//
// Errors: ParseUpperPdu gives nothing for tags that run past the packet or
// never end, or that name no protocol.
// Threads: any; pure.
#pragma once
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace pcapfile {

constexpr std::uint16_t kPduTagEnd = 0;
constexpr std::uint16_t kPduTagProtocolName = 12;

// The tags that name `protocol` ("lapb", "lapd"), ended: the bytes to put
// before the protocol's own in every packet.
std::vector<std::uint8_t> UpperPduHeader(std::string_view protocol);

struct UpperPdu {
    std::string protocol;                   // as the tag names it
    std::span<const std::uint8_t> payload;  // the bytes after the end tag
};

std::optional<UpperPdu> ParseUpperPdu(std::span<const std::uint8_t> packet);

}  // namespace pcapfile
