// Names of PPP protocol numbers and of the control-protocol codes.
#pragma once

namespace textlib {

// The name of a 16-bit protocol value (a one-byte protocol counts as 0x00xx), or null.
const char* PppProtocolName(unsigned protocol);
// The name of a control-protocol code (1..15), or null.
const char* PppCodeName(int code);

}  // namespace textlib
