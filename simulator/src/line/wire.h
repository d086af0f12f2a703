// The analyzer's own side of the wire formats: the SYN frame's special bytes
// and check, and the "&" binary block of text-mode transfers. Written here
// rather than taken from the PC library, so that a fault in one side's framing
// shows up in every end-to-end test instead of agreeing with itself.
#pragma once
#include <cstdint>
#include <span>
#include <vector>

namespace simulator {

inline constexpr std::uint8_t kSyn = 0x16;
inline constexpr std::uint8_t kDle = 0x10;
inline constexpr std::uint8_t kXon = 0x11;
inline constexpr std::uint8_t kXoff = 0x13;

// Bytes that go inside a SYN frame as DLE and the byte XOR 0x40.
constexpr bool needs_stuffing(std::uint8_t b) { return b == kSyn || b == kDle || b == kXon || b == kXoff; }

// CRC-16/X-25 as it goes on the line (the complemented register; low byte
// first): the SYN frames' check and the HDLC frame check sequence.
std::uint16_t crc16_x25(std::span<const std::uint8_t> bytes);

// "&", the 16-bit length (low byte first), the data and a check byte that
// makes length, data and check add up to 0 modulo 256.
std::vector<std::uint8_t> binary_block(std::span<const std::uint8_t> data);

}  // namespace simulator
