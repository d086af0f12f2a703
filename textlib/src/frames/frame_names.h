// Names of HDLC-family commands and responses, X.25 and DDX packet types and
// Q.931 messages, as the frame and packet translations print them.
#pragma once

namespace textlib {

// Which column of the frame-level table a variant reads (X25X shares X25's).
enum class FrameNames { Sdlc, X25, X25ua, Lapd };
enum class PacketNames { X25, Ddx };

// The names of an information frame and of an X.25 or DDX data packet.
constexpr const char kInfoFrameName[] = "INFO";
constexpr const char kDataPacketName[] = "DT";
constexpr unsigned kDiagnosticPacket = 0xF1;  // X.25 diagnostic, which DDX reads as RR

// The name of the S or U row `key` (see NameKey) in the direction's column, or
// null when the variant has none.
const char* FrameTypeName(FrameNames names, unsigned key, bool rd);
// The name of the packet-type row `type` (0x01, 0x05, 0x09 for RR, RNR and REJ;
// the full type byte otherwise), or null.
const char* PacketTypeName(PacketNames names, unsigned type, bool rd);
// The name of a Q.931 message type, or null.
const char* Q931MessageName(int type);

}  // namespace textlib
