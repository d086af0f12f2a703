// Names of the program listing: instructions, the operand kinds of SEND, WAIT, IF
// and SET, and the operand name lists. Shared by the listing's writer and reader.
#pragma once
#include <array>
#include <cstdint>
#include <string_view>

#include "names.h"

namespace setxfer::program {

enum Instruction : std::uint8_t { Nop, Send, Wait, Goto, If, Call, Ret, Set, Int, Reti, Disi, Stop, Lbl };
inline constexpr std::array<std::string_view, 13> kInstructions = {
    "NOP", "SEND", "WAIT", "GOTO", "IF", "CALL", "RET", "SET", "INT", "RETI", "DISI", "STOP", "LBL",
};

enum SendKind : std::uint8_t { SendChr, SendTbl, SendReg, SendBuf, SendKey };
enum WaitKind : std::uint8_t { WaitChr, WaitFrm, WaitTrg, WaitTm, WaitKey, WaitLn };
enum IfKind : std::uint8_t { IfChr, IfTrg, IfTm, IfCt, IfLn, IfReg };
enum SetKind : std::uint8_t { SetReg, SetLn, SetTm, SetCt, SetBz, SetOut };
inline constexpr std::array<std::string_view, 5> kSendKinds = {"CHR", "TBL", "REG", "BUF", "KEY"};
inline constexpr std::array<std::string_view, 6> kWaitKinds = {"CHR", "FRM", "TRG", "TM", "KEY", "LN"};
inline constexpr std::array<std::string_view, 6> kIfKinds = {"CHR", "TRG", "TM", "CT", "LN", "REG"};
inline constexpr std::array<std::string_view, 6> kSetKinds = {"REG", "LN", "TM", "CT", "BZ", "OUT"};

// The kind list of an instruction that has operand kinds; empty for the others.
inline NameList kinds_of(std::uint8_t instruction) {
    switch (instruction) {
    case Send: return kSendKinds;
    case Wait: return kWaitKinds;
    case If: return kIfKinds;
    case Set: return kSetKinds;
    default: return {};
    }
}

inline constexpr std::array<std::string_view, 16> kTables = {"0", "1", "2", "3", "4", "5", "6", "7",
                                                             "8", "9", "A", "B", "C", "D", "E", "F"};
inline constexpr std::array<std::string_view, 6> kRegisters = {"A", "B", "C", "D", "E", "F"};
inline constexpr std::array<std::string_view, 6> kInputLines = {"CS", "DR", "CD", "SQ", "CI", "EX"};
inline constexpr std::array<std::string_view, 2> kOutputLines = {"RS", "ER"};
inline constexpr std::array<std::string_view, 6> kComparisons = {
    "\x81\x81",  // ＝
    "\x81\x82",  // ≠
    "\x81\x83",  // ＜
    "\x81\x84",  // ＞
    "\x81\x85",  // ≦
    "\x81\x86",  // ≧
};
static_assert(all_unique(kInstructions) && all_unique(kWaitKinds) && all_unique(kIfKinds) && all_unique(kSetKinds) &&
              all_unique(kInputLines) && all_unique(kComparisons));

// Operand codes of SET TM / SET CT / SET REG after a number (code 0).
inline constexpr std::array<std::string_view, 4> kTimerOps = {"", "START", "STOP", "RSTRT"};
inline constexpr std::array<std::string_view, 3> kCounterOps = {"", "INC", "RESET"};
inline constexpr std::array<std::string_view, 3> kRegisterOps = {"", "INC", "DEC"};

}  // namespace setxfer::program
