// Key names: one row per key code 0..34, then the plain-ASCII words for the
// four arrows so they can be typed without the arrow characters.
#include "commands/key_names.h"

#include <cstdlib>
#include <iterator>
#include <utility>

namespace cli {
namespace {

constexpr std::string_view kKeyNames[] = {
    "0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "A", "B", "C", "D", "E", "F",
    "\xE2\x86\x90",   // 16 ←
    "\xE2\x86\x92",   // 17 →
    "\xE2\x86\x91",   // 18 ↑
    "\xE2\x86\x93",   // 19 ↓
    "ENTER", "PAGEUP", "PAGEDOWN", "MENU", "DISPLAY", "TIME", "HEX", "DATA", "TOP", "BOTTOM",
    "LOADSAVE", "FIND", "PRINT", "RUN", "STOP",
};
static_assert(std::size(kKeyNames) == 35);

constexpr std::pair<std::string_view, int> kArrowWords[] = {
    {"LEFT", 16}, {"RIGHT", 17}, {"UP", 18}, {"DOWN", 19},
};

std::string upper(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    return s;
}

std::optional<int> plain_code(const std::string& word) {
    if (word.empty()) return std::nullopt;
    for (std::size_t i = 0; i < std::size(kKeyNames); ++i)
        if (word == kKeyNames[i]) return static_cast<int>(i);
    for (const auto& [name, code] : kArrowWords)
        if (word == name) return code;
    // Any other code by number: decimal, or hexadecimal after 0x.
    const bool hex = word.size() > 2 && word[0] == '0' && word[1] == 'X';
    const std::string digits = hex ? word.substr(2) : word;
    if (digits.empty() || digits.find_first_not_of(hex ? "0123456789ABCDEF" : "0123456789") != std::string::npos)
        return std::nullopt;
    const long v = std::strtol(digits.c_str(), nullptr, hex ? 16 : 10);
    if (digits.size() > 5 || v > 0xFFFF) return std::nullopt;
    return static_cast<int>(v);
}

}  // namespace

std::string_view key_name(int code) {
    return code >= 0 && code < static_cast<int>(std::size(kKeyNames)) ? kKeyNames[code] : std::string_view{};
}

std::optional<int> key_code(const std::string& word) {
    const std::string w = upper(word);
    if (w.rfind("SHIFT+", 0) == 0) {
        const auto base = plain_code(w.substr(6));
        if (!base || *base >= kShiftOffset) return std::nullopt;
        return *base + kShiftOffset;
    }
    return plain_code(w);
}

}  // namespace cli
