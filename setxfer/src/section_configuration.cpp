// CONFIGURATION: the line mode and the items of the mode's own block (ASYNC, SYNC,
// HDLC, NRZI, PPP). Each mode keeps its block, so switching the mode in the file
// leaves the other modes' stored values alone.
#include <array>

#include "common_lists.h"
#include "items.h"
#include "messages.h"
#include "sections.h"

namespace setxfer {
namespace {

constexpr std::array<std::string_view, 37> kSpeed = {
    "50",    "75",    "100",   "110",   "134.5", "150",   "200",    "300",   "600",   "1200",
    "1800",  "2000",  "2400",  "3200",  "3600",  "4800",  "7200",   "8000",  "9600",  "12000",
    "12800", "14400", "16000", "16800", "19200", "28800", "32000",  "38400", "46000", "48000",
    "50000", "56000", "57600", "64000", "72000", "76800", "115200",
};
constexpr std::array<std::string_view, 10> kCode = {"ASCII", "EBCDIC", "EBCDIK", "JIS7",  "JIS8",
                                                    "HEX",   "EBCD",   "Transc", "IPARS", "Baudot"};
constexpr std::array<std::string_view, 4> kCharBits = {"5", "6", "7", "8"};
constexpr std::array<std::string_view, 5> kParity = {"NONE", "ODD", "EVEN", "MARK", "SPACE"};
constexpr std::array<std::string_view, 3> kStopBits = {"1", "1.5", "2"};
constexpr std::array<std::string_view, 7> kBlockCheck = {"NONE", "LRC_O", "LRC_E", "CRC16", "CRCIT", "CRC-6", "CRC12"};
constexpr std::array<std::string_view, 2> kBitOrder = {"LSB_F", "MSB_F"};
constexpr std::array<std::string_view, 2> kPolarity = {"NORMAL", "INVERS"};
constexpr std::array<std::string_view, 4> kClockSource = {"ST1", "ST2", "RT", "AR"};
constexpr std::array<std::string_view, 2> kClockMode = {"DTE", "DCE"};
constexpr std::array<std::string_view, 2> kFrameCheck = {"OFF", "ON-CR"};
constexpr std::array<std::string_view, 2> kIdleMode = {"MARK", "FLAG"};
static_assert(all_unique(kSpeed) && all_unique(kCode) && all_unique(kParity) && all_unique(kBlockCheck));

constexpr std::array kAsync = {
    name_item("S-SPEED :", 2, kSpeed),       name_item("R-SPEED :", 3, kSpeed),
    name_item("COOD    :", 4, kCode),        name_item("CHAR BIT:", 5, kCharBits),
    name_item("PARITY  :", 6, kParity),      name_item("STOP BIT:", 7, kStopBits),
    name_item("BCC     :", 17, kBlockCheck), hex_pair("BGN CHAR:", 19, 20),
    hex_pair("END CHAR:", 22, 23),           hex_item("ITB CHAR:", 25),
    name_item("TRANSPRT:", 26, kOnOff),      hex_item("DLE CHAR:", 27),
    name_item("SEQUENCE:", 28, kBitOrder),   name_item("POLARITY:", 29, kPolarity),
};

constexpr std::array kSync = {
    name_item("S-SPEED :", 30, kSpeed),
    name_item("R-SPEED :", 31, kSpeed),
    name_item("COOD    :", 32, kCode),
    name_item("CHAR BIT:", 33, kCharBits),
    name_item("PARITY  :", 34, kParity),
    name_item("CLOCK   :", 35, kClockSource),
    name_item("CLK MODE:", 36, kClockMode),
    hex_pair("SYNC CHR:", 38, 39),
    hex_item("RST CHAR:", 40),
    number_item("REPEAT  :", 41, 1, 1, 99),
    name_item("BCC     :", 45, kBlockCheck),
    hex_pair("BGN CHAR:", 47, 48),
    hex_pair("END CHAR:", 50, 51),
    hex_item("ITB CHAR:", 53),
    name_item("TRANSPRT:", 54, kOnOff),
    hex_item("DLE CHAR:", 55),
    opt_hex("SUPPRESS:", ValueKind::OptHexBlank, 42, 43),
    name_item("SEQUENCE:", 56, kBitOrder),
    name_item("POLARITY:", 57, kPolarity),
};

// HDLC at base 58; NRZI has the same lines 28 bytes higher.
constexpr std::array<Item, 11> bit_mode(std::uint16_t b) {
    return {
        name_item("S-SPEED :", b + 0, kSpeed),
        name_item("R-SPEED :", b + 1, kSpeed),
        name_item("COOD    :", b + 2, kCode),
        name_item("CHAR BIT:", b + 3, kCharBits),
        name_item("PARITY  :", b + 4, kParity),
        name_item("CLOCK   :", b + 5, kClockSource),
        name_item("CLK MODE:", b + 6, kClockMode),
        name_item("FCS     :", b + 15, kFrameCheck),
        opt_hex("S-ADDR  :", ValueKind::OptHexStar, b + 16, b + 17),
        opt_hex("R-ADDR  :", ValueKind::OptHexStar, b + 18, b + 19),
        name_item("IDLE MOD:", b + 20, kIdleMode),
    };
}
constexpr std::array kHdlc = bit_mode(58);
constexpr std::array kNrzi = bit_mode(86);

constexpr std::array kPpp = {
    name_item("S-SPEED :", 880, kSpeed),
    name_item("R-SPEED :", 881, kSpeed),
    name_item("COOD    :", 882, kCode),
    name_item("SUPPRESS:", 904, kOnOff),
};

struct Variant {
    std::string_view name;
    std::span<const Item> items;
    int count;
};
constexpr std::array<Variant, 5> kVariants = {{
    {"ASYNC", kAsync, 16},
    {"SYNC", kSync, 22},
    {"HDLC", kHdlc, 11},
    {"NRZI", kNrzi, 11},
    {"PPP", kPpp, 4},
}};
static_assert([] {
    for (const Variant& v : kVariants)
        if (value_count(v.items) != v.count) return false;
    return true;
}());

}  // namespace

void write_configuration(std::string& out, ConstSetup s, Model) {
    if (s[1] >= kVariants.size()) return;  // no mode to describe: the section is left out
    const Variant& v = kVariants[s[1]];
    out += "< CONFIGURATION >\r\nSYNCMODE:";
    out += v.name;
    out += "\r\n";
    write_items(out, s, v.items);
}

SectionResult read_configuration(TokenReader& in, Setup s, Model) {
    in.skip("< CONFIGURATION >");
    in.skip("SYNCMODE:");
    std::string_view mode = in.token(5);
    for (std::size_t i = 0; i < kVariants.size(); ++i) {
        if (kVariants[i].name != mode) continue;
        s[1] = static_cast<std::uint8_t>(i);
        if (read_items(in, s, kVariants[i].items) == kVariants[i].count) return std::nullopt;
        return text::kConfig;
    }
    // An unknown mode has no items to read; the file cannot line up after it.
    return text::kConfig;
}

}  // namespace setxfer
