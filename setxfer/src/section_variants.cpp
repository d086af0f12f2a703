// Sections whose lines depend on a mode item: BEAT (test mode), FLOW CONTROL (test
// mode and control) and ECHO BACK (echo mode). The reader chooses the lines by the
// mode byte as it stands after the mode item was read, as the writer chose them.
#include <array>

#include "common_lists.h"
#include "items.h"
#include "messages.h"
#include "sections.h"

namespace setxfer {
namespace {

// Lines written for a mode value: one item list per value; values past the table get none.
std::span<const Item> lines_for(std::span<const std::span<const Item>> by_value, std::uint8_t value) {
    return value < by_value.size() ? by_value[value] : std::span<const Item>{};
}

constexpr std::array<std::string_view, 3> kBeatMode = {"CONTIN", "R-BIT", "RUNTIM"};
constexpr std::array<std::string_view, 7> kBeatCount = {"1.0E3", "1.0E4", "1.0E5", "1.0E6", "1.0E7", "1.0E8", "1.0E9"};
constexpr std::array<std::string_view, 5> kPattern = {"63", "511", "2047", "MARK", "SPACE"};
constexpr Item kBeatModeItem = name_item("TESTMODE:", 414, kBeatMode);
constexpr std::array kBeatRbit = {name_item("COUNT   :", 415, kBeatCount)};
constexpr std::array kBeatRuntime = {number_item("SEC     :", 416, 4, 0, 99999999, 8)};
constexpr std::array<std::span<const Item>, 3> kBeatLines = {std::span<const Item>{}, kBeatRbit, kBeatRuntime};
constexpr Item kBeatPattern = name_item("PATTERN :", 420, kPattern);

constexpr std::array<std::string_view, 2> kFlowMode = {"SEND", "RECV"};
constexpr std::array<std::string_view, 2> kFlowControl = {"CHARAC", "LINE"};
constexpr std::array<std::string_view, 2> kWatch = {"CS", "CD"};
constexpr std::array<std::string_view, 2> kOperate = {"RS", "ER"};
constexpr std::array kFlowHead = {
    name_item("TESTMODE:", 436, kFlowMode),
    name_item("INITIAL :", 437, kOnOff),
    name_item("CONTROL :", 438, kFlowControl),
};
constexpr std::array kFlowCharacter = {hex_item("X-ON    :", 439), hex_item("X-OFF   :", 440)};
constexpr std::array kFlowLine = {name_item("WATCH   :", 441, kWatch), name_item("OPERATE :", 442, kOperate)};
constexpr std::array<std::span<const Item>, 2> kFlowControlLines = {kFlowCharacter, kFlowLine};
constexpr std::array kFlowSend = {name_item("TABLE No:", 443, kTableNumbers),
                                  number_item("IDLE TM :", 444, 2, 0, 9999)};
constexpr std::array kFlowRecv = {number_item("ON COUNT:", 446, 2, 1, 65535), number_item("OFF TM  :", 448, 2, 1, 255)};
constexpr std::array<std::span<const Item>, 2> kFlowModeLines = {kFlowSend, kFlowRecv};

constexpr std::array<std::string_view, 3> kEchoMode = {"BIT", "CHAR", "BUFFER"};
constexpr Item kEchoModeItem = name_item("ECHOMODE:", 450, kEchoMode);
constexpr std::array kEchoBuffer = {hex_item("END CHAR:", 453), number_item("RESPONSE:", 454, 2, 0, 9999)};
constexpr std::array<std::span<const Item>, 3> kEchoLines = {std::span<const Item>{}, std::span<const Item>{},
                                                             kEchoBuffer};

}  // namespace

void write_beat(std::string& out, ConstSetup s, Model) {
    out += "< BEAT >\r\n";
    write_item(out, s, kBeatModeItem);
    write_items(out, s, lines_for(kBeatLines, s[414]));
    write_item(out, s, kBeatPattern);
}

SectionResult read_beat(TokenReader& in, Setup s, Model) {
    in.skip("< BEAT >");
    int n = read_item(in, s, kBeatModeItem);
    n += read_items(in, s, lines_for(kBeatLines, s[414]));
    n += read_item(in, s, kBeatPattern);
    return n == (s[414] == 0 ? 2 : 3) ? SectionResult{} : text::kBeat;
}

void write_flow_control(std::string& out, ConstSetup s, Model) {
    out += "< FLOW CONTROL >\r\n";
    write_items(out, s, kFlowHead);
    write_items(out, s, lines_for(kFlowControlLines, s[438]));
    write_items(out, s, lines_for(kFlowModeLines, s[436]));
}

SectionResult read_flow_control(TokenReader& in, Setup s, Model) {
    in.skip("< FLOW CONTROL >");
    int n = read_items(in, s, kFlowHead);
    n += read_items(in, s, lines_for(kFlowControlLines, s[438]));
    n += read_items(in, s, lines_for(kFlowModeLines, s[436]));
    return n == 7 ? SectionResult{} : text::kFlow;
}

void write_echo_back(std::string& out, ConstSetup s, Model) {
    out += "< ECHO BACK >\r\n";
    write_item(out, s, kEchoModeItem);
    write_items(out, s, lines_for(kEchoLines, s[450]));
}

// BUFFER mode must recognise all three values; the other modes have only the mode line.
SectionResult read_echo_back(TokenReader& in, Setup s, Model) {
    in.skip("< ECHO BACK >");
    int n = read_item(in, s, kEchoModeItem);
    n += read_items(in, s, lines_for(kEchoLines, s[450]));
    return n == (s[450] == 2 ? 3 : 1) ? SectionResult{} : text::kEcho;
}

}  // namespace setxfer
