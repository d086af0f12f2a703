// TRIGGER: four blocks of 58 bytes, each a factor with its settings and an action
// with its settings. The reader reports no errors: a value it does not recognise
// leaves its byte alone, and the lines that follow are those of the stored value.
#include <array>

#include "bit_row.h"
#include "common_lists.h"
#include "items.h"
#include "sections.h"
#include "trigger_chara.h"

namespace setxfer {
namespace {

constexpr std::size_t kFirstBlock = 114;
constexpr std::size_t kBlockSize = 58;

enum Factor : std::uint8_t { None, Error, Chara, Line, TimerCounter, External, Full };
constexpr std::array<std::string_view, 7> kFactors = {"NONE", "ERROR", "CHARA", "LINE", "TM/CT", "EXTER", "FULL"};
// The reader's action list ends with "(STOP)", the FULL factor's fixed action, stored as 0.
constexpr std::array<std::string_view, 7> kActionsRead = {"BZZER", "STOP", "SAVE", "TIMER", "COUNT", "SEND", "(STOP)"};
constexpr NameList kActions = NameList(kActionsRead).first(6);
static_assert(all_unique(kFactors) && all_unique(kActionsRead));

constexpr std::array<std::string_view, 2> kTimers = {"TM0", "TM1"};
constexpr std::array<std::string_view, 2> kEdges = {"RISIN", "FALLI"};
constexpr std::array<std::string_view, 4> kStopOffsets = {"QUICK", "BEFOR", "CENTE", "AFTER"};
constexpr std::array<std::string_view, 3> kTimerOps = {"START", "STOP", "RESTA"};
constexpr std::array<std::string_view, 2> kCounters = {"CT0", "CT1"};
constexpr std::array<std::string_view, 2> kCounterOps = {"INCRM", "CLEAR"};

// Offsets are within the block.
constexpr Item kFactorItem = name_item("FACTOR  :", 0, kFactors);
constexpr std::array kPoint = {name_item("POINT   :", 42, kTimers)};
constexpr std::array kEdge = {name_item("EDGE    :", 43, kEdges)};

constexpr std::array<std::string_view, 5> kErrorLabels = {
    "PARITY  :", "FRAMING :", "BCC     :", "BRK/ABOT:", "SHORT FR:"};
constexpr std::array<std::string_view, 4> kErrorLabels7010 = {"PARITY  :", "FRAMING :", "BCC     :", "BREAK   :"};

constexpr std::array kStop = {name_item("OFFSET  :", 45, kStopOffsets)};
constexpr std::array kSave = {number_item("OFFSET -:", 46, 2, 0, 65535), number_item("OFFSET +:", 48, 2, 0, 65535)};
constexpr std::array kTimer = {name_item("TM NO.  :", 50, kTimers), name_item("        :", 51, kTimerOps)};
constexpr std::array kCount = {name_item("CT NO.  :", 52, kCounters), name_item("        :", 53, kCounterOps)};
constexpr Item kResponse = [] {
    Item it = number_item("RESPONSE:", 56, 2, 0, 65535, 4);
    it.read_width = 6;
    it.suffix = "  ";
    return it;
}();
constexpr std::array kSend = {name_item("TABLE No:", 55, kTableNumbers), kResponse};
constexpr std::array<std::span<const Item>, 6> kActionLines = {
    std::span<const Item>{}, kStop, kSave, kTimer, kCount, kSend};

std::span<const std::string_view> error_labels(Model m) {
    if (m == Model::RV7010) return kErrorLabels7010;
    return kErrorLabels;
}

void write_factor_lines(std::string& out, std::span<const std::uint8_t> blk, Model m) {
    switch (blk[0]) {
    case Error: {
        auto labels = error_labels(m);
        for (std::size_t i = 0; i < labels.size(); ++i) {
            out += labels[i];
            append_padded(out, (blk[1] >> i) & 1 ? "ON" : "OFF", 6);
            out += "\r\n";
        }
        break;
    }
    case Chara: write_chara(out, blk); break;
    case Line: {
        BitRow row{blk[40], blk[41]};
        out += " RS CS DR CD ER SQ CI EX\r\n[ ";
        for (std::uint16_t bit = 0x80; bit != 0; bit >>= 1) append_padded(out, bit_cell(row, bit), 3);
        out += "]\r\n";
        break;
    }
    case TimerCounter: write_items(out, blk, kPoint); break;
    case External: write_items(out, blk, kEdge); break;
    default: break;
    }
}

void write_action(std::string& out, std::span<const std::uint8_t> blk) {
    if (blk[0] == Full) {
        out += "ACTION  :(STOP)\r\n";
        return;
    }
    out += "ACTION  :";
    append_padded(out, name_at(kActions, blk[44]), 6);
    out += "\r\n";
    if (blk[44] < kActionLines.size()) write_items(out, blk, kActionLines[blk[44]]);
}

void read_factor_lines(TokenReader& in, std::span<std::uint8_t> blk, Model m) {
    switch (blk[0]) {
    case Error: {
        auto labels = error_labels(m);
        std::uint8_t bits = 0;
        for (std::size_t i = 0; i < labels.size(); ++i) {
            in.skip(labels[i]);
            if (in.token(6) == "ON") bits |= static_cast<std::uint8_t>(1u << i);
        }
        blk[1] = bits;
        break;
    }
    case Chara: read_chara(in, blk); break;
    case Line: {
        static constexpr std::array<std::uint16_t, 8> kBits = {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01};
        in.skip(" RS CS DR CD ER SQ CI EX [");
        BitRow row = read_bit_row(in, kBits);
        in.skip("]");
        blk[40] = static_cast<std::uint8_t>(row.mask);
        blk[41] = static_cast<std::uint8_t>(row.level);
        break;
    }
    case TimerCounter: read_items(in, blk, kPoint); break;
    case External: read_items(in, blk, kEdge); break;
    default: break;
    }
}

void read_action(TokenReader& in, std::span<std::uint8_t> blk) {
    in.skip("ACTION  :");
    if (auto a = find_name(kActionsRead, in.token(6))) blk[44] = *a == 6 ? 0 : *a;
    if (blk[44] < kActionLines.size()) read_items(in, blk, kActionLines[blk[44]]);
}

}  // namespace

void write_trigger(std::string& out, ConstSetup s, Model m) {
    out += "< TRIGGER >\r\n";
    for (std::size_t k = 0; k < 4; ++k) {
        auto blk = s.subspan(kFirstBlock + kBlockSize * k, kBlockSize);
        out += "[ TRIGGER " + std::to_string(k) + " ]\r\n";
        write_item(out, blk, kFactorItem);
        if (blk[0] == None || blk[0] >= kFactors.size()) continue;
        write_factor_lines(out, blk, m);
        write_action(out, blk);
    }
}

SectionResult read_trigger(TokenReader& in, Setup s, Model m) {
    in.skip("< TRIGGER >");
    for (std::size_t k = 0; k < 4; ++k) {
        auto blk = s.subspan(kFirstBlock + kBlockSize * k, kBlockSize);
        in.skip("[ TRIGGER 0 ]");
        read_item(in, blk, kFactorItem);
        if (blk[0] == None || blk[0] >= kFactors.size()) continue;
        read_factor_lines(in, blk, m);
        read_action(in, blk);
    }
    return std::nullopt;
}

}  // namespace setxfer
