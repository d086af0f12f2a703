// CRC-16/X-25 over a byte run. Long runs go eight bytes at a time through
// eight derived tables ("slicing"), which keeps the receive path far ahead of
// any serial line; the result is the same as one table step per byte.
#include "link/crc16.h"

#include <cstring>

namespace commlib {
namespace {

using SliceTables = std::array<std::array<std::uint16_t, 256>, 8>;

constexpr SliceTables MakeSliceTables() {
    SliceTables t{};
    t[0] = Crc16Table;
    for (int k = 1; k < 8; ++k)
        for (unsigned i = 0; i < 256; ++i)
            t[k][i] = static_cast<std::uint16_t>((t[k - 1][i] >> 8) ^ Crc16Table[t[k - 1][i] & 0xFF]);
    return t;
}

constexpr SliceTables Slices = MakeSliceTables();

// Eight steps at once: the register meets the first two bytes, and each byte
// takes the table that advances it past the bytes after it.
constexpr std::uint16_t Step8(std::uint16_t reg, const std::uint8_t* p) {
    const std::uint8_t b0 = static_cast<std::uint8_t>(p[0] ^ (reg & 0xFF));
    const std::uint8_t b1 = static_cast<std::uint8_t>(p[1] ^ (reg >> 8));
    return static_cast<std::uint16_t>(Slices[7][b0] ^ Slices[6][b1] ^ Slices[5][p[2]] ^ Slices[4][p[3]] ^
                                      Slices[3][p[4]] ^ Slices[2][p[5]] ^ Slices[1][p[6]] ^ Slices[0][p[7]]);
}

constexpr std::uint16_t ByteWise(std::uint16_t reg, const std::uint8_t* p, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) reg = Crc16x25Step(reg, p[i]);
    return reg;
}

constexpr bool SlicingMatchesByteWise() {
    std::uint8_t data[24] = {};
    for (int i = 0; i < 24; ++i) data[i] = static_cast<std::uint8_t>(i * 37 + 11);
    std::uint16_t sliced = Crc16Preset;
    for (int i = 0; i < 24; i += 8) sliced = Step8(sliced, data + i);
    return sliced == ByteWise(Crc16Preset, data, 24);
}
static_assert(SlicingMatchesByteWise());

}  // namespace

std::uint16_t Crc16x25(std::uint16_t reg, std::span<const std::uint8_t> bytes) {
    const std::uint8_t* p = bytes.data();
    std::size_t n = bytes.size();
    for (; n >= 8; n -= 8, p += 8) reg = Step8(reg, p);
    return ByteWise(reg, p, n);
}

}  // namespace commlib
