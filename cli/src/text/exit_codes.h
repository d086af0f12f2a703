// The exit codes of zamvex and zamvex-extcap, the same for every command.
#pragma once

namespace cli {

inline constexpr int kExitDone = 0;    // the command did its work
inline constexpr int kExitFailed = 1;  // it failed; the message on stderr says why
inline constexpr int kExitUsage = 2;   // a usage mistake: unknown option, missing or bad value

}  // namespace cli
