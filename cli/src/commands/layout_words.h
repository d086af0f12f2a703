// The words of --line and --frame, shared by convert, monitor, export and the
// Wireshark capture interface. A word's place in its list is the number the
// conversion and pcapng options take (ConvertOptions::Line and
// TranslateFrame, pcapng's line and frameProtocol).
#pragma once

namespace cli {

inline constexpr char kLineWords[] = "sdrd|sd|rd";
inline constexpr char kFrameWords[] = "sdlc|x25|x25x|x25ua|lapd";

}  // namespace cli
