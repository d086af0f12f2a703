// The words of --line and --frame, shared by convert, monitor, export and the
// Wireshark capture interface, and --link-type of the pcapng outputs. A word's
// place in its list is the number the conversion and pcapng options take
// (ConvertOptions::Line and TranslateFrame, pcapng's line, frameProtocol and
// hdlcLink).
#pragma once

namespace cli {

inline constexpr char kLineWords[] = "sdrd|sd|rd";
inline constexpr char kFrameWords[] = "sdlc|x25|x25x|x25ua|lapd";
inline constexpr char kLinkTypeWords[] = "upper-pdu|user0|chdlc|frelay";

}  // namespace cli
