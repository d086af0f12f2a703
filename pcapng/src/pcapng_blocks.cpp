// Encodes the pcapng blocks: a body of fields and options, framed by the
// block type and the total length written before and after it.
#include "pcapng_blocks.h"

namespace pcapng {
namespace {

constexpr std::uint32_t kSectionHeader = 0x0A0D0D0A;
constexpr std::uint32_t kInterfaceDescription = 0x00000001;
constexpr std::uint32_t kEnhancedPacket = 0x00000006;
constexpr std::uint32_t kByteOrderMagic = 0x1A2B3C4D;

constexpr std::uint16_t kOptEnd = 0, kOptComment = 1;
constexpr std::uint16_t kShbUserAppl = 4;
constexpr std::uint16_t kIfName = 2, kIfDescription = 3;
constexpr std::uint16_t kEpbFlags = 2;

void Put16(Bytes& b, std::uint16_t v) {
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}
void Put32(Bytes& b, std::uint32_t v) {
    Put16(b, static_cast<std::uint16_t>(v));
    Put16(b, static_cast<std::uint16_t>(v >> 16));
}
void Pad(Bytes& b) {
    while (b.size() % 4 != 0) b.push_back(0);
}
void PutOption(Bytes& b, std::uint16_t code, std::span<const std::uint8_t> value) {
    Put16(b, code);
    Put16(b, static_cast<std::uint16_t>(value.size()));
    b.insert(b.end(), value.begin(), value.end());
    Pad(b);
}
void PutText(Bytes& b, std::uint16_t code, std::string_view text) {
    if (text.empty()) return;
    // An option's length is 16 bits; longer texts are cut at a 4-byte boundary.
    if (text.size() > 0xFFF0) text = text.substr(0, 0xFFF0);
    PutOption(b, code, {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
}
void EndOptions(Bytes& b) {
    Put16(b, kOptEnd);
    Put16(b, 0);
}

// Type, total length, body, total length again.
Bytes Frame(std::uint32_t type, const Bytes& body) {
    Bytes b;
    b.reserve(body.size() + 12);
    const auto total = static_cast<std::uint32_t>(body.size() + 12);
    Put32(b, type);
    Put32(b, total);
    b.insert(b.end(), body.begin(), body.end());
    Put32(b, total);
    return b;
}

}  // namespace

Bytes SectionHeaderBlock(std::string_view application) {
    Bytes body;
    Put32(body, kByteOrderMagic);
    Put16(body, 1);   // version 1.0
    Put16(body, 0);
    Put32(body, 0xFFFFFFFF);   // section length not given
    Put32(body, 0xFFFFFFFF);
    PutText(body, kShbUserAppl, application);
    if (!application.empty()) EndOptions(body);
    return Frame(kSectionHeader, body);
}

Bytes InterfaceBlock(std::uint16_t linkType, std::string_view name, std::string_view description) {
    Bytes body;
    Put16(body, linkType);
    Put16(body, 0);
    Put32(body, 0);   // snapshot length: no limit
    PutText(body, kIfName, name);
    PutText(body, kIfDescription, description);
    if (!name.empty() || !description.empty()) EndOptions(body);
    return Frame(kInterfaceDescription, body);
}

// Built in place: an export writes one per frame.
void EnhancedPacketBlock(const Packet& p, Bytes& b) {
    b.clear();
    b.reserve(44 + p.data.size() + p.comment.size());
    Put32(b, kEnhancedPacket);
    Put32(b, 0);   // total length, known at the end
    Put32(b, p.interfaceId);
    Put32(b, static_cast<std::uint32_t>(p.timeUs >> 32));
    Put32(b, static_cast<std::uint32_t>(p.timeUs));
    Put32(b, static_cast<std::uint32_t>(p.data.size()));
    Put32(b, static_cast<std::uint32_t>(p.data.size()));
    b.insert(b.end(), p.data.begin(), p.data.end());
    Pad(b);
    PutText(b, kOptComment, p.comment);
    if (p.flags != 0) {
        const std::uint8_t v[4] = {static_cast<std::uint8_t>(p.flags), static_cast<std::uint8_t>(p.flags >> 8),
                                   static_cast<std::uint8_t>(p.flags >> 16), static_cast<std::uint8_t>(p.flags >> 24)};
        PutOption(b, kEpbFlags, v);
    }
    if (!p.comment.empty() || p.flags != 0) EndOptions(b);
    const auto total = static_cast<std::uint32_t>(b.size() + 4);
    Put32(b, total);
    for (int i = 0; i < 4; ++i) b[4 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(total >> (8 * i));
}

}  // namespace pcapng
