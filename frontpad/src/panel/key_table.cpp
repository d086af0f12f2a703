// The panel's keys as printed on the analyzer, the key-code names, and the
// PC keyboard map. One row per entry, in the order the panel shows them.
#include "frontpad/key_table.h"

#include <QtCore/qnamespace.h>

#include <algorithm>
#include <utility>

namespace frontpad {

namespace {

constexpr std::array<std::string_view, 35> kKeyNames = {
    "0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "A", "B", "C", "D", "E", "F",
    "\xE2\x86\x90",   // 16 ←
    "\xE2\x86\x92",   // 17 →
    "\xE2\x86\x91",   // 18 ↑
    "\xE2\x86\x93",   // 19 ↓
    "ENTER", "PAGEUP", "PAGEDOWN", "MENU", "DISPLAY", "TIME", "HEX", "DATA", "TOP", "BOTTOM",
    "LOADSAVE", "FIND", "PRINT", "RUN", "STOP",
};

// Qt key number -> key code, sorted by key number for the search.
constexpr std::pair<int, int> kPcKeys[] = {
    {Qt::Key_0, 0}, {Qt::Key_1, 1}, {Qt::Key_2, 2}, {Qt::Key_3, 3}, {Qt::Key_4, 4},
    {Qt::Key_5, 5}, {Qt::Key_6, 6}, {Qt::Key_7, 7}, {Qt::Key_8, 8}, {Qt::Key_9, 9},
    {Qt::Key_A, 10}, {Qt::Key_B, 11}, {Qt::Key_C, 12}, {Qt::Key_D, 13}, {Qt::Key_E, 14},
    {Qt::Key_F, 15},
    {Qt::Key_G, 27},
    {Qt::Key_H, 26},
    {Qt::Key_K, 31},
    {Qt::Key_L, 30},
    {Qt::Key_M, 23},
    {Qt::Key_P, 32},
    {Qt::Key_R, 33},
    {Qt::Key_S, 34},
    {Qt::Key_T, 25},
    {Qt::Key_Y, 24},
    {Qt::Key_Return, 20},
    {Qt::Key_Enter, 20},      // the numeric pad's Enter
    {Qt::Key_Insert, 29},
    {Qt::Key_Delete, 28},
    {Qt::Key_Left, 16},
    {Qt::Key_Up, 18},
    {Qt::Key_Right, 17},
    {Qt::Key_Down, 19},
    {Qt::Key_PageUp, 21},
    {Qt::Key_PageDown, 22},
};

constexpr bool sortedUnique() {
    for (std::size_t i = 1; i < std::size(kPcKeys); ++i)
        if (kPcKeys[i - 1].first >= kPcKeys[i].first) return false;
    return true;
}
static_assert(sortedUnique(), "the PC key map is searched: keep it sorted by key number");

} // namespace

const KeyButton* keyById(int id) {
    for (const auto& key : kKeyButtons)
        if (key.id == id) return &key;
    return nullptr;
}

std::string_view keyName(int code) {
    return code >= 0 && code < static_cast<int>(kKeyNames.size()) ? kKeyNames[code] : std::string_view{};
}

std::optional<int> pcKeyCode(int qtKey) {
    const auto* end = std::end(kPcKeys);
    const auto* it = std::lower_bound(std::begin(kPcKeys), end, qtKey,
                                      [](const auto& row, int key) { return row.first < key; });
    if (it == end || it->first != qtKey) return std::nullopt;
    return it->second;
}

} // namespace frontpad
