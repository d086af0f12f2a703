// Names of PPP protocol numbers and of the control-protocol codes.
#pragma once

namespace textlib {

// Asynchronous PPP framing: 0x7D escapes the next byte (sent XOR 0x20); the
// address 0xFF (with the control byte after it) may be compressed away.
constexpr int kPppEscape = 0x7D;
constexpr int kPppAllStations = 0xFF;

// The name of a 16-bit protocol value (a one-byte protocol counts as 0x00xx), or null.
const char* PppProtocolName(unsigned protocol);
// The name of a control-protocol code (1..15), or null.
const char* PppCodeName(int code);

}  // namespace textlib
