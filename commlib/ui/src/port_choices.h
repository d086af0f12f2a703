// What the serial port dialog offers: the port names (COM1 to COM8, then the
// serial devices of this machine), the speeds, parities and X-Control choices,
// and which entry a stored setting selects.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "platform/port_name.h"

namespace commlib::ui {

// This machine's serial ports as `zamvex ports` finds them: the by-id names
// first, then the devices (ttyUSB, ttyACM, ttyS with a UART).
std::vector<std::string> SerialDevices();
// "COM1" .. "COM8" in this order, then the given devices.
std::vector<std::string> PortList(const std::vector<std::string>& devices);
// The last entry equal to name regardless of case; entry 0 when none is.
int PortIndex(const std::vector<std::string>& list, std::string_view name);
// What stops this user from opening the port, and what to do about it (as
// `zamvex ports` says it); empty when nothing does or there is no such device.
std::string PortAccessText(const std::string& portName);

// The entry of platform::ListedSpeeds showing speed, or -1 when it is not listed.
int SpeedIndex(int speed);

// A list entry: its text from the string table, and the setting it stands for.
struct Choice {
    int stringId;
    int value;
};
inline constexpr Choice ParityChoices[] = {
    {1, 0},  // "None"
    {2, 2},  // "Even"
    {3, 1},  // "Odd"
};
inline constexpr Choice XControlChoices[] = {
    {4, 0},  // "Disable"
    {5, 1},  // "Enable"
};
// The entry for a stored parity; -1 (nothing selected) for a value not listed.
int ParityIndex(int parity);
// "Enable" for any value but 0.
int XControlIndex(int xControl);

}  // namespace commlib::ui
