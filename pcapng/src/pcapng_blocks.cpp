// Encodes the pcapng blocks: a body of fields and options, framed by the
// block type and the total length written before and after it.
#include "pcapng_blocks.h"

#include <algorithm>
#include <cstring>

namespace pcapng {
namespace {

using namespace pcapfile;

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
    Put16(body, 1);  // version 1.0
    Put16(body, 0);
    Put32(body, 0xFFFFFFFF);  // section length not given
    Put32(body, 0xFFFFFFFF);
    PutText(body, kShbUserAppl, application);
    if (!application.empty()) EndOptions(body);
    return Frame(kSectionHeader, body);
}

Bytes InterfaceBlock(std::uint16_t linkType, std::string_view name, std::string_view description) {
    Bytes body;
    Put16(body, linkType);
    Put16(body, 0);
    Put32(body, 0);  // snapshot length: no limit
    PutText(body, kIfName, name);
    PutText(body, kIfDescription, description);
    if (!name.empty() || !description.empty()) EndOptions(body);
    return Frame(kInterfaceDescription, body);
}

// Written straight into the buffer, sized first: an export writes one per frame.
void EnhancedPacketBlock(const Packet& p, Bytes& b) {
    std::string_view comment = p.comment;
    if (comment.size() > 0xFFF0) comment = comment.substr(0, 0xFFF0);  // as PutText cuts it
    auto padded = [](std::size_t n) { return (n + 3) & ~std::size_t{3}; };
    const bool options = !comment.empty() || p.flags.has_value();
    const std::size_t total = 28 + padded(p.data.size()) + (comment.empty() ? 0 : 4 + padded(comment.size())) +
                              (p.flags ? 8 : 0) + (options ? 4 : 0) + 4;
    b.assign(total, 0);  // the padding stays zero
    std::uint8_t* o = b.data();
    auto u16 = [&o](std::uint16_t v) {
        *o++ = static_cast<std::uint8_t>(v);
        *o++ = static_cast<std::uint8_t>(v >> 8);
    };
    auto u32 = [&u16](std::uint32_t v) {
        u16(static_cast<std::uint16_t>(v));
        u16(static_cast<std::uint16_t>(v >> 16));
    };
    u32(kEnhancedPacket);
    u32(static_cast<std::uint32_t>(total));
    u32(p.interfaceId);
    u32(static_cast<std::uint32_t>(p.timeUs >> 32));
    u32(static_cast<std::uint32_t>(p.timeUs));
    u32(static_cast<std::uint32_t>(p.data.size()));
    u32(std::max(p.originalLength, static_cast<std::uint32_t>(p.data.size())));
    if (!p.data.empty()) std::memcpy(o, p.data.data(), p.data.size());
    o += padded(p.data.size());
    if (!comment.empty()) {
        u16(kOptComment);
        u16(static_cast<std::uint16_t>(comment.size()));
        std::memcpy(o, comment.data(), comment.size());
        o += padded(comment.size());
    }
    if (p.flags) {
        u16(kEpbFlags);
        u16(4);
        u32(*p.flags);
    }
    if (options) u32(0);  // end of options: code 0, length 0
    u32(static_cast<std::uint32_t>(total));
}

}  // namespace pcapng
