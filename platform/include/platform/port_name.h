// From the port names that users and stored settings give ("COM3", a path)
// to the device path to open.
#pragma once
#include <string>

namespace platform {

// An absolute path is used as it is. "COMn" (any case, n >= 1) is the path in
// the environment variable ZAMVEX_PORT_COMn when that is set (so COM8 can
// reach a USB adapter or the simulator's pty), else /dev/ttyS(n-1). Any other
// name is taken below /dev. An empty name gives an empty path.
std::string devicePath(const std::string& name);

} // namespace platform
