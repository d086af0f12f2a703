// The 36 keys of the panel (button id, place, caption, key code) and their
// placement in the window and on the face sheet. Key codes and their names
// are the analyzer's (commlib/analyzer_words.h).
//
// Errors: none (lookups answer null or nullopt).
// Threads: any; constant tables.
#pragma once
#include <array>
#include <optional>
#include <string_view>

#include "commlib/analyzer_words.h"

namespace frontpad {

inline constexpr int kShiftCode = -1;  // the SHIFT key sends nothing itself

struct KeyButton {
    int id;                    // 40006..40041
    int row;                   // 0..3, top to bottom
    int column;                // 0..8, left to right
    std::string_view caption;  // second function first; "&" marks the digit
    int code;                  // key code, or kShiftCode
};

inline constexpr int kKeyRows = 4;
inline constexpr int kKeyColumns = 9;
inline constexpr int kKeyWidth = 48;
inline constexpr int kKeyHeight = 32;

// One row per key in face order (face index = row * 9 + column), as printed
// on the analyzer.
inline constexpr std::array<KeyButton, 36> kKeyButtons = {{
    {40018, 0, 0, "(DC1)/\nC", 12},
    {40019, 0, 1, "(DC3)/\nD", 13},
    {40020, 0, 2, "(RS)/\nE", 14},
    {40021, 0, 3, "(ER)/\nF", 15},
    {40034, 0, 4, "MENU", KeyMenu},
    {40035, 0, 5, "DISPLAY\nMODE", KeyDisplay},
    {40036, 0, 6, "TIME/\nCOUNT", KeyTime},
    {40037, 0, 7, "STOP", KeyStop},
    {40041, 0, 8, "RUN", KeyRun},
    {40014, 1, 0, "(TTD)/\n&8", 8},
    {40015, 1, 1, "(FOX)/\n&9", 9},
    {40016, 1, 2, "(MSG1)/\nA", 10},
    {40017, 1, 3, "(MSG2)/\nB", 11},
    {40030, 1, 4, "TOP/\nDEL", KeyTop},
    {40031, 1, 5, "DATA\nCODE", KeyData},
    {40032, 1, 6, "\xE2\x86\x91", KeyUp},  // ↑
    {40033, 1, 7, "PAGE\nUP", KeyPageUp},
    {40040, 1, 8, "LOAD/\nSAVE", KeyLoadSave},
    {40010, 2, 0, "(EOT)/\n&4", 4},
    {40011, 2, 1, "(ACK0)/\n&5", 5},
    {40012, 2, 2, "(ACK1)/\n&6", 6},
    {40013, 2, 3, "(RVI)/\n&7", 7},
    {40026, 2, 4, "BOTTOM\n/X", KeyBottom},
    {40027, 2, 5, "\xE2\x86\x90", KeyLeft},  // ←
    {40028, 2, 6, "ENTER/\nNEXT", KeyEnter},
    {40029, 2, 7, "\xE2\x86\x92", KeyRight},  // →
    {40039, 2, 8, "FIND", KeyFind},
    {40006, 3, 0, "(ENQ)/\n&0", 0},
    {40007, 3, 1, "(ACK)/\n&1", 1},
    {40008, 3, 2, "(NAK)/\n&2", 2},
    {40009, 3, 3, "(WACK)/\n&3", 3},
    {40022, 3, 4, "SHIFT", kShiftCode},
    {40023, 3, 5, "HEX\nCODE", KeyHex},
    {40024, 3, 6, "\xE2\x86\x93", KeyDown},  // ↓
    {40025, 3, 7, "PAGE\nDOWN", KeyPageDown},
    {40038, 3, 8, "PRINT", KeyPrint},
}};

namespace detail {
constexpr bool inFaceOrderWithUniqueIds() {
    for (std::size_t i = 0; i < kKeyButtons.size(); ++i) {
        if (kKeyButtons[i].row * kKeyColumns + kKeyButtons[i].column != static_cast<int>(i)) return false;
        for (std::size_t j = 0; j < i; ++j)
            if (kKeyButtons[j].id == kKeyButtons[i].id) return false;
        if (kKeyButtons[i].id < 40006 || kKeyButtons[i].id > 40041) return false;
    }
    return true;
}
static_assert(inFaceOrderWithUniqueIds(), "keys in face order, one row per button id");
}  // namespace detail

inline constexpr int faceIndex(const KeyButton& key) { return key.row * kKeyColumns + key.column; }
// Where a key sits in the window.
inline constexpr int keyX(int column) { return (column < 4 ? 20 : 58) + 64 * column; }
inline constexpr int keyY(int row) { return 190 + 48 * row; }
// The top-left of a face on the 432 x 256 sheet; pressed faces lie 128 rows lower.
inline constexpr int faceX(int face) { return (face % kKeyColumns) * kKeyWidth; }
inline constexpr int faceY(int face, bool pressed) { return (face / kKeyColumns) * kKeyHeight + (pressed ? 128 : 0); }

// The key by button id; null for other ids.
const KeyButton* keyById(int id);

// The PC keyboard: a Qt key number to a key code, nullopt for keys not mapped.
std::optional<int> pcKeyCode(int qtKey);

}  // namespace frontpad
