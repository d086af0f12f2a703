// Table input: the typed text replaces one table's cells, the tables after it move
// up or down, and their offsets follow. Nothing changes when the result would not fit.
#include "setxfer/table_input.h"

#include <array>
#include <cstring>

#include "messages.h"
#include "names.h"

namespace setxfer {
namespace {

// The seventeen offsets (low 16 bits), or nullopt when they run backwards or past the cells.
std::optional<std::array<std::size_t, 17>> offsets(std::span<const std::uint8_t> table) {
    if (table.size() < TableCapacity) return std::nullopt;
    std::array<std::size_t, 17> off{};
    for (std::size_t k = 0; k < off.size(); ++k) {
        off[k] = get_u16(table, 4 * k);
        if ((k > 0 && off[k] < off[k - 1]) || off[k] > TableMaxCells) return std::nullopt;
    }
    return off;
}

Failure refusal(std::string_view message) {
    return Failure{FailureKind::TableInput, message, text::kCaptionError, false};
}

}  // namespace

std::size_t table_free_cells(std::span<const std::uint8_t> table) {
    auto off = offsets(table);
    return off ? TableMaxCells - (*off)[16] : 0;
}

std::optional<Failure> put_table_text(std::span<std::uint8_t> table, int k, std::span<const std::uint8_t> text) {
    if (k < 0 || k > 15) return Failure{FailureKind::Argument, "no such table", text::kCaptionError, false};
    auto off = offsets(table);
    if (!off) return refusal(text::kTableCount);
    auto t = static_cast<std::size_t>(k);
    std::size_t old_len = (*off)[t + 1] - (*off)[t];
    std::size_t used = (*off)[16];
    if (text.size() > TableMaxCells || used - old_len + text.size() > TableMaxCells)
        return refusal(text::kTableTooLong);

    std::uint8_t* cells = table.data() + TableHeadSize;
    std::size_t new_end = (*off)[t] + text.size();
    // The later tables move as one block; memmove copies in the safe direction either way.
    std::memmove(cells + 2 * new_end, cells + 2 * (*off)[t + 1], 2 * (used - (*off)[t + 1]));
    for (std::size_t j = t + 1; j < off->size(); ++j)
        set_u16(table, 4 * j, static_cast<std::uint32_t>((*off)[j] - old_len + text.size()));
    for (std::size_t i = 0; i < text.size(); ++i) set_u16(table, TableHeadSize + 2 * ((*off)[t] + i), text[i]);
    return std::nullopt;
}

}  // namespace setxfer
