// The words of --line, --frame and --packet, shared by convert, monitor, export and the
// Wireshark capture interface, and --link-type of the pcapng outputs. A word's
// place in its list is the number the conversion and pcapng options take
// (ConvertOptions::Line and TranslateFrame, pcapng's line, frameProtocol and
// hdlcLink).
#pragma once

namespace cli {

inline constexpr char kLineWords[] = "sdrd|sd|rd";
inline constexpr char kFrameWords[] = "sdlc|x25|x25x|x25ua|lapd";
inline constexpr char kLinkTypeWords[] = "upper-pdu|user0|chdlc|frelay";
inline constexpr char kPacketWords[] = "off|x25|ddx|lapd";

// The line signals by number (signal n is bit 0x80 >> n of a line-state record).
inline constexpr const char* kLineStateNames[] = {"RS", "CS", "DR", "CD", "ER", "SQ", "CI", "EX"};

}  // namespace cli
