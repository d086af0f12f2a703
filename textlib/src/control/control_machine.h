// The state machine of one direction of the control-sequence filter: it reads
// the recorded characters of a character protocol (BSC style) and puts out the
// transmission-control tokens, one text mark for each stretch of text, and the
// check marks. Pure: no reader, no output.
#pragma once
#include <cstdint>

namespace textlib {

// Code families with a machine; codes without one (HEX, EBCD, IPARS, BAUDOT,
// anything unknown) get None, whose machine ignores every character.
enum class ControlFamily : std::uint8_t { None, Ascii, Ebcdic, Transc };

// The family for the measurement mode and CODE byte of the data-info body:
// the code decides in ASYNC and SYNC, every other mode uses ASCII.
ControlFamily ControlFamilyFor(int mode, int code);

enum class ControlState : std::uint8_t { NoOp, Idle, Text, AfterStx, AfterDle, Transparent, TransparentDle };

// Token characters are EBCDIC codes: the print layout shows them through the
// EBCDIC table whatever the line's code.
namespace token {
constexpr std::uint8_t kSoh = 0x01, kStx = 0x02, kEtx = 0x03, kDle = 0x10, kItb = 0x1F, kEtb = 0x26, kEnq = 0x2D,
                       kAck = 0x2E, kEot = 0x37, kNak = 0x3D, kText = 0x60, kT = 0xE3, kD = 0xC4, kZero = 0xF0,
                       kOne = 0xF1, kW = 0xE6, kR = 0xD9, kV = 0xE5;
}  // namespace token

// What one input cell produced, oldest first. The rules never put out more
// than two; the room for four keeps a wrong rule from losing anything.
struct ControlOutput {
    std::uint16_t cells[4];
    int count = 0;
};

class ControlMachine {
public:
    // `rd` picks the direction marker of the token cells.
    explicit ControlMachine(bool rd) : marker_(rd ? 0x20 : 0x10) {}

    // Back to Idle (NoOp for a family without a machine), no text pending.
    void Reset(ControlFamily family);
    ControlOutput Feed(std::uint16_t cell);

    ControlState State() const { return state_; }
    bool TextPending() const { return pending_; }

private:
    void Step(int input, std::uint16_t cell, ControlOutput& out);
    void Emit(std::uint8_t code, ControlOutput& out) const;

    std::uint16_t marker_;
    ControlFamily family_ = ControlFamily::None;
    ControlState state_ = ControlState::NoOp;
    bool pending_ = false;  // text seen since the last control character
};

}  // namespace textlib
