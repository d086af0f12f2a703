// Reading and writing the tool's three stored port values.
#include "setxfer_flows/port_store.h"

#include <array>
#include <charconv>

namespace setxfer {
namespace {

constexpr std::array<std::string_view, 3> kParityNames = {"NONE", "ODD", "EVEN"};

bool valid_port(std::string_view name) {
    if (name.starts_with("/dev/") && name.size() > 5 && name.find("..") == std::string_view::npos) return true;
    if (!name.starts_with("COM") || name.size() < 4 || name.size() > 5 || name[3] == '0') return false;
    int n = 0;
    auto [end, ec] = std::from_chars(name.data() + 3, name.data() + name.size(), n);
    return ec == std::errc{} && end == name.data() + name.size() && n >= 1 && n <= 20;
}

}  // namespace

void load_port(const SettingsStore& store, StoredPort& port) {
    if (auto name = store.get("PORT"); name && valid_port(*name)) port.port = *name;
    if (auto parity = store.get("PARITY")) {
        for (std::size_t i = 0; i < kParityNames.size(); ++i) {
            if (*parity == kParityNames[i]) port.parity = static_cast<int>(i);
        }
    }
    if (auto xcon = store.get("XCON")) port.x_control = *xcon == "OFF" ? 0 : 1;
}

void save_port(SettingsStore& store, const StoredPort& port) {
    store.set("PORT", port.port);
    if (port.parity >= 0 && port.parity < 3)
        store.set("PARITY", std::string(kParityNames[static_cast<std::size_t>(port.parity)]));
    store.set("XCON", port.x_control ? "ON" : "OFF");
}

}  // namespace setxfer
