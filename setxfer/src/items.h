// The common item line of the setting sections: an eight-character label, a colon
// and a value. A section is a table of items, printed and read in table order; the
// reader counts the values it recognised, and the section compares that count.
#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "names.h"
#include "token_reader.h"

namespace setxfer {

enum class ValueKind : std::uint8_t {
    Name,         // index into the item's list
    Hex,          // one byte as two lower-case digits, padded to six
    HexPair,      // two bytes "0d 0a", each counted
    OptHexBlank,  // flag byte non-zero: value byte in two digits; otherwise a blank
    OptHexStar,   // flag byte 1: value byte in two digits; otherwise "*"
    Number,       // unsigned little-endian number of 1, 2 or 4 bytes, counted inside its range
};

struct Item {
    std::string_view label;  // printed label with its colon, e.g. "S-SPEED :"
    ValueKind kind;
    std::uint16_t offset;       // the byte (the flag byte of an optional hex item)
    std::uint16_t offset2 = 0;  // second byte of a pair, value byte of an optional item
    NameList names = {};
    std::uint8_t bytes = 1;  // width of a number in the setup body
    std::uint32_t min = 0;
    std::uint32_t max = 0;
    std::uint8_t pad = 6;          // printed width of the value
    std::uint8_t read_width = 6;   // widest value token the reader takes
    std::string_view suffix = {};  // printed after the value, before the line end
};

constexpr Item name_item(std::string_view label, std::uint16_t off, NameList names, std::uint8_t pad = 6) {
    return Item{.label = label, .kind = ValueKind::Name, .offset = off, .names = names, .pad = pad};
}
constexpr Item hex_item(std::string_view label, std::uint16_t off) {
    return Item{.label = label, .kind = ValueKind::Hex, .offset = off};
}
constexpr Item hex_pair(std::string_view label, std::uint16_t a, std::uint16_t b) {
    return Item{.label = label, .kind = ValueKind::HexPair, .offset = a, .offset2 = b};
}
constexpr Item opt_hex(std::string_view label, ValueKind kind, std::uint16_t flag, std::uint16_t value) {
    return Item{.label = label, .kind = kind, .offset = flag, .offset2 = value};
}
constexpr Item number_item(std::string_view label, std::uint16_t off, std::uint8_t bytes, std::uint32_t min,
                           std::uint32_t max, std::uint8_t pad = 6) {
    return Item{.label = label,
                .kind = ValueKind::Number,
                .offset = off,
                .bytes = bytes,
                .min = min,
                .max = max,
                .pad = pad,
                .read_width = pad};
}

// How many matches a fully recognised item list gives.
constexpr int value_count(std::span<const Item> items) {
    int n = 0;
    for (const Item& it : items) n += it.kind == ValueKind::HexPair ? 2 : 1;
    return n;
}

void write_item(std::string& out, std::span<const std::uint8_t> setup, const Item& item);
void write_items(std::string& out, std::span<const std::uint8_t> setup, std::span<const Item> items);

// Reads one item, stores what it recognised and returns the matches it counted.
int read_item(TokenReader& in, std::span<std::uint8_t> setup, const Item& item);
int read_items(TokenReader& in, std::span<std::uint8_t> setup, std::span<const Item> items);

}  // namespace setxfer
