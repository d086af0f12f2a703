// MULTI POLLING (RV-7020 and RV-7030): the slave form (address, response time, table)
// and the master form (times, polling message, response map, 32 station addresses).
#include <array>
#include <cstdio>

#include "items.h"
#include "messages.h"
#include "sections.h"

namespace setxfer {
namespace {

constexpr std::array<std::string_view, 2> kModes = {"SLAVE", "MASTER"};
constexpr std::array<std::string_view, 30> kSlaveTables = {
    "0", "1",   "2",   "3",   "4",    "5",   "6",    "7",    "8",   "9",   "A",   "B",    "C",    "D",   "E",
    "F", "ENQ", "ACK", "NAK", "WACK", "EOT", "ACK0", "ACK1", "RVI", "TTD", "FOX", "MSG1", "MSG2", "DC1", "DC3",
};
constexpr std::array<std::string_view, 17> kMapCodes = {"0", "1", "2", "3", "4", "5", "6", "7", "8",
                                                        "9", "A", "B", "C", "D", "E", "F", "*"};
static_assert(all_unique(kSlaveTables) && all_unique(kMapCodes));

constexpr Item kModeItem = name_item("MODE    :", 456, kModes);
constexpr std::size_t kSlaveCount = 457, kSlaveAddress = 458;
constexpr Item kSlaveResponse = number_item("RESPONSE:", 466, 2, 0, 9999);
constexpr Item kSlaveTable = name_item("TABLE No:", 468, kSlaveTables);
constexpr std::array kMasterTimes = {
    number_item("RESPONSE:", 470, 2, 0, 9999),
    number_item("TIMEOUT :", 472, 2, 0, 9999),
    number_item("REPEAT  :", 474, 2, 0, 9999),
};
constexpr std::size_t kMessage = 476, kMessageCells = 15;
constexpr std::size_t kMap = 506, kMapBytes = 16;  // 7 pairs, then ERR and TMO
constexpr std::size_t kStationCounts = 522, kStationAddresses = 554, kStations = 32, kAddressBytes = 8;

void write_slave(std::string& out, ConstSetup s) {
    out += "ADDRESS :";
    std::string address;
    for (std::size_t i = 0; i < s[kSlaveCount] && i < kAddressBytes; ++i) append_hex(address, s[kSlaveAddress + i]);
    append_padded(out, address, 8);
    out += "\r\n";
    write_item(out, s, kSlaveResponse);
    write_item(out, s, kSlaveTable);
}

void write_map(std::string& out, ConstSetup s) {
    out += "RESPONSE MAP:";
    char cell[32];
    for (std::size_t p = 0; p < 7; ++p) {
        if (p == 3 || p == 6) out += "\r\n             ";
        else if (p > 0) out += ' ';
        std::snprintf(cell, sizeof cell, "[%3s-%-2s]", name_at(kMapCodes, s[kMap + 2 * p]).data(),
                      name_at(kMapCodes, s[kMap + 2 * p + 1]).data());
        out += cell;
    }
    std::snprintf(cell, sizeof cell, " [ERR-%-2s] [TMO-%-2s]\r\n", name_at(kMapCodes, s[kMap + 14]).data(),
                  name_at(kMapCodes, s[kMap + 15]).data());
    out += cell;
}

void write_master(std::string& out, ConstSetup s) {
    write_items(out, s, kMasterTimes);
    out += "POLLING MSG :[ ";
    for (std::size_t i = 0; i < kMessageCells; ++i) {
        std::uint8_t flag = s[kMessage + 2 * i], value = s[kMessage + 2 * i + 1];
        if (flag != 0) append_hex(out, value);
        else out += value == 0 ? '*' : ' ';
    }
    out += " ]\r\n";
    write_map(out, s);
    out += "STATION ADDRESS\r\n";
    for (std::size_t n = 0; n < kStations; ++n) {
        char head[8];
        std::snprintf(head, sizeof head, "%02zu[", n + 1);
        out += head;
        for (std::size_t i = 0; i < s[kStationCounts + n] && i < kAddressBytes; ++i)
            append_hex(out, s[kStationAddresses + kAddressBytes * n + i]);
        out += "]\r\n";
    }
    out += "end\r\n";
}

// Address bytes run up to the start of the RESPONSE label; each one counts.
int read_slave(TokenReader& in, Setup s) {
    in.skip("ADDRESS :");
    int n = 0;
    std::size_t stored = 0;
    for (std::string_view t = in.token(2); !t.empty(); t = in.token(2)) {
        if (t == "RE") {
            in.carry(t);
            break;
        }
        if (auto v = hex_byte(t)) {
            ++n;
            if (stored < kAddressBytes) s[kSlaveAddress + stored++] = *v;
        }
    }
    s[kSlaveCount] = static_cast<std::uint8_t>(stored);
    n += read_item(in, s, kSlaveResponse);
    n += read_item(in, s, kSlaveTable);
    return n;
}

// The message runs up to the "R" that starts the next label.
void read_message(TokenReader& in, Setup s) {
    in.skip("POLLING MSG :[");
    std::size_t i = 0;
    auto put = [&](std::uint8_t flag, std::uint8_t value) {
        if (i < kMessageCells) {
            s[kMessage + 2 * i] = flag;
            s[kMessage + 2 * i + 1] = value;
        }
        ++i;
    };
    for (int c = in.next_char(); c >= 0 && c != 'R'; c = in.next_char()) {
        if (c == '*') put(0, 0);
        else if (lower_hex_digit(c) >= 0 && lower_hex_digit(in.peek_raw()) >= 0)
            put(0xFF, static_cast<std::uint8_t>(lower_hex_digit(c) * 16 + lower_hex_digit(in.raw_char())));
    }
    for (; i < kMessageCells; ++i) {
        s[kMessage + 2 * i] = 0;
        s[kMessage + 2 * i + 1] = 0xFF;
    }
    in.carry("R");
}

void read_code(TokenReader& in, Setup s, std::size_t index) {
    int c = in.next_char();
    if (c < 0) return;
    char code[1] = {static_cast<char>(c)};
    if (auto v = find_name(kMapCodes, std::string_view(code, 1))) s[kMap + index] = *v;
}

void read_map(TokenReader& in, Setup s) {
    in.skip("RESPONSE MAP:");
    for (std::size_t p = 0; p < 7; ++p) {
        in.next_char();  // [
        read_code(in, s, 2 * p);
        in.next_char();  // -
        read_code(in, s, 2 * p + 1);
        in.next_char();  // ]
    }
    for (std::size_t i = 14; i < kMapBytes; ++i) {
        for (int k = 0; k < 5; ++k) in.next_char();  // "[ERR-" or "[TMO-"
        read_code(in, s, i);
        in.next_char();  // ]
    }
}

// Stations 01 to 32 in order, each at most eight bytes; anything else is refused.
bool read_stations(TokenReader& in, Setup s) {
    in.skip("STATION ADDRESS");
    bool ok = true;
    for (std::size_t n = 0; n < kStations; ++n) {
        char expect[4];
        std::snprintf(expect, sizeof expect, "%02zu", n + 1);
        ok = in.token_until(2, '[') == expect && ok;
        if (in.peek_char() == '[') in.next_char();
        std::size_t count = 0;
        while (in.peek_char() >= 0 && in.peek_char() != ']') {
            std::string_view t = in.token_until(2, ']');
            if (t.empty()) break;
            if (auto v = hex_byte(t)) {
                if (count < kAddressBytes) s[kStationAddresses + kAddressBytes * n + count] = *v;
                ++count;
            }
        }
        ok = in.next_char() == ']' && count <= kAddressBytes && ok;
        s[kStationCounts + n] = static_cast<std::uint8_t>(count < kAddressBytes ? count : kAddressBytes);
    }
    in.skip("end");
    return ok;
}

}  // namespace

void write_multi_polling(std::string& out, ConstSetup s, Model) {
    out += "< MULTI POLLING >\r\nMODE    :";
    append_padded(out, s[456] == 0 ? "SLAVE" : "MASTER", 6);
    out += "\r\n";
    if (s[456] == 0) write_slave(out, s);
    else write_master(out, s);
}

SectionResult read_multi_polling(TokenReader& in, Setup s, Model) {
    in.skip("< MULTI POLLING >");
    int mode = read_item(in, s, kModeItem);
    if (s[456] == 0) return mode + read_slave(in, s) == 4 ? SectionResult{} : text::kPolling;
    int times = read_items(in, s, kMasterTimes);
    read_message(in, s);
    read_map(in, s);
    bool stations = read_stations(in, s);
    return mode == 1 && times == 3 && stations ? SectionResult{} : text::kPolling2;
}

}  // namespace setxfer
