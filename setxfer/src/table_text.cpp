// Writing and reading the sixteen tables. Each "TB" header closes the table before it,
// "EN" closes table F; tables come in order 0 to F, each exactly once.
#include "table_text.h"

#include <algorithm>
#include <array>

#include "messages.h"
#include "names.h"
#include "table_codes.h"

namespace setxfer {
namespace {

constexpr std::size_t kPerLine = 30;
constexpr std::string_view kHexDigitsUpper = "0123456789ABCDEF";

// Offsets as far as they make sense: never past the cells the body holds, never
// going backwards. Only their low 16 bits count.
std::array<std::size_t, 17> usable_offsets(std::span<const std::uint8_t> table) {
    std::array<std::size_t, 17> off{};
    std::size_t room = std::min<std::size_t>(TableMaxCells, (table.size() - TableHeadSize) / 2), prev = 0;
    for (std::size_t k = 0; k < off.size(); ++k) {
        std::size_t v = std::clamp<std::size_t>(get_u16(table, 4 * k), prev, room);
        off[k] = prev = v;
    }
    return off;
}

std::string_view code_text(std::uint8_t v, TableForm form) {
    return form == TableForm::Character ? kCharacterCodes[v] : hex_code(v);
}

std::optional<std::uint8_t> parse_code(std::string_view t, TableForm form) {
    if (form == TableForm::Hex) return hex_byte(t);
    return find_name(kCharacterCodes, t);
}

Failure table_failure(std::string_view message) {
    return Failure{FailureKind::TableData, message, text::kCaptionError, false};
}

// "TBL.No:" (or its rest after "TB"), the number character, "(count)"; the number
// must be the expected table's.
bool read_header(TokenReader& in, std::size_t k) {
    in.skip("TBL.No:");
    bool ok = in.token(1) == kHexDigitsUpper.substr(k, 1);
    in.skip("(");
    in.digits();
    in.skip(")");
    return ok;
}

}  // namespace

void write_tables(std::string& out, std::span<const std::uint8_t> table, TableForm form) {
    auto off = usable_offsets(table);
    for (std::size_t k = 0; k < 16; ++k) {
        std::size_t n = off[k + 1] - off[k];
        out += "TBL.No:";
        out += kHexDigitsUpper[k];
        out += '(';
        out += std::to_string(n);
        out += ")\r\n";
        for (std::size_t i = 0; i < n; ++i) {
            append_padded(out, code_text(table[TableHeadSize + 2 * (off[k] + i)], form), 2);
            if ((i + 1) % kPerLine == 0) out += "\r\n";
        }
        if (n % kPerLine != 0) out += k == 15 ? "EN\r\n" : "\r\n";
        else if (k == 15) out += "EN\r\n";
    }
}

std::optional<Failure> read_tables(TokenReader& in, std::span<std::uint8_t> table, TableForm form) {
    if (!read_header(in, 0)) return table_failure(text::kTableData);
    set_u16(table, 0, 0);
    std::size_t k = 0, count = 0;
    for (;;) {
        std::string_view t = in.token(2);
        if (t == "TB" || t == "EN") {
            set_u16(table, 4 * (k + 1), static_cast<std::uint32_t>(count));
            if (t == "EN" && k == 15) break;
            if (t == "EN" || k == 15) return table_failure(text::kTableData);
            in.carry(t);
            if (!read_header(in, ++k)) return table_failure(text::kTableData);
            continue;
        }
        auto v = parse_code(t, form);  // also refuses "P:", the program marker, and the end of the file
        if (!v) return table_failure(text::kTableData);
        if (count == TableMaxCells) return table_failure(text::kTableCount);
        set_u16(table, TableHeadSize + 2 * count++, *v);
    }
    std::fill(table.begin() + static_cast<std::ptrdiff_t>(TableHeadSize + 2 * count), table.begin() + TableCapacity, 0);
    return std::nullopt;
}

}  // namespace setxfer
