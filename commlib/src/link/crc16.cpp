// CRC-16/X-25 over a byte run, table-driven.
#include "link/crc16.h"

namespace commlib {

std::uint16_t crc16x25(std::uint16_t reg, std::span<const std::uint8_t> bytes) {
    for (std::uint8_t b : bytes) reg = crc16x25Step(reg, b);
    return reg;
}

} // namespace commlib
