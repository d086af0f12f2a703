// Capture files written by hand for the tests: classic pcap records and
// pcapng blocks in either byte order, each field where the format puts it.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "pcapfile/capture_format.h"

namespace pcapfile_test {

using Bytes = std::vector<std::uint8_t>;

struct Put {
    bool big = false;
    Bytes out;
    Put& U8(unsigned v) {
        out.push_back(static_cast<std::uint8_t>(v));
        return *this;
    }
    Put& U16(unsigned v) { return big ? U8(v >> 8).U8(v) : U8(v).U8(v >> 8); }
    Put& U32(std::uint32_t v) { return big ? U16(v >> 16).U16(v & 0xFFFF) : U16(v & 0xFFFF).U16(v >> 16); }
    Put& Raw(const Bytes& b) {
        out.insert(out.end(), b.begin(), b.end());
        return *this;
    }
    Put& Pad() {
        while (out.size() % 4 != 0) out.push_back(0);
        return *this;
    }
};

inline Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// Classic pcap: the file header, then records of (seconds, fraction, data, original length).
struct Record {
    std::uint32_t seconds = 0, fraction = 0;
    Bytes data;
    std::uint32_t original = 0;  // 0: as captured
};

inline Bytes PcapFile(bool big, bool nanoseconds, std::uint32_t linkType, const std::vector<Record>& records) {
    Put p{big, {}};
    p.U32(nanoseconds ? pcapfile::kPcapMagicNanoseconds : pcapfile::kPcapMagicMicroseconds).U16(2).U16(4);
    p.U32(0).U32(0).U32(65535).U32(linkType);
    for (const Record& r : records) {
        p.U32(r.seconds).U32(r.fraction).U32(static_cast<std::uint32_t>(r.data.size()));
        p.U32(r.original != 0 ? r.original : static_cast<std::uint32_t>(r.data.size())).Raw(r.data);
    }
    return p.out;
}

// A pcapng block: type, total length, body padded to 4, total length.
inline Bytes Block(bool big, std::uint32_t type, Bytes body) {
    while (body.size() % 4 != 0) body.push_back(0);
    const auto total = static_cast<std::uint32_t>(body.size() + 12);
    return Put{big, {}}.U32(type).U32(total).Raw(body).U32(total).out;
}

inline Bytes SectionHeader(bool big) {
    return Block(big, pcapfile::kSectionHeader,
                 Put{big, {}}.U32(pcapfile::kByteOrderMagic).U16(1).U16(0).U32(0xFFFFFFFF).U32(0xFFFFFFFF).out);
}

// An interface; `tsresol` adds the if_tsresol option.
inline Bytes Interface(bool big, std::uint16_t linkType, std::uint32_t snapLength = 0,
                       std::optional<std::uint8_t> tsresol = std::nullopt) {
    Put p{big, {}};
    p.U16(linkType).U16(0).U32(snapLength);
    if (tsresol) p.U16(pcapfile::kIfTsresol).U16(1).U8(*tsresol).Pad().U16(0).U16(0);
    return Block(big, pcapfile::kInterfaceDescription, p.out);
}

// An enhanced packet block (`type` kObsoletePacket writes the old packet block instead).
inline Bytes PacketBlock(bool big, std::uint32_t iface, std::uint64_t ts, const Bytes& data,
                         std::optional<std::uint32_t> flags = std::nullopt, std::uint32_t original = 0,
                         std::uint32_t type = pcapfile::kEnhancedPacket) {
    Put p{big, {}};
    if (type == pcapfile::kObsoletePacket) p.U16(iface).U16(0);
    else p.U32(iface);
    p.U32(static_cast<std::uint32_t>(ts >> 32)).U32(static_cast<std::uint32_t>(ts));
    p.U32(static_cast<std::uint32_t>(data.size()));
    p.U32(original != 0 ? original : static_cast<std::uint32_t>(data.size())).Raw(data).Pad();
    if (flags) p.U16(pcapfile::kEpbFlags).U16(4).U32(*flags).U16(0).U16(0);
    return Block(big, type, p.out);
}

inline Bytes SimplePacket(bool big, const Bytes& data, std::uint32_t original = 0) {
    return Block(big, pcapfile::kSimplePacket,
                 Put{big, {}}.U32(original != 0 ? original : static_cast<std::uint32_t>(data.size())).Raw(data).out);
}

}  // namespace pcapfile_test
