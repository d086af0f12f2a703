// Printing and reading of the common item line, one case per value kind.
#include "items.h"

namespace setxfer {
namespace {

std::uint32_t get_number(std::span<const std::uint8_t> s, const Item& it) {
    if (it.bytes == 4) return get_u32(s, it.offset);
    if (it.bytes == 2) return get_u16(s, it.offset);
    return s[it.offset];
}

void set_number(std::span<std::uint8_t> s, const Item& it, std::uint32_t v) {
    if (it.bytes == 4) set_u32(s, it.offset, v);
    else if (it.bytes == 2) set_u16(s, it.offset, v);
    else s[it.offset] = static_cast<std::uint8_t>(v);
}

void write_optional(std::string& out, std::span<const std::uint8_t> s, const Item& it) {
    bool set = it.kind == ValueKind::OptHexBlank ? s[it.offset] != 0 : s[it.offset] == 1;
    char digits[2];
    std::string_view value = it.kind == ValueKind::OptHexBlank ? " " : "*";
    if (set) {
        digits[0] = "0123456789abcdef"[s[it.offset2] >> 4];
        digits[1] = "0123456789abcdef"[s[it.offset2] & 15];
        value = std::string_view(digits, 2);
    }
    append_padded(out, value, it.pad);
}

// Both outcomes count: two digits set the flag, anything else clears it. A blank
// value let the reader take the start of the next label; hand that back to it.
int read_optional(TokenReader& in, std::span<std::uint8_t> s, const Item& it) {
    std::string_view t = in.token(2);
    if (auto v = hex_byte(t)) {
        s[it.offset] = 1;
        s[it.offset2] = *v;
    } else {
        s[it.offset] = 0;
        if (!t.empty()) in.carry(t);
    }
    return 1;
}

}  // namespace

void write_item(std::string& out, std::span<const std::uint8_t> s, const Item& it) {
    out += it.label;
    std::string value;
    switch (it.kind) {
    case ValueKind::Name: append_padded(out, name_at(it.names, s[it.offset]), it.pad); break;
    case ValueKind::Hex:
        append_hex(value, s[it.offset]);
        append_padded(out, value, it.pad);
        break;
    case ValueKind::HexPair:
        append_hex(out, s[it.offset]);
        out += ' ';
        append_hex(out, s[it.offset2]);
        break;
    case ValueKind::OptHexBlank:
    case ValueKind::OptHexStar: write_optional(out, s, it); break;
    case ValueKind::Number: append_number(out, get_number(s, it), it.pad); break;
    }
    out += it.suffix;
    out += "\r\n";
}

void write_items(std::string& out, std::span<const std::uint8_t> s, std::span<const Item> items) {
    for (const Item& it : items) write_item(out, s, it);
}

namespace {

int read_value(TokenReader& in, std::span<std::uint8_t> s, const Item& it) {
    switch (it.kind) {
    case ValueKind::Name:
        if (auto i = find_name(it.names, in.token(it.read_width))) {
            s[it.offset] = *i;
            return 1;
        }
        return 0;
    case ValueKind::Hex:
        if (auto v = hex_byte(in.token(2))) {
            s[it.offset] = *v;
            return 1;
        }
        return 0;
    case ValueKind::HexPair: {
        int n = 0;
        for (std::uint16_t off : {it.offset, it.offset2})
            if (auto v = hex_byte(in.token(2))) {
                s[off] = *v;
                ++n;
            }
        return n;
    }
    case ValueKind::OptHexBlank:
    case ValueKind::OptHexStar: return read_optional(in, s, it);
    case ValueKind::Number:
        if (auto v = in.number(it.read_width)) {
            set_number(s, it, *v);  // stored as read, counted only inside the range
            return *v >= it.min && *v <= it.max ? 1 : 0;
        }
        return 0;
    }
    return 0;
}

}  // namespace

int read_item(TokenReader& in, std::span<std::uint8_t> s, const Item& it) {
    in.skip(it.label);
    const std::size_t at = in.position();
    const int n = read_value(in, s, it);
    // Each value counts once (a pair twice); fewer is a value that did not read.
    if (n < (it.kind == ValueKind::HexPair ? 2 : 1)) in.note_unread(at);
    return n;
}

int read_items(TokenReader& in, std::span<std::uint8_t> s, std::span<const Item> items) {
    int n = 0;
    for (const Item& it : items) n += read_item(in, s, it);
    return n;
}

}  // namespace setxfer
