// From the port names that users and stored settings give ("COM3", a path)
// to the device path to open.
//
// Errors: none; an unknown name is returned as it is, and the open reports it.
// Threads: any; pure.
#pragma once
#include <algorithm>
#include <functional>
#include <iterator>
#include <string>

namespace platform {

// An absolute path is used as it is. "COMn" (any case, n >= 1) is the path in
// the environment variable ZAMVEX_PORT_COMn when that is set (so COM8 can
// reach a USB adapter or the simulator's pty), else /dev/ttyS(n-1). Any other
// name is taken below /dev. An empty name gives an empty path.
std::string devicePath(const std::string& name);

// The speeds that port lists offer, ascending.
inline constexpr int ListedSpeeds[] = {1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200, 230400};
static_assert(std::is_sorted(std::begin(ListedSpeeds), std::end(ListedSpeeds), std::less_equal<>()),
              "speeds ascending");

}  // namespace platform
