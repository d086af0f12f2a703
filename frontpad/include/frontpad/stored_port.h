// The port settings frontpad keeps between runs, and the rules that turn the
// stored values (possibly missing or damaged) into settings and back.
//
// Errors: none; damaged stored values fall back to the defaults.
// Threads: any; pure.
#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace frontpad {

struct StoredPort {
    std::string name = "COM1";  // "COM1".."COM8"
    int parity = 0;             // 0 none, 1 odd, 2 even
    int xcontrol = 0;           // 0 off, 1 XON/XOFF
};

// The values as they were found in the settings file; nullopt when missing
// or not of the stored type.
struct StoredValues {
    std::optional<std::string> name;    // "Name"
    std::optional<std::string> parity;  // "Parity"
    std::optional<long long> xcontrol;  // "XControl"
};

// Anything but exactly "COM1".."COM8" gives "COM1"; parity "Even" 2, "Odd" 1,
// anything else 0; XControl 0 or 1 kept, anything else 0.
StoredPort readRules(const StoredValues& values);
// "None", "Odd" or "Even" as written back.
std::string_view parityText(int parity);

// Every run starts at this speed; it is not stored.
inline constexpr int kStartSpeed = 115200;

}  // namespace frontpad
