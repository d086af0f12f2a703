// Read rules of the stored port settings: only the eight port names the
// library's dialog offers are taken, so a damaged file cannot name a device.
#include "frontpad/stored_port.h"

#include <array>

namespace frontpad {
namespace {

constexpr std::array<std::string_view, 8> kPortNames = {"COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7", "COM8"};
constexpr std::array<std::string_view, 3> kParityNames = {"None", "Odd", "Even"};

bool knownPort(const std::string& name) {
    if (name.size() > 31) return false;
    for (auto known : kPortNames)
        if (name == known) return true;
    return false;
}

}  // namespace

StoredPort readRules(const StoredValues& values) {
    StoredPort port;
    if (values.name && knownPort(*values.name)) port.name = *values.name;
    if (values.parity == "Even") port.parity = 2;
    else if (values.parity == "Odd") port.parity = 1;
    if (values.xcontrol == 1) port.xcontrol = 1;
    return port;
}

std::string_view parityText(int parity) { return parity == 1 || parity == 2 ? kParityNames[parity] : kParityNames[0]; }

}  // namespace frontpad
