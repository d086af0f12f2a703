// Key words: the key names, the plain-ASCII words for the four arrows (typed
// without the arrow characters), and codes by number.
#include "commands/key_names.h"

#include <cstdlib>
#include <iterator>
#include <utility>

namespace cli {
namespace {

constexpr std::pair<std::string_view, int> kArrowWords[] = {
    {"LEFT", KeyLeft},
    {"RIGHT", KeyRight},
    {"UP", KeyUp},
    {"DOWN", KeyDown},
};

std::string upper(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    return s;
}

std::optional<int> plain_code(const std::string& word) {
    if (word.empty()) return std::nullopt;
    for (std::size_t i = 0; i < KeyNames.size(); ++i)
        if (word == KeyNames[i]) return static_cast<int>(i);
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

std::optional<int> key_code(const std::string& word) {
    const std::string w = upper(word);
    if (w.rfind("SHIFT+", 0) == 0) {
        const auto base = plain_code(w.substr(6));
        if (!base || *base >= KeyShifted) return std::nullopt;
        return *base + KeyShifted;
    }
    return plain_code(w);
}

}  // namespace cli
