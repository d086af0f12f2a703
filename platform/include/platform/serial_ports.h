// The serial ports of this machine: the USB adapters (ttyUSB, ttyACM) with the
// stable /dev/serial/by-id names that lead to them, and the on-board ttyS
// ports that have a UART behind them. `zamvex ports` prints this list and the
// port dialog offers it.
//
// Errors: none; folders that cannot be read are skipped.
// Threads: any.
#pragma once
#include <string>
#include <vector>

namespace platform {

struct SerialPortInfo {
    std::string device;             // "/dev/ttyUSB0"
    std::vector<std::string> byId;  // /dev/serial/by-id names leading to it, sorted
    // From the USB device above the port in sysfs; all empty for other ports.
    std::string vendorId, productId;  // "0403", "6001"
    std::string manufacturer, product, serial;
};

// Where the scan looks; tests point these at a made-up tree.
struct SerialPortRoots {
    std::string dev = "/dev";
    std::string sys = "/sys";
};

// ttyUSB*, then ttyACM*, then ttyS* ports with a UART present, each in number
// order; by-id names whose target is none of these come as ports of their own.
std::vector<SerialPortInfo> scanSerialPorts(const SerialPortRoots& roots = {});

// Every by-id name of the ports (sorted), then their device paths: the names a
// port list offers, stable names first.
std::vector<std::string> serialPortNames(const std::vector<SerialPortInfo>& ports);

}  // namespace platform
