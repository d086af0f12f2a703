// The serial devices of this machine, as the port lists offer them.
#include <glob.h>

#include <algorithm>
#include <functional>
#include <iterator>

#include "platform/port_name.h"

namespace platform {
namespace {

static_assert(std::is_sorted(std::begin(kListedSpeeds), std::end(kListedSpeeds), std::less_equal<>()),
              "speeds ascending");

void addMatches(const char* pattern, std::vector<std::string>& out) {
    glob_t found{};
    if (::glob(pattern, 0, nullptr, &found) == 0) {   // glob sorts its matches
        for (std::size_t i = 0; i < found.gl_pathc; ++i) out.emplace_back(found.gl_pathv[i]);
    }
    ::globfree(&found);
}

} // namespace

std::vector<std::string> serialDevices() {
    std::vector<std::string> devices;
    for (const char* pattern : {"/dev/serial/by-id/*", "/dev/ttyUSB*", "/dev/ttyACM*"}) addMatches(pattern, devices);
    return devices;
}

} // namespace platform
