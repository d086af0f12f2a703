// Reads the program listing back, step by step from step 0. Heads are read, not
// compared; an unknown instruction or operand kind, or operands that do not line up,
// refuse the file. Names not in their list leave their byte as it was.
#include "messages.h"
#include "program_listing.h"
#include "program_names.h"

namespace setxfer {
namespace {

using namespace program;
using Step = std::span<std::uint8_t>;

constexpr std::size_t kStepSize = 16;
constexpr std::size_t kSteps = 512;

std::optional<std::uint32_t> parse_number(std::string_view t) {
    if (t.empty() || t.size() > 9) return std::nullopt;
    std::uint32_t v = 0;
    for (char c : t) {
        if (c < '0' || c > '9') return std::nullopt;
        v = v * 10 + static_cast<std::uint32_t>(c - '0');
    }
    return v;
}

void read_name(TokenReader& in, NameList list, std::size_t width, std::uint8_t& byte) {
    if (auto v = find_name(list, in.token(width))) byte = *v;
}

bool read_byte_number(TokenReader& in, std::uint8_t& byte) {
    auto v = in.digits();
    if (!v || *v > 255) return false;
    byte = static_cast<std::uint8_t>(*v);
    return true;
}

// A number as low byte and page.
bool read_paged(TokenReader& in, std::uint8_t& low, std::uint8_t& page) {
    auto v = in.digits();
    if (!v || *v > 0xFFFF) return false;
    low = static_cast<std::uint8_t>(*v);
    page = static_cast<std::uint8_t>(*v >> 8);
    return true;
}

bool read_label(TokenReader& in, Step b, bool star_allowed = false) {
    in.skip("L");
    if (star_allowed && in.peek_char() == '*') {
        in.next_char();
        b[13] = 0xFF;
        return true;
    }
    return read_paged(in, b[12], b[13]);
}

// Codes and "Fg" from byte 4 on; the string ends at the first other token, which must
// be the next step's head ("PR"), IF's ":" or, after the last step, "EN".
bool read_string(TokenReader& in, Step b, bool last, std::string_view end) {
    std::uint8_t n = 0, fg = 0;
    for (;;) {
        std::string_view t = in.token(2);
        auto v = hex_byte(t);
        if (!v && t != "Fg") {
            b[2] = n;
            b[3] = fg;
            if (!end.empty()) return t == end;
            if (t == "PR") in.carry(t);
            return t == "PR" || (last && (t == "EN" || t.empty()));
        }
        if (n == 8) return false;  // no room for a ninth character
        if (v) b[4 + n] = *v;
        else fg = static_cast<std::uint8_t>(fg | (1u << n));
        ++n;
    }
}

bool read_line_value(TokenReader& in, NameList lines, Step b) {
    read_name(in, lines, 2, b[2]);
    in.skip("=");
    return read_byte_number(in, b[3]);
}

bool read_wait(TokenReader& in, Step b, bool last) {
    switch (b[1]) {
    case WaitChr: return read_string(in, b, last, {});
    case WaitTrg: read_name(in, kTables, 1, b[2]); return true;
    case WaitTm: return read_paged(in, b[2], b[3]);
    case WaitLn: return read_line_value(in, kInputLines, b);
    default: return true;
    }
}

bool read_if(TokenReader& in, Step b, bool last) {
    switch (b[1]) {
    case IfChr: return read_string(in, b, last, ":") && read_label(in, b);
    case IfTrg:
    case IfTm:
    case IfCt: return read_byte_number(in, b[2]) && read_label(in, b);
    case IfLn: return read_line_value(in, kInputLines, b) && read_label(in, b);
    case IfReg:
        read_name(in, kRegisters, 1, b[2]);
        read_name(in, kComparisons, 2, b[3]);
        read_name(in, kRegisters, 1, b[4]);
        return read_label(in, b);
    default: return true;
    }
}

// A number (code 0 and the value in bytes 4-5) or one of the instruction's words.
bool read_value_or_word(TokenReader& in, NameList words, Step b) {
    std::string_view t = in.token(5);
    if (auto v = parse_number(t)) {
        if (*v > 0xFFFF) return false;
        b[3] = 0;
        set_u16(b, 4, *v);
        return true;
    }
    if (auto w = find_name(words, t); w && *w > 0) b[3] = *w;
    return true;
}

bool read_set(TokenReader& in, Step b) {
    switch (b[1]) {
    case SetReg: read_name(in, kRegisters, 1, b[2]); return read_value_or_word(in, kRegisterOps, b);
    case SetLn: return read_line_value(in, kOutputLines, b);
    case SetTm: return read_byte_number(in, b[2]) && read_value_or_word(in, kTimerOps, b);
    case SetCt: return read_byte_number(in, b[2]) && read_value_or_word(in, kCounterOps, b);
    default: return true;
    }
}

bool read_operands(TokenReader& in, Step b, bool last) {
    switch (b[0]) {
    case Send:
        if (b[1] == SendChr) return read_string(in, b, last, {});
        if (b[1] == SendTbl) read_name(in, kTables, 1, b[2]);
        if (b[1] == SendReg) read_name(in, kRegisters, 1, b[2]);
        return true;
    case Wait: return read_wait(in, b, last);
    case If: return read_if(in, b, last);
    case Set: return read_set(in, b);
    case Goto:
    case Call: return read_label(in, b);
    case Int: in.skip("TRG0"); return read_label(in, b);
    case Reti: return read_label(in, b, true);
    case Lbl: return read_paged(in, b[12], b[13]);
    default: return true;
    }
}

bool read_step(TokenReader& in, Step b, bool last) {
    in.skip("PR000 :");
    auto instruction = find_name(kInstructions, in.token(4));
    if (!instruction) return false;
    b[0] = *instruction;
    NameList kinds = kinds_of(b[0]);
    if (!kinds.empty()) {
        auto kind = find_name(kinds, in.token(4));
        if (!kind) return false;
        b[1] = *kind;
    }
    return read_operands(in, b, last);
}

}  // namespace

std::optional<Failure> read_program(TokenReader& in, std::span<std::uint8_t> program) {
    for (std::size_t n = 0; n < kSteps; ++n)
        if (!read_step(in, program.subspan(n * kStepSize, kStepSize), n + 1 == kSteps))
            return Failure{FailureKind::ProgramData, text::kProgramData, text::kCaptionError, false};
    return std::nullopt;
}

}  // namespace setxfer
