// What a capture reader keeps between packets: the source, the bytes of the
// block being read, the format and byte order found at the start, and (for
// pcapng) the interfaces of the current section. Private to the reader.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "pcapfile/capture_reader.h"

namespace pcapfile {

struct ByteOrder {
    bool big = false;
    std::uint16_t U16(const std::uint8_t* p) const {
        return static_cast<std::uint16_t>(big ? p[0] << 8 | p[1] : p[1] << 8 | p[0]);
    }
    std::uint32_t U32(const std::uint8_t* p) const {
        const std::uint32_t hi = U16(p), lo = U16(p + 2);
        return big ? hi << 16 | lo : lo << 16 | hi;
    }
    std::uint64_t U64(const std::uint8_t* p) const {
        const std::uint64_t a = U32(p), b = U32(p + 4);
        return big ? a << 32 | b : b << 32 | a;
    }
};

struct Interface {
    std::uint32_t linkType = 0;
    std::uint32_t snapLength = 0;  // 0: no limit
    std::uint8_t tsresol = 6;      // bit 7 clear: 10^-n seconds; set: 2^-n
    std::int64_t tsoffset = 0;     // seconds added to every time
};

enum class Format { Start, Pcap, Pcapng, Over };

struct CaptureReader::Impl {
    std::unique_ptr<Source> source;
    std::string name;
    std::string error;
    Format format = Format::Start;
    bool pcapng = false;
    ByteOrder order;
    std::uint64_t offset = 0;  // bytes taken from the source
    std::uint8_t pushed[4]{};  // the magic, given back to the format's reader
    std::size_t pushedCount = 0;
    std::vector<std::uint8_t> block;

    // classic pcap
    std::uint32_t pcapLinkType = 0;
    bool nanoseconds = false;

    // pcapng
    std::vector<Interface> interfaces;
    std::uint32_t section = 0;
    bool sawSection = false;

    bool Next(Packet& p);
    bool Begin();
    bool NextPcap(Packet& p);
    bool NextPcapng(Packet& p);
    bool Section(std::uint64_t at, std::span<const std::uint8_t> body);
    bool Describe(std::uint64_t at, std::span<const std::uint8_t> body);
    bool PacketOf(std::uint32_t type, std::uint64_t at, std::uint32_t length, std::span<const std::uint8_t> body,
                  Packet& p);

    // Reads up to n bytes (the pushed-back ones first); how many came.
    std::size_t Take(std::uint8_t* into, std::size_t n);
    // Reads exactly n bytes for the unit (block, record) that began at `at`;
    // false with the error set when the file ends or fails first.
    bool TakeAll(std::uint8_t* into, std::size_t n, std::uint64_t at, const char* unit, std::uint64_t announced);
    bool Fail(std::uint64_t at, const std::string& what);
};

}  // namespace pcapfile
