// Little-endian reads and writes of the numbers inside the analyzer's data
// sets, packets and information items; the bytes are plain arrays, so no
// alignment is assumed.
//
// Errors: none; the caller checks that the bytes are there.
// Threads: any.
#pragma once
#include <cstdint>

namespace platform {

inline std::uint16_t readUint16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }

inline std::int16_t readInt16(const std::uint8_t* p) { return static_cast<std::int16_t>(readUint16(p)); }

inline std::int32_t readInt32(const std::uint8_t* p) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
                                     static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24);
}

inline void writeUint16(std::uint8_t* p, std::uint32_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

inline void writeUint32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

}  // namespace platform
