// The three ways bytes go out on the line: raw, the "&" binary block that the
// engine builds for text-mode uploads, and the SYN frame with DLE stuffing and
// CRC-16/X-25 that carries every packet. Pure functions, no port.
#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "link/link_message.h"

namespace commlib {

inline constexpr std::uint8_t SYN = 0x16;
inline constexpr std::uint8_t DLE = 0x10;
inline constexpr std::uint8_t XON = 0x11;
inline constexpr std::uint8_t XOFF = 0x13;
inline constexpr std::uint8_t CR = 0x0D;
inline constexpr std::uint8_t LF = 0x0A;

// Bytes that never go bare inside a SYN frame.
constexpr bool NeedsStuffing(std::uint8_t b) { return b == DLE || b == XON || b == XOFF || b == SYN; }

// Longest data part of a binary block; longer input is cut.
inline constexpr std::size_t BinaryBlockMaxData = 2048;

// Writes "&", the 16-bit length, the data (cut at 2048 bytes) and the check
// byte into out; returns the bytes written, or 0 when out is too small.
std::size_t FrameBinaryBlock(std::span<const std::uint8_t> data, std::span<std::uint8_t> out);
// The same as a raw-framed heap message, ready for the writer.
std::unique_ptr<LinkMessage> MakeBinaryBlock(std::span<const std::uint8_t> data);

// Writes SYN, the stuffed data, the stuffed CRC (low byte first) and SYN into
// out; returns the bytes written, or 0 when the frame does not fit.
std::size_t FrameSyn(std::span<const std::uint8_t> data, std::span<std::uint8_t> out);
// The whole SYN frame as a vector (never cut; for the simulator and tests).
std::vector<std::uint8_t> SynFrame(std::span<const std::uint8_t> data);

}  // namespace commlib
