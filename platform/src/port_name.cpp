// Port-name mapping: absolute paths, COMn with an environment override, /dev names.
#include "platform/port_name.h"

#include <cstdlib>

namespace platform {
namespace {

// The number n of "COMn", or 0 when the name is not of that form.
int comNumber(const std::string& name) {
    if (name.size() < 4 || name.size() > 6) return 0;
    for (int i = 0; i < 3; ++i)
        if ((name[i] & ~0x20) != "COM"[i]) return 0;
    int n = 0;
    for (std::size_t i = 3; i < name.size(); ++i) {
        if (name[i] < '0' || name[i] > '9') return 0;
        n = n * 10 + (name[i] - '0');
    }
    return n;
}

}  // namespace

std::string devicePath(const std::string& name) {
    if (name.empty() || name.front() == '/') return name;
    if (const int n = comNumber(name); n > 0) {
        const std::string var = "ZAMVEX_PORT_COM" + std::to_string(n);
        if (const char* mapped = std::getenv(var.c_str()); mapped && *mapped) return mapped;
        return "/dev/ttyS" + std::to_string(n - 1);
    }
    return "/dev/" + name;
}

}  // namespace platform
