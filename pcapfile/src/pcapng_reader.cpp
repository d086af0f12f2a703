// pcapng's blocks: type, total length, body, the total length again. A
// section header sets the byte order and starts a new list of interfaces;
// interface descriptions give each packet its link type and time scale.
#include <functional>

#include "pcapfile/capture_format.h"
#include "reader_state.h"

namespace pcapfile {
namespace {

constexpr std::uint32_t Padded(std::uint32_t n) { return (n + 3) & ~3u; }

struct BlockKind {
    std::uint32_t type;
    const char* name;
    std::uint32_t minimum;  // total length of the block with no data and no options
};

constexpr BlockKind kKinds[] = {
    {kInterfaceDescription, "interface description block", 20},
    {kObsoletePacket, "packet block", 32},
    {kSimplePacket, "simple packet block", 16},
    {kEnhancedPacket, "enhanced packet block", 32},
    {kSectionHeader, "section header block", 28},
};

BlockKind KindOf(std::uint32_t type) {
    for (const BlockKind& k : kKinds)
        if (k.type == type) return k;
    return {type, "block", 12};
}

// Each option of a block as (code, value); false with `what` set when one runs past the block.
bool ForEachOption(std::span<const std::uint8_t> options, ByteOrder order, std::size_t& bad, std::string& what,
                   const std::function<void(std::uint16_t, std::span<const std::uint8_t>)>& take) {
    for (std::size_t at = 0; at + 4 <= options.size();) {
        const std::uint16_t code = order.U16(&options[at]), length = order.U16(&options[at + 2]);
        if (code == kOptEnd) return true;
        if (Padded(length) > options.size() - at - 4) {
            bad = at;
            what = "option " + std::to_string(code) + " of " + std::to_string(length) + " bytes runs past its block";
            return false;
        }
        take(code, options.subspan(at + 4, length));
        at += 4 + Padded(length);
    }
    return true;
}

// Nanoseconds of a time in the interface's units.
std::int64_t TimeNs(std::uint64_t ts, const Interface& i) {
    const unsigned n = i.tsresol & 0x7F;
    __int128 ns;
    if (i.tsresol & 0x80) {
        ns = (static_cast<__int128>(ts) * 1'000'000'000) >> n;
    } else {
        __int128 scale = 1;
        for (unsigned k = 0; k < (n > 9 ? n - 9 : 9 - n); ++k) scale *= 10;
        ns = n > 9 ? ts / scale : ts * scale;
    }
    return static_cast<std::int64_t>(ns) + i.tsoffset * 1'000'000'000;
}

}  // namespace

bool CaptureReader::Impl::NextPcapng(Packet& p) {
    for (;;) {
        const std::uint64_t at = offset;
        std::uint8_t head[12];
        std::size_t got = Take(head, 8);
        if (got == 0) {
            if (std::string why = source->Failure(); !why.empty()) return Fail(at, "cannot read: " + why);
            format = Format::Over;
            return false;
        }
        if (got < 8 && !TakeAll(head + got, 8 - got, at, "the block", 8)) return false;
        const bool sectionHeader = ByteOrder{}.U32(head) == kSectionHeader;
        std::size_t headBytes = 8;
        if (sectionHeader) {
            if (!TakeAll(head + 8, 4, at, "the section header block", 12)) return false;
            const std::uint32_t magic = ByteOrder{}.U32(head + 8);
            if (magic != kByteOrderMagic && ByteOrder{true}.U32(head + 8) != kByteOrderMagic)
                return Fail(at + 8, "the section header's byte-order magic is not 1A2B3C4D in either order");
            order.big = magic != kByteOrderMagic;
            headBytes = 12;
        }
        const std::uint32_t type = order.U32(head), length = order.U32(head + 4);
        const BlockKind kind = KindOf(type);
        if (length % 4 != 0 || length < kind.minimum || length > kMaxBlockBytes)
            return Fail(at + 4, "the " + std::string(kind.name) + " gives its length as " + std::to_string(length) +
                                    (length > kMaxBlockBytes ? " bytes, more than this reader takes (4 MiB)"
                                     : length % 4 != 0
                                         ? " bytes, not a multiple of 4"
                                         : " bytes, less than its fields take (" + std::to_string(kind.minimum) + ")"));
        block.resize(length - headBytes);
        if (!TakeAll(block.data(), block.size(), at, ("the " + std::string(kind.name)).c_str(), length)) return false;
        if (order.U32(&block[block.size() - 4]) != length)
            return Fail(at + length - 4, "the " + std::string(kind.name) + " that begins at byte " +
                                             std::to_string(at) + " ends with the length " +
                                             std::to_string(order.U32(&block[block.size() - 4])) + ", not " +
                                             std::to_string(length));
        const std::span<const std::uint8_t> body(block.data(), block.size() - 4);
        switch (type) {
        case kSectionHeader:
            if (!Section(at + headBytes, body)) return false;
            break;
        case kInterfaceDescription:
            if (!Describe(at + headBytes, body)) return false;
            break;
        case kEnhancedPacket:
        case kObsoletePacket:
        case kSimplePacket: return PacketOf(type, at, length, body, p);
        default: break;  // statistics, name resolution, secrets, custom blocks: not ours to read
        }
    }
}

bool CaptureReader::Impl::Section(std::uint64_t at, std::span<const std::uint8_t> body) {
    const std::uint16_t major = order.U16(&body[0]), minor = order.U16(&body[2]);
    if (major != 1)
        return Fail(
            at, "pcapng version " + std::to_string(major) + "." + std::to_string(minor) + " is not read (only 1.x)");
    if (sawSection) ++section;
    sawSection = true;
    interfaces.clear();
    std::size_t bad = 0;
    std::string what;
    if (!ForEachOption(body.subspan(12), order, bad, what, [](auto, auto) {})) return Fail(at + 12 + bad, what);
    return true;
}

bool CaptureReader::Impl::Describe(std::uint64_t at, std::span<const std::uint8_t> body) {
    Interface i;
    i.linkType = order.U16(&body[0]);
    i.snapLength = order.U32(&body[4]);
    std::size_t bad = 0;
    std::string what;
    const bool ok = ForEachOption(body.subspan(8), order, bad, what, [&](std::uint16_t code, auto value) {
        if (code == kIfTsresol && value.size() >= 1) i.tsresol = value[0];
        if (code == kIfTsoffset && value.size() == 8) i.tsoffset = static_cast<std::int64_t>(order.U64(value.data()));
    });
    if (!ok) return Fail(at + 8 + bad, what);
    const unsigned n = i.tsresol & 0x7F;
    if ((i.tsresol & 0x80) ? n > 63 : n > 18)
        return Fail(at, "interface " + std::to_string(interfaces.size()) + " has a time resolution (if_tsresol " +
                            std::to_string(i.tsresol) + ") finer than this reader takes");
    interfaces.push_back(i);
    return true;
}

bool CaptureReader::Impl::PacketOf(std::uint32_t type, std::uint64_t at, std::uint32_t length,
                                   std::span<const std::uint8_t> body, Packet& p) {
    const std::uint64_t bodyAt = at + 8;
    p = Packet{};
    p.offset = at;
    p.section = section;
    std::uint32_t captured = 0, dataAt = 0;
    std::uint64_t ts = 0;
    if (type == kSimplePacket) {
        p.originalLength = order.U32(&body[0]);
        dataAt = 4;
        captured = p.originalLength;
        if (!interfaces.empty() && interfaces[0].snapLength != 0 && interfaces[0].snapLength < captured)
            captured = interfaces[0].snapLength;
    } else {
        p.interface = type == kEnhancedPacket ? order.U32(&body[0]) : order.U16(&body[0]);
        ts = std::uint64_t{order.U32(&body[4])} << 32 | order.U32(&body[8]);
        captured = order.U32(&body[12]);
        p.originalLength = order.U32(&body[16]);
        dataAt = 20;
    }
    if (p.interface >= interfaces.size())
        return Fail(at, "the packet names interface " + std::to_string(p.interface) + ", but its section describes " +
                            std::to_string(interfaces.size()));
    if (captured > body.size() - dataAt)
        return Fail(bodyAt + (type == kSimplePacket ? 0 : 12), "the packet's " + std::to_string(captured) +
                                                                   " captured bytes do not fit in its block of " +
                                                                   std::to_string(length) + " bytes");
    const Interface& i = interfaces[p.interface];
    p.linkType = i.linkType;
    if (type != kSimplePacket) p.timeNs = TimeNs(ts, i);
    if (p.originalLength < captured) p.originalLength = captured;
    p.data = body.subspan(dataAt, captured);
    if (type == kSimplePacket) return true;
    std::size_t bad = 0;
    std::string what;
    const std::size_t optionsAt = std::min<std::size_t>(body.size(), dataAt + Padded(captured));
    const bool ok = ForEachOption(body.subspan(optionsAt), order, bad, what, [&](std::uint16_t code, auto value) {
        if (code == kEpbFlags && value.size() == 4) p.flags = order.U32(value.data());
    });
    if (!ok) return Fail(bodyAt + optionsAt + bad, what);
    return true;
}

}  // namespace pcapfile
