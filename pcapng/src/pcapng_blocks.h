// The pcapng blocks we write, as byte strings: the section header, one
// interface description per link type and enhanced packet blocks. Pure
// encoding, little endian throughout, no files.
#pragma once
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "pcapfile/capture_format.h"

namespace pcapng {

using Bytes = std::vector<std::uint8_t>;

// epb_flags: direction in bits 0-1, link-layer errors in bits 24-31.
using pcapfile::kFlagCrcError;
using pcapfile::kFlagInbound;
using pcapfile::kFlagOutbound;
using pcapfile::kFlagSymbolError;
using pcapfile::kFlagTooShort;

Bytes SectionHeaderBlock(std::string_view application);
// Time stamps in microseconds (the default resolution), no snapshot limit.
Bytes InterfaceBlock(std::uint16_t linkType, std::string_view name, std::string_view description);

struct Packet {
    std::uint32_t interfaceId = 0;
    std::uint64_t timeUs = 0;
    std::span<const std::uint8_t> data;
    std::uint32_t originalLength = 0;    // the frame's length when it is longer than `data`
    std::optional<std::uint32_t> flags;  // none writes no epb_flags option
    std::string comment;                 // empty writes no opt_comment
};
// The block into `out` (its old contents replaced; an export reuses one buffer).
void EnhancedPacketBlock(const Packet& packet, Bytes& out);

}  // namespace pcapng
