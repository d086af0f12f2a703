// The HDLC-family control field, decoded the same way for every frame
// variant: kind, N(S), P/F and N(R) of a one-byte (modulo 8) or two-byte
// (modulo 128, first byte low) control value.
#pragma once
#include <cstdint>

namespace textlib {

enum class FrameKind { Info, Supervisory, Unnumbered };

struct ControlField {
    FrameKind kind;
    int ns;  // I frames only
    int pf;
    int nr;  // I and S frames
};

constexpr FrameKind KindOf(unsigned firstByte) {
    if ((firstByte & 0x01) == 0) return FrameKind::Info;
    return (firstByte & 0x03) == 0x01 ? FrameKind::Supervisory : FrameKind::Unnumbered;
}

// `length` is 1 or 2; U frames always have one byte.
constexpr ControlField DecodeControl(unsigned value, int length) {
    FrameKind kind = KindOf(value & 0xFF);
    if (length == 2)
        return {kind, static_cast<int>(value >> 1) & 0x7F, static_cast<int>(value >> 8) & 1,
                static_cast<int>(value >> 9) & 0x7F};
    return {kind, static_cast<int>(value >> 1) & 0x07, static_cast<int>(value >> 4) & 1,
            static_cast<int>(value >> 5) & 0x07};
}

static_assert(DecodeControl(0x0304, 2).ns == 2 && DecodeControl(0x0304, 2).pf == 1 && DecodeControl(0x0304, 2).nr == 1);
static_assert(DecodeControl(0x93, 1).kind == FrameKind::Unnumbered && DecodeControl(0x93, 1).pf == 1);
static_assert(DecodeControl(0xB2, 1).ns == 1 && DecodeControl(0xB2, 1).pf == 1 && DecodeControl(0xB2, 1).nr == 5);

// The row of the name tables for a control byte: S frames by bits 2-3, U frames
// by bits 2-3 and 5-7 (the row is the control value with P/F 0).
constexpr unsigned NameKey(unsigned firstByte) {
    return KindOf(firstByte) == FrameKind::Supervisory ? (firstByte & 0x0F) : (firstByte & 0xEF);
}

}  // namespace textlib
