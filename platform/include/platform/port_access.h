// What to do about a serial device this user may not open: join the group
// that may read and write it, or, when no group but root may, have an
// administrator give the device to the dialout group with a udev rule.
// Joining root's group is never the advice. `zamvex ports`, the open-time
// message and the port dialog all say it this way.
//
// Errors: none; a device that cannot be examined gets no advice.
// Threads: any, one call at a time (the user database answers in static storage).
#pragma once
#include <sys/types.h>

#include <optional>
#include <string>

namespace platform {

// What decides the advice, as stat, the user database and the port scan give it.
struct DeviceAccess {
    std::string path;                     // "/dev/ttyUSB0" (a by-id name resolves to it)
    std::string kernelName;               // "ttyUSB0"
    mode_t mode = 0;                      // st_mode
    std::string ownerName;                // "root"
    gid_t group = 0;                      // st_gid
    std::string groupName;                // "dialout"; empty when the group has no name
    bool user = false;                    // the device belongs to this user
    bool memberOnRecord = false;          // the user database lists this user in the group
    bool memberNow = false;               // this login has the group already
    std::string vendorId, productId;      // USB ids from sysfs ("0403", "6001"); empty for other ports
    std::string serialGroup = "dialout";  // the system's group for serial devices (dialout, else uucp)
};

// Reads the device's mode, owner and group, this user's groups and the port's
// USB ids. nullopt when the device cannot be examined (stat failed).
std::optional<DeviceAccess> deviceAccess(const std::string& path);

// What to do, one or more lines without a final newline.
std::string accessAdvice(const DeviceAccess& access);

// The same for a device path; empty when it cannot be examined.
std::string accessAdvice(const std::string& path);

// Empty when this user may read and write the device; else "you may not open
// it (<reason>). <advice>".
std::string accessProblem(const std::string& path);

}  // namespace platform
