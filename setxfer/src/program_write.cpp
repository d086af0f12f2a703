// Writes the program listing: the step head, the instruction, the operand kind
// where the instruction has one, and the operands as each kind prints them.
#include <cstdio>

#include "program_listing.h"
#include "program_names.h"

namespace setxfer {
namespace {

using namespace program;
using Step = std::span<const std::uint8_t>;

constexpr std::size_t kStepSize = 16;
constexpr std::size_t kSteps = 512;

std::uint32_t label_of(Step b) { return b[12] + 256u * b[13]; }

void printf_to(std::string& out, const char* format, std::uint32_t v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, format, static_cast<unsigned>(v));
    out += buf;
}

// Up to eight codes; with fg, a character whose bit is set in byte 3 is "Fg".
void write_string(std::string& out, Step b, bool fg) {
    for (std::size_t i = 0; i < b[2] && i < 8; ++i) {
        if (fg && ((b[3] >> i) & 1)) out += "Fg";
        else append_hex(out, b[4 + i]);
    }
}

std::string_view name2(NameList list, std::size_t i) { return i < list.size() ? list[i] : "??"; }

void write_send_wait(std::string& out, Step b) {
    if (b[0] == Send) {
        if (b[1] == SendChr) write_string(out, b, false);
        else if (b[1] == SendTbl) out += name_at(kTables, b[2]);
        else if (b[1] == SendReg) out += name_at(kRegisters, b[2]);
        return;
    }
    switch (b[1]) {
    case WaitChr: write_string(out, b, true); break;
    case WaitTrg: out += name_at(kTables, b[2]); break;  // one hexadecimal digit
    case WaitTm: printf_to(out, "%u ", b[2] + 256u * b[3]); break;
    case WaitLn:
        out += name2(kInputLines, b[2]);
        printf_to(out, "=%u", b[3]);
        break;
    default: break;
    }
}

void write_if(std::string& out, Step b) {
    switch (b[1]) {
    case IfChr:
        write_string(out, b, true);
        printf_to(out, " : L%3u ", label_of(b));
        return;
    case IfTrg:
    case IfTm:
    case IfCt: printf_to(out, "%-4u ", b[2]); break;
    case IfLn:
        out += name2(kInputLines, b[2]);
        printf_to(out, "=%u ", b[3]);
        break;
    case IfReg:
        out += name_at(kRegisters, b[2]);
        out += name2(kComparisons, b[3]);
        out += name_at(kRegisters, b[4]);
        out += ' ';
        break;
    default: return;
    }
    printf_to(out, "L%u ", label_of(b));
}

void write_set(std::string& out, Step b) {
    std::uint32_t value = b[4] + 256u * b[5];
    switch (b[1]) {
    case SetReg:
        append_padded(out, name_at(kRegisters, b[2]), 5);
        if (b[3] == 0) printf_to(out, "%-3u ", b[5] >= 1 && b[5] <= 5 ? value : b[4]);
        else out += b[3] == 1 ? "INC" : "DEC";
        break;
    case SetLn:
        out += name2(kOutputLines, b[2]);
        printf_to(out, "=%u", b[3]);
        break;
    case SetTm:
    case SetCt:
        printf_to(out, "%-4u ", b[2]);
        if (b[3] == 0) printf_to(out, "%-5u ", value);
        else if (b[1] == SetTm) out += b[3] < kTimerOps.size() ? kTimerOps[b[3]] : "RSTRT";
        else out += b[3] == 1 ? "INC" : "RESET";
        break;
    default: break;
    }
}

void write_operands(std::string& out, Step b) {
    switch (b[0]) {
    case Send:
    case Wait: write_send_wait(out, b); break;
    case If: write_if(out, b); break;
    case Set: write_set(out, b); break;
    case Goto: printf_to(out, "L%-3u ", label_of(b)); break;
    case Call: printf_to(out, "L%u ", label_of(b)); break;
    case Int: printf_to(out, "TRG0 L%u ", label_of(b)); break;
    case Reti:
        if (b[13] == 0xFF) out += "L * ";
        else printf_to(out, "L%u ", label_of(b));
        break;
    case Lbl: printf_to(out, "%u ", label_of(b)); break;
    default: break;
    }
}

}  // namespace

void write_program(std::string& out, std::span<const std::uint8_t> program) {
    for (std::size_t n = 0; n < kSteps; ++n) {
        Step b = program.subspan(n * kStepSize, kStepSize);
        printf_to(out, "PR%03u:", static_cast<std::uint32_t>(n));
        // An instruction byte past the list prints a name that the reader refuses.
        append_padded(out, b[0] < kInstructions.size() ? kInstructions[b[0]] : "???", 4);
        out += ' ';
        NameList kinds = kinds_of(b[0]);
        if (!kinds.empty()) {
            append_padded(out, name_at(kinds, b[1]), 4);
            out += ' ';
        }
        write_operands(out, b);
        out += "\r\n";
    }
    out += "EN ";
}

}  // namespace setxfer
