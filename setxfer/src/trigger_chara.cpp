// Character cells: two hex digits for a character, "*" for any character, "W0"-"W2"
// for a character matched through a mask row, "Fg" for a flag and a blank beyond the
// end of the string. A row ends at its first token that is none of these.
#include "trigger_chara.h"

#include <array>
#include <cstdio>
#include <string_view>

#include "bit_row.h"
#include "names.h"

namespace setxfer {
namespace {

constexpr int kSdCells = 2;
constexpr int kRdCells = 18;
constexpr int kMaskRows = 34;
constexpr std::array<std::uint16_t, 8> kRowBits = {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01};

struct Cell {
    std::uint8_t flag, value;
};

std::string cell_text(Cell c) {
    std::string t;
    if (c.flag != 0) append_hex(t, c.value);
    else if (c.value == 0) t = "*";
    else if (c.value <= 3) t.append("W").append(std::to_string(c.value - 1));
    else if ((c.value & 0x0F) == 0) t = "Fg";
    else if (c.value != 0xFF) t = "?";  // no text for it; the row ends there on reading
    return t;
}

std::optional<Cell> parse_cell(std::string_view t) {
    if (auto v = hex_byte(t)) return Cell{0xFF, *v};
    if (t == "*") return Cell{0, 0};
    if (t == "W0" || t == "W1" || t == "W2") return Cell{0, static_cast<std::uint8_t>(t[1] - '0' + 1)};
    if (t == "Fg") return Cell{0, 0x10};
    return std::nullopt;
}

void write_cells(std::string& out, std::span<const std::uint8_t> blk, int at) {
    for (int i = 0; i < 8; ++i) append_padded(out, cell_text({blk[at + 2 * i], blk[at + 2 * i + 1]}), 3);
}

// The token that ends a short row is the start of the next label; it goes back to the reader.
void read_cells(TokenReader& in, std::span<std::uint8_t> blk, int at) {
    int i = 0;
    for (; i < 8; ++i) {
        std::string_view t = in.token(2);
        auto c = parse_cell(t);
        if (!c) {
            in.carry(t);
            break;
        }
        blk[at + 2 * i] = c->flag;
        blk[at + 2 * i + 1] = c->value;
    }
    for (; i < 8; ++i) {
        blk[at + 2 * i] = 0;
        blk[at + 2 * i + 1] = 0xFF;
    }
}

}  // namespace

void write_chara(std::string& out, std::span<const std::uint8_t> blk) {
    out += "CHAR  SD:";
    write_cells(out, blk, kSdCells);
    out += "\r\n      RD:";
    write_cells(out, blk, kRdCells);
    out += "\r\nMASK  ";
    for (int r = 0; r < 3; ++r) {
        BitRow row{blk[kMaskRows + 2 * r], blk[kMaskRows + 2 * r + 1]};
        out.append("W").append(std::to_string(r)).append(":");
        for (int i = 0; i < 8; ++i) {
            if (i > 0) out += ' ';
            append_padded(out, bit_cell(row, kRowBits[i]), 2);
        }
        out += r < 2 ? "\r\n      " : "\r\n";
    }
}

void read_chara(TokenReader& in, std::span<std::uint8_t> blk) {
    in.skip("CHAR  SD:");
    read_cells(in, blk, kSdCells);
    in.skip("RD:");
    read_cells(in, blk, kRdCells);
    in.skip("MASK");
    for (int r = 0; r < 3; ++r) {
        in.skip(r == 0 ? "W0:" : r == 1 ? "W1:" : "W2:");
        BitRow row = read_bit_row(in, kRowBits);
        blk[kMaskRows + 2 * r] = static_cast<std::uint8_t>(row.mask);
        blk[kMaskRows + 2 * r + 1] = static_cast<std::uint8_t>(row.level);
    }
}

}  // namespace setxfer
