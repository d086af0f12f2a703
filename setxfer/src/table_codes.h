// The two code lists of the table text: "00".."ff", and the character form where
// control codes have two-letter names, printable ASCII stands for itself and the
// blank, the double quote and the backslash are double-byte Shift_JIS characters.
#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace setxfer {

inline constexpr std::array<char, 512> kHexTexts = [] {
    std::array<char, 512> t{};
    constexpr char kDigits[] = "0123456789abcdef";
    for (int v = 0; v < 256; ++v) {
        t[2 * v] = kDigits[v >> 4];
        t[2 * v + 1] = kDigits[v & 15];
    }
    return t;
}();

inline constexpr std::array<std::string_view, 32> kControlNames = {
    "NU", "SH", "SX", "EX", "ET", "EQ", "AK", "BL", "BS", "HT", "LF", "VT", "FF", "CR", "S0", "SI",
    "DL", "D1", "D2", "D3", "D4", "NK", "SY", "EB", "CN", "EM", "SB", "EC", "FS", "GS", "RS", "US",
};

// 0x21..0x7E as themselves.
inline constexpr std::string_view kPrintable =
    "!\"#$%&'()*+,-./0123456789:;<=>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ[\\]^_`abcdefghijklmnopqrstuvwxyz{|}~";
static_assert(kPrintable.size() == 0x7E - 0x20);

inline constexpr std::array<std::string_view, 256> kCharacterCodes = [] {
    std::array<std::string_view, 256> t{};
    for (int v = 0; v < 256; ++v) {
        if (v < 0x20) t[v] = kControlNames[v];
        else if (v == 0x20) t[v] = "\x83\xA2";  // Δ stands for the blank
        else if (v > 0x20 && v < 0x7F) t[v] = kPrintable.substr(v - 0x21, 1);
        else if (v == 0x7F) t[v] = "DT";
        else t[v] = std::string_view(kHexTexts.data() + 2 * v, 2);
    }
    t[0x22] = "\x81\x68";  // ”
    t[0x5C] = "\x81\x8F";  // ￥
    return t;
}();

inline constexpr bool codes_unique() {
    for (int a = 0; a < 256; ++a)
        for (int b = a + 1; b < 256; ++b)
            if (kCharacterCodes[a] == kCharacterCodes[b]) return false;
    return true;
}
static_assert(codes_unique());

inline std::string_view hex_code(std::uint8_t v) { return std::string_view(kHexTexts.data() + 2 * v, 2); }

}  // namespace setxfer
