// The panel's keys by button id and the PC keyboard map, one row per key.
#include "frontpad/key_table.h"

#include <QtCore/qnamespace.h>

#include <algorithm>
#include <utility>

namespace frontpad {

namespace {

// Qt key number -> key code, sorted by key number for the search.
// clang-format off
constexpr std::pair<int, int> kPcKeys[] = {
    {Qt::Key_0, 0}, {Qt::Key_1, 1}, {Qt::Key_2, 2}, {Qt::Key_3, 3}, {Qt::Key_4, 4},
    {Qt::Key_5, 5}, {Qt::Key_6, 6}, {Qt::Key_7, 7}, {Qt::Key_8, 8}, {Qt::Key_9, 9},
    {Qt::Key_A, 10}, {Qt::Key_B, 11}, {Qt::Key_C, 12}, {Qt::Key_D, 13}, {Qt::Key_E, 14},
    {Qt::Key_F, 15},
    {Qt::Key_G, KeyData},
    {Qt::Key_H, KeyHex},
    {Qt::Key_K, KeyFind},
    {Qt::Key_L, KeyLoadSave},
    {Qt::Key_M, KeyMenu},
    {Qt::Key_P, KeyPrint},
    {Qt::Key_R, KeyRun},
    {Qt::Key_S, KeyStop},
    {Qt::Key_T, KeyTime},
    {Qt::Key_Y, KeyDisplay},
    {Qt::Key_Return, KeyEnter},
    {Qt::Key_Enter, KeyEnter},      // the numeric pad's Enter
    {Qt::Key_Insert, KeyBottom},
    {Qt::Key_Delete, KeyTop},
    {Qt::Key_Left, KeyLeft},
    {Qt::Key_Up, KeyUp},
    {Qt::Key_Right, KeyRight},
    {Qt::Key_Down, KeyDown},
    {Qt::Key_PageUp, KeyPageUp},
    {Qt::Key_PageDown, KeyPageDown},
};
// clang-format on

constexpr bool sortedUnique() {
    for (std::size_t i = 1; i < std::size(kPcKeys); ++i)
        if (kPcKeys[i - 1].first >= kPcKeys[i].first) return false;
    return true;
}
static_assert(sortedUnique(), "the PC key map is searched: keep it sorted by key number");

}  // namespace

const KeyButton* keyById(int id) {
    for (const auto& key : kKeyButtons)
        if (key.id == id) return &key;
    return nullptr;
}

std::optional<int> pcKeyCode(int qtKey) {
    const auto* end = std::end(kPcKeys);
    const auto* it =
        std::lower_bound(std::begin(kPcKeys), end, qtKey, [](const auto& row, int key) { return row.first < key; });
    if (it == end || it->first != qtKey) return std::nullopt;
    return it->second;
}

}  // namespace frontpad
