// The hot loop of a capture: the units of one data item into record words.
// Line traffic mixes one-way and two-way units at random, so the inner loop
// picks the word with masks from a table instead of branching on the kind.
#include "capture/record_units.h"

namespace commlib::capture {
namespace {

// Per first byte: which of the three candidate words is the unit's, and its size.
struct UnitKind {
    std::uint32_t whole;  // mask for the 4-byte unit as it came
    std::uint32_t sd;     // mask for the SD-only expansion
    std::uint32_t rd;     // mask for the RD-only expansion
    std::uint32_t size;
};

static_assert(sizeof(unsigned) == 4);
constexpr std::array<UnitKind, 256> UnitKinds = [] {
    std::array<UnitKind, 256> kinds{};
    for (unsigned b0 = 0; b0 < 256; ++b0) {
        const unsigned markers = b0 & MarkerBits;
        kinds[b0] = markers == SdOnly   ? UnitKind{0, ~0u, 0, 2}
                    : markers == RdOnly ? UnitKind{0, 0, ~0u, 2}
                                        : UnitKind{~0u, 0, 0, 4};
    }
    return kinds;
}();
static_assert(UnitKinds[0x11].size == 2 && UnitKinds[0x23].size == 2 && UnitKinds[0x33].size == 4);

inline std::uint32_t LoadWord(const std::uint8_t* p) {
    if constexpr (std::endian::native == std::endian::little) {
        std::uint32_t word;
        std::memcpy(&word, p, sizeof word);
        return word;
    } else {
        return p[0] | p[1] << 8 | std::uint32_t{p[2]} << 16 | std::uint32_t{p[3]} << 24;
    }
}

}  // namespace

Expanded ExpandUnits(std::span<const std::uint8_t> in, std::uint8_t* out, std::size_t maxWords) {
    const std::uint8_t* p = in.data();
    std::size_t left = in.size();
    std::size_t units = 0;
    if (out) {
        // While 4 bytes remain every unit can be read as a word; the table
        // says how much of it is the unit.
        for (; units < maxWords && left >= 4; ++units) {
            const std::uint32_t raw = LoadWord(p);
            const std::uint32_t b0 = raw & 0xFF, b1 = raw >> 8 & 0xFF;
            const UnitKind& kind = UnitKinds[b0];
            const std::uint32_t sd = (b0 | MarkerBits) | b1 << 8 | std::uint32_t{RdOnly | NoCharStatus} << 16;
            const std::uint32_t rd = (0xBF + (b0 & 0x40)) | (b0 & 0x3F) << 16 | b1 << 24;
            PutWord(out + units * pcbuffer::kRecordBytes, (raw & kind.whole) | (sd & kind.sd) | (rd & kind.rd));
            p += kind.size;
            left -= kind.size;
        }
    }
    for (; units < maxWords && left >= 2; ++units) {
        const std::size_t size = UnitSize(p[0]);
        if (size > left) break;
        if (out) PutWord(out + units * pcbuffer::kRecordBytes, UnitWord(p));
        p += size;
        left -= size;
    }
    return {in.size() - left, units};
}

}  // namespace commlib::capture
