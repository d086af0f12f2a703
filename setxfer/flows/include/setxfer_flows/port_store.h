// The serial port settings the tool keeps between runs: "PORT", "PARITY" and
// "XCON" under the tool's settings key, read into and written from the record.
//
// Errors: none; missing or damaged values fall back to the defaults.
// Threads: the GUI thread.
#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace setxfer {

// The stored values, as text; QSettings in the program, a map in tests.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual std::optional<std::string> get(std::string_view name) const = 0;
    virtual void set(std::string_view name, const std::string& value) = 0;
};

struct StoredPort {
    std::string port = "COM1";
    int speed = 115200;
    int parity = 0;     // 0 none, 1 odd, 2 even
    int x_control = 0;  // 0 off, 1 XON/XOFF
};

// Values the store holds replace the defaults where they are valid: "COM1".."COM20"
// or a device path below /dev (the port dialog offers those), "NONE"/"ODD"/"EVEN",
// and "OFF" for no flow control (any other XCON text turns it on).
void load_port(const SettingsStore& store, StoredPort& port);
void save_port(SettingsStore& store, const StoredPort& port);

}  // namespace setxfer
