// The header box: mode-specific lines filled from the value lists of the
// analyzer's setup screens. An index outside its list prints as blanks.
#include "print/header_box.h"

#include <cstdio>

#include "textlib/buffer_format.h"

namespace textlib {
namespace {

template <std::size_t N>
const char* Pick(const char* const (&list)[N], int index) {
    return index >= 0 && static_cast<std::size_t>(index) < N ? list[index] : "";
}

constexpr const char* kSpeeds[] = {
    "50",    "75",    "100",   "110",   "134.5", "150",   "200",    "300",   "600",   "1200",
    "1800",  "2000",  "2400",  "3200",  "3600",  "4800",  "7200",   "8000",  "9600",  "12000",
    "12800", "14400", "16000", "16800", "19200", "28800", "32000",  "38400", "46000", "48000",
    "50000", "56000", "57600", "64000", "72000", "76800", "115200",
};
static_assert(sizeof kSpeeds / sizeof kSpeeds[0] == 37);
constexpr const char* kCodes[] = {
    "ASCII", "EBCDIC", "EBCDIK", "JIS 7", "JIS 8", "HEX", "EBCD", "TRANSC", "IPARS", "BAUDOT", "(HEX)",
};
constexpr const char* kCharBits[] = {"5", "6", "7", "8"};
constexpr const char* kParities[] = {"NONE", "ODD", "EVEN", "MARK", "SPACE", "MP"};
constexpr const char* kStopBits[] = {"1", "1.5", "2"};
constexpr const char* kClocks[] = {"ST1", "ST2", "RT", "AR"};
constexpr const char* kBccKinds[] = {"NONE", "LRC O", "LRC E", "CRC-16", "ITU-T", "CRC-6", "CRC-12"};

constexpr char kRule[] = "**************************************\n";
static_assert(sizeof kRule == 38 + 2);

void Line(std::string& out, const char* format, const char* a, const char* b = "") {
    char text[128];
    std::snprintf(text, sizeof text, format, a, b);
    out += text;
}

void ModeLines(std::string& out, const std::uint8_t* body) {
    int mode = body[info::kMode];
    const char* sSpeed = Pick(kSpeeds, body[info::kSSpeed]);
    const char* rSpeed = Pick(kSpeeds, body[info::kRSpeed]);
    const char* code = Pick(kCodes, body[info::kCode]);
    const char* charBit = Pick(kCharBits, body[info::kCharBit]);
    const char* parity = Pick(kParities, body[info::kParity]);
    int stopOrClock = body[info::kStopOrClock];
    switch (mode) {
    case kAsync:
    case kSync:
        Line(out, mode == kAsync ? "* MODE    : ASYNC   CHAR BIT: %-6s *\n" : "* MODE    : SYNC    CHAR BIT: %-6s *\n",
             charBit);
        Line(out, "* S-SPEED : %-6s  PARITY  : %-6s *\n", sSpeed, parity);
        if (mode == kAsync) Line(out, "* R-SPEED : %-6s  STOP BIT: %-6s *\n", rSpeed, Pick(kStopBits, stopOrClock));
        else Line(out, "* R-SPEED : %-6s  CLOCK   : %-6s *\n", rSpeed, Pick(kClocks, stopOrClock));
        Line(out, "* CODE    : %-6s  BCC     : %-6s *\n", code, Pick(kBccKinds, body[info::kCheck]));
        break;
    case kHdlc:
    case kNrzi: {
        Line(out, "* MODE    : %-6s  CHAR BIT: %-6s *\n", mode == kHdlc ? "HDLC" : "NRZI", charBit);
        Line(out, "* S-SPEED : %-6s  PARITY  : %-6s *\n", sSpeed, parity);
        Line(out, "* R-SPEED : %-6s  CLOCK   : %-6s *\n", rSpeed, Pick(kClocks, stopOrClock));
        Line(out, "* CODE    : %-6s  FCS     : %-6s *\n", code, body[info::kCheck] != 0 ? "ON" : "OFF");
        char sd[3] = "**", rd[3] = "**";
        if (body[info::kSdAddrOn] != 0) std::snprintf(sd, sizeof sd, "%02X", body[info::kSdAddr]);
        if (body[info::kRdAddrOn] != 0) std::snprintf(rd, sizeof rd, "%02X", body[info::kRdAddr]);
        Line(out, "* SD-ADDR : %s      RD-ADDR : %s     *\n", sd, rd);
        break;
    }
    case kPpp:
        out += "* MODE    : PPP                      *\n";
        Line(out, "* S-SPEED : %-6s                   *\n", sSpeed);
        Line(out, "* R-SPEED : %-6s                   *\n", rSpeed);
        Line(out, "* CODE    : %-6s                   *\n", code);
        break;
    default: break;  // a mode we do not know gets an empty box
    }
}

}  // namespace

std::string HeaderBox(const std::uint8_t* body) {
    std::string out = kRule;
    ModeLines(out, body);
    out += kRule;
    out += "\n";
    return out;
}

}  // namespace textlib
