// Value lists of the settings file: a byte holds the index of its text in the item's
// list. Shared by every writer and reader, so both use the same index for a text.
#pragma once
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace setxfer {

using NameList = std::span<const std::string_view>;

// Printed for a byte that indexes past its list; no list holds it, so it never reads back.
inline constexpr std::string_view kUnknownName = "?";

template <std::size_t N>
constexpr bool all_unique(const std::array<std::string_view, N>& list) {
    for (std::size_t i = 0; i < N; ++i)
        for (std::size_t j = i + 1; j < N; ++j)
            if (list[i] == list[j]) return false;
    return true;
}

// Exact, case-sensitive comparison with every entry.
inline std::optional<std::uint8_t> find_name(NameList list, std::string_view token) {
    for (std::size_t i = 0; i < list.size(); ++i)
        if (list[i] == token) return static_cast<std::uint8_t>(i);
    return std::nullopt;
}

inline std::string_view name_at(NameList list, std::size_t index) {
    return index < list.size() ? list[index] : kUnknownName;
}

// Hexadecimal bytes: exactly two lower-case digits, the same as looking the token up
// in the 256 texts "00".."ff".
inline int lower_hex_digit(int c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

inline std::optional<std::uint8_t> hex_byte(std::string_view token) {
    if (token.size() != 2) return std::nullopt;
    int hi = lower_hex_digit(static_cast<unsigned char>(token[0]));
    int lo = lower_hex_digit(static_cast<unsigned char>(token[1]));
    if (hi < 0 || lo < 0) return std::nullopt;
    return static_cast<std::uint8_t>(hi * 16 + lo);
}

inline void append_hex(std::string& out, std::uint8_t v) {
    constexpr std::string_view kDigits = "0123456789abcdef";
    out += kDigits[v >> 4];
    out += kDigits[v & 15];
}

// Appends text left-aligned in a field of width characters ("%-6s").
inline void append_padded(std::string& out, std::string_view text, std::size_t width) {
    out += text;
    if (text.size() < width) out.append(width - text.size(), ' ');
}

inline void append_number(std::string& out, std::uint32_t v, std::size_t width) {
    append_padded(out, std::to_string(v), width);
}

// Little-endian fields of the data sets.
inline std::uint16_t get_u16(std::span<const std::uint8_t> b, std::size_t off) {
    return static_cast<std::uint16_t>(b[off] | (b[off + 1] << 8));
}
inline void set_u16(std::span<std::uint8_t> b, std::size_t off, std::uint32_t v) {
    b[off] = static_cast<std::uint8_t>(v);
    b[off + 1] = static_cast<std::uint8_t>(v >> 8);
}
inline std::uint32_t get_u32(std::span<const std::uint8_t> b, std::size_t off) {
    return static_cast<std::uint32_t>(get_u16(b, off)) | (static_cast<std::uint32_t>(get_u16(b, off + 2)) << 16);
}
inline void set_u32(std::span<std::uint8_t> b, std::size_t off, std::uint32_t v) {
    set_u16(b, off, v & 0xFFFF);
    set_u16(b, off + 2, v >> 16);
}

}  // namespace setxfer
