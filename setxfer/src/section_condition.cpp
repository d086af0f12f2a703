// CONDITION: buffers, recording, printing, the AUX port, the option port and other
// functions, read and counted in two halves. The LINE DSP states and the AUX EOF line
// appear only with their switch on; FRAME and PACKET are not on RV-7010.
#include <array>

#include "common_lists.h"
#include "items.h"
#include "messages.h"
#include "sections.h"

namespace setxfer {
namespace {

constexpr std::array<std::string_view, 3> kArea = {"BUF0", "BUF1", "BUF2"};
constexpr std::array<std::string_view, 2> kRamCard = {"FILE", "BUFFR"};
constexpr std::array<std::string_view, 3> kIdle = {"OFF", "100m", "10m"};
constexpr std::array<std::string_view, 3> kStamp = {"OFF", "HMS", "DHM"};
constexpr std::array<std::string_view, 8> kState = {"RS", "CS", "DR", "CD", "ER", "SQ", "CI", "EX"};
constexpr std::array<std::string_view, 3> kColumn = {"40", "80", "136"};
constexpr std::array<std::string_view, 2> kPageSize = {"MAX", "66"};
constexpr std::array<std::string_view, 4> kPrinter = {"DPU414", "DPU412", "ESC/P", "PC-RP"};
constexpr std::array<std::string_view, 2> kPrintPort = {"CENTRO", "AUX"};
constexpr std::array<std::string_view, 7> kAuxSpeed = {"2400", "4800", "9600", "115200", "38400", "57600", "19200"};
constexpr std::array<std::string_view, 2> kAuxBits = {"7", "8"};
constexpr std::array<std::string_view, 3> kAuxParity = {"NONE", "ODD", "EVEN"};
constexpr std::array<std::string_view, 2> kAuxData = {"ASCII", "BINARY"};
constexpr std::array<std::string_view, 2> kOptionPort = {"RS232C", "OPTION"};
constexpr std::array<std::string_view, 4> kFrame = {"OFF", "SDLC", "X.25", "X.25UA"};
constexpr std::array<std::string_view, 3> kPacket = {"OFF", "X.25", "DDX"};
static_assert(all_unique(kState) && all_unique(kAuxSpeed) && all_unique(kPrinter));

constexpr std::array kBufferSelect = {
    name_item("AREA    :", 362, kArea),          name_item("PROTECT  BUF0:", 363, kOnOff, 4),
    name_item("         BUF1:", 364, kOnOff, 4), name_item("         BUF2:", 365, kOnOff, 4),
    name_item("RAM CARD:", 366, kRamCard),
};
constexpr std::array kRecordControl = {
    name_item("IDLE TM :", 368, kIdle),
    name_item("TM STAMP:", 369, kStamp),
    name_item("LINE DSP:", 371, kOnOff),
};
constexpr std::array kPrintOut = {
    name_item("COLUMN  :", 376, kColumn),
    name_item("PAGESIZE:", 377, kPageSize),
    name_item("PRINTER :", 378, kPrinter),
    name_item("PORT    :", 379, kPrintPort),
};
constexpr Item kEof = name_item("EOF     :", 380, kOnOff);
constexpr std::array kAux = {
    name_item("SPEED   :", 381, kAuxSpeed),  name_item("CHAR BIT:", 382, kAuxBits),
    name_item("PARITY  :", 383, kAuxParity), name_item("X-CONT  :", 384, kOnOff),
    name_item("DATA    :", 385, kAuxData),
};
constexpr std::array kOption = {name_item("PORT    :", 386, kOptionPort)};
constexpr std::array kFramePacket = {name_item("FRAME   :", 387, kFrame), name_item("PACKET  :", 388, kPacket)};
constexpr std::array kOthers = {name_item("BUZZER  :", 389, kOnOff), name_item("KEY     :", 390, kOnOff)};

constexpr std::string_view kStateLabel = "STATE   :";

void header(std::string& out, std::string_view text) {
    out += text;
    out += "\r\n";
}

void write_first_half(std::string& out, ConstSetup s) {
    header(out, "[ BUFFER SELECT ]");
    write_items(out, s, kBufferSelect);
    header(out, "[ RECORD CONTROL ]");
    write_items(out, s, kRecordControl);
    if (s[371] != 1) return;
    out += kStateLabel;
    for (int i = 0; i < 4; ++i) append_padded(out, name_at(kState, s[372 + i]), 3);
    out += "\r\n";
}

int read_first_half(TokenReader& in, Setup s) {
    in.skip("[ BUFFER SELECT ]");
    int n = read_items(in, s, kBufferSelect);
    in.skip("[ RECORD CONTROL ]");
    n += read_items(in, s, kRecordControl);
    if (s[371] != 1) return n;
    in.skip(kStateLabel);
    for (int i = 0; i < 4; ++i)
        if (auto v = find_name(kState, in.token(6))) {
            s[372 + i] = *v;
            ++n;
        }
    return n;
}

}  // namespace

void write_condition(std::string& out, ConstSetup s, Model m) {
    header(out, "< CONDITION >");
    write_first_half(out, s);
    header(out, "[ PRINT OUT CONDITION ]");
    write_items(out, s, kPrintOut);
    if (s[379] == 1) write_item(out, s, kEof);
    header(out, "[ AUX CONDITION ]");
    write_items(out, s, kAux);
    header(out, "[ OPTION(TTL) PORT SELECT ]");
    write_items(out, s, kOption);
    header(out, "[ OTHERS FUNCTION ]  ");
    if (m != Model::RV7010) write_items(out, s, kFramePacket);
    write_items(out, s, kOthers);
}

SectionResult read_condition(TokenReader& in, Setup s, Model m) {
    in.skip("< CONDITION >");
    if (read_first_half(in, s) != (s[371] == 1 ? 12 : 8)) return text::kCondition;
    in.skip("[ PRINT OUT CONDITION ]");
    int n = read_items(in, s, kPrintOut);
    if (s[379] == 1) n += read_item(in, s, kEof);
    in.skip("[ AUX CONDITION ]");
    n += read_items(in, s, kAux);
    in.skip("[ OPTION(TTL) PORT SELECT ]");
    n += read_items(in, s, kOption);
    in.skip("[ OTHERS FUNCTION ]");
    n += m != Model::RV7010 ? read_items(in, s, kFramePacket) : 2;
    n += read_items(in, s, kOthers);
    return n == (s[379] == 1 ? 15 : 14) ? SectionResult{} : text::kCondition2;
}

}  // namespace setxfer
