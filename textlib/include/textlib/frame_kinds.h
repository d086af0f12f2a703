// What the frame and packet translations call a frame, for code that counts
// frames by kind (`zamvex stats`): the names come from the same tables as the
// translated lines print, so a count's name is the one the user reads there.
//
// Errors: none; a field the frame is too short to hold comes back not present.
// Threads: any; pure.
#pragma once
#include "textlib/frame.h"

namespace textlib {

// One field of a frame: a control field, packet type, Q.931 message, PPP
// protocol or control-protocol code.
struct FrameField {
    bool present = false;        // the frame holds the field
    const char* name = nullptr;  // its name in the translation's tables; null: none (the translation shows hex)
    unsigned value = 0;          // the field's value, named or not
    int bytes = 1;               // bytes of an unnamed value as the translation shows it: "(%02X)" or "(%04X)"
};

// The command or response of an HDLC-family frame as the frame variant names
// it (ConvertOptions::TranslateFrame, 0 SDLC .. 4 LAPD): "INFO", "RR", "SABM", ...
// Its value is the control field, one byte or (modulo 128) two.
FrameField HdlcFrameField(const Frame& frame, int frameVariant);

// The packet an information frame carries (ConvertOptions::TranslatePacket:
// 1 X.25, 2 DDX, 3 Q.931): its packet type ("DT", "CR", ...) or message type
// ("SETUP", ...); not present for other frames and packets cut short.
FrameField PacketField(const Frame& frame, int frameVariant, int packetKind);

// A PPP frame's protocol ("LCP", "IP", ...), and the code of a control
// protocol's frame (protocol 0x8000 and up: "CONF-REQ", ...; else not present).
struct PppFields {
    FrameField protocol;
    FrameField code;
};
PppFields PppFrameFields(const Frame& frame);

}  // namespace textlib
