// The analyzer's wire formats; see wire.h.
#include "line/wire.h"

namespace simulator {

// Bit by bit, least significant bit first (the reflected polynomial 0x8408).
std::uint16_t crc16_x25(std::span<const std::uint8_t> bytes) {
    std::uint16_t reg = 0xFFFF;
    for (std::uint8_t b : bytes) {
        for (int bit = 0; bit < 8; ++bit) {
            const bool feedback = ((reg ^ (b >> bit)) & 1) != 0;
            reg = static_cast<std::uint16_t>(reg >> 1);
            if (feedback) reg ^= 0x8408;
        }
    }
    return static_cast<std::uint16_t>(~reg);
}

std::vector<std::uint8_t> binary_block(std::span<const std::uint8_t> data) {
    const auto n = static_cast<std::uint16_t>(data.size());
    std::vector<std::uint8_t> block{'&', static_cast<std::uint8_t>(n & 0xFF), static_cast<std::uint8_t>(n >> 8)};
    unsigned sum = block[1] + block[2];
    for (std::uint8_t b : data) {
        block.push_back(b);
        sum += b;
    }
    block.push_back(static_cast<std::uint8_t>(-sum & 0xFF));
    return block;
}

}  // namespace simulator
