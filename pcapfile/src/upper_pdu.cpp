// The tag list of WIRESHARK_UPPER_PDU packets: tag, length, value padded to
// four bytes (the length counts the padding), all in network byte order.
#include "pcapfile/upper_pdu.h"

namespace pcapfile {
namespace {

void PutBig16(std::vector<std::uint8_t>& b, std::size_t v) {
    b.push_back(static_cast<std::uint8_t>(v >> 8));
    b.push_back(static_cast<std::uint8_t>(v));
}

std::uint16_t Big16(std::span<const std::uint8_t> b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] << 8 | b[at + 1]);
}

}  // namespace

std::vector<std::uint8_t> UpperPduHeader(std::string_view protocol) {
    std::vector<std::uint8_t> b;
    const std::size_t padded = (protocol.size() + 3) & ~std::size_t{3};
    PutBig16(b, kPduTagProtocolName);
    PutBig16(b, padded);
    b.insert(b.end(), protocol.begin(), protocol.end());
    b.resize(4 + padded, 0);
    PutBig16(b, kPduTagEnd);
    PutBig16(b, 0);
    return b;
}

std::optional<UpperPdu> ParseUpperPdu(std::span<const std::uint8_t> packet) {
    std::optional<std::string> protocol;
    for (std::size_t at = 0; at + 4 <= packet.size();) {
        const std::uint16_t tag = Big16(packet, at), length = Big16(packet, at + 2);
        at += 4;
        if (tag == kPduTagEnd) {
            if (!protocol) return std::nullopt;
            return UpperPdu{*protocol, packet.subspan(at)};
        }
        if (length > packet.size() - at) return std::nullopt;
        if (tag == kPduTagProtocolName) {
            const auto value = packet.subspan(at, length);
            std::string name(value.begin(), value.end());
            name.erase(name.find_last_not_of('\0') + 1);  // the padding
            protocol = name;
        }
        at += length;
    }
    return std::nullopt;
}

}  // namespace pcapfile
