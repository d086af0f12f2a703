// CRC-16/X-25 of the packet frames: reflected polynomial 0x8408, preset
// 0xFFFF; the complement of the register goes on the line low byte first, and
// a frame checked together with its CRC bytes leaves the register at 0xF0B8.
#pragma once
#include <array>
#include <cstdint>
#include <span>

namespace commlib {

inline constexpr std::uint16_t Crc16Preset = 0xFFFF;
inline constexpr std::uint16_t Crc16Residue = 0xF0B8;

namespace detail {
constexpr std::array<std::uint16_t, 256> MakeCrc16Table() {
    std::array<std::uint16_t, 256> table{};
    for (unsigned i = 0; i < 256; ++i) {
        unsigned reg = i;
        for (int bit = 0; bit < 8; ++bit) reg = (reg & 1) ? (reg >> 1) ^ 0x8408 : reg >> 1;
        table[i] = static_cast<std::uint16_t>(reg);
    }
    return table;
}
}  // namespace detail

inline constexpr std::array<std::uint16_t, 256> Crc16Table = detail::MakeCrc16Table();
static_assert(Crc16Table[1] == 0x1189 && Crc16Table[128] == 0x8408 && Crc16Table[255] == 0x0F78);

constexpr std::uint16_t Crc16x25Step(std::uint16_t reg, std::uint8_t b) {
    return static_cast<std::uint16_t>((reg >> 8) ^ Crc16Table[(reg ^ b) & 0xFF]);
}

// Runs the register over the bytes and returns it (not complemented).
std::uint16_t Crc16x25(std::uint16_t reg, std::span<const std::uint8_t> bytes);

}  // namespace commlib
