// The advice on a device this user may not open, from its mode, owner and
// group. A group is only suggested when it may read and write the device
// and is not root's.
#include "platform/port_access.h"

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>

#include "platform/serial_ports.h"

namespace platform {
namespace {

// Where an administrator puts the rule that gives a device to a group.
constexpr char RuleFile[] = "/etc/udev/rules.d/60-zamvex.rules";
// The groups that own serial devices, in the order distributions use them.
constexpr const char* SerialGroups[] = {"dialout", "uucp"};

bool has(const std::vector<gid_t>& groups, gid_t g) {
    return std::find(groups.begin(), groups.end(), g) != groups.end();
}

std::vector<gid_t> sessionGroups() {
    std::vector<gid_t> groups(static_cast<std::size_t>(std::max(::getgroups(0, nullptr), 0)));
    const int n = ::getgroups(static_cast<int>(groups.size()), groups.data());
    groups.resize(static_cast<std::size_t>(std::max(n, 0)));
    groups.push_back(::getegid());
    return groups;
}

std::vector<gid_t> recordedGroups() {
    const passwd* pw = ::getpwuid(::geteuid());
    if (!pw) return {};
    int n = 64;
    std::vector<gid_t> groups(static_cast<std::size_t>(n));
    if (::getgrouplist(pw->pw_name, pw->pw_gid, groups.data(), &n) < 0) {
        groups.resize(static_cast<std::size_t>(n));
        if (::getgrouplist(pw->pw_name, pw->pw_gid, groups.data(), &n) < 0) return {};
    }
    groups.resize(static_cast<std::size_t>(n));
    return groups;
}

std::string joinText(const std::string& group) { return "sudo usermod -aG " + group + " $USER, then log in again."; }

std::string modeText(mode_t mode) {
    char text[8];
    std::snprintf(text, sizeof text, "%03o", static_cast<unsigned>(mode & 0777));
    return text;
}

// The udev rule line that gives the device to the serial group: by the USB
// adapter's ids when it has them (its ttyUSB number may change), else by name.
std::string udevRule(const DeviceAccess& a) {
    const std::string match = a.vendorId.empty() ? "KERNEL==\"" + a.kernelName + "\""
                                                 : "SUBSYSTEM==\"tty\", ATTRS{idVendor}==\"" + a.vendorId +
                                                       "\", ATTRS{idProduct}==\"" + a.productId + "\"";
    return match + ", GROUP=\"" + a.serialGroup + "\", MODE=\"0660\"";
}

}  // namespace

std::optional<DeviceAccess> deviceAccess(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return std::nullopt;
    DeviceAccess a;
    std::error_code ec;
    const std::filesystem::path real = std::filesystem::canonical(path, ec);
    a.path = ec ? path : real.string();
    a.kernelName = std::filesystem::path(a.path).filename().string();
    a.mode = st.st_mode;
    a.group = st.st_gid;
    a.user = st.st_uid == ::geteuid();
    const passwd* pw = ::getpwuid(st.st_uid);
    a.ownerName = pw ? pw->pw_name : std::to_string(st.st_uid);
    if (const group* g = ::getgrgid(st.st_gid)) a.groupName = g->gr_name;
    a.memberNow = has(sessionGroups(), st.st_gid);
    a.memberOnRecord = has(recordedGroups(), st.st_gid);
    for (const SerialPortInfo& port : scanSerialPorts()) {
        if (port.device != a.path) continue;
        a.vendorId = port.vendorId;
        a.productId = port.productId;
    }
    for (const char* name : SerialGroups) {
        if (!::getgrnam(name)) continue;
        a.serialGroup = name;
        break;
    }
    return a;
}

std::string accessAdvice(const DeviceAccess& a) {
    const bool ownerMayOpen = (a.mode & (S_IRUSR | S_IWUSR)) == (S_IRUSR | S_IWUSR);
    if (a.user && !ownerMayOpen)
        return "It is yours, but its mode (" + modeText(a.mode) + ") does not let you read and write it: chmod u+rw '" +
               a.path + "'.";
    const bool groupMayOpen = (a.mode & (S_IRGRP | S_IWGRP)) == (S_IRGRP | S_IWGRP);
    if (groupMayOpen && a.group != 0 && !a.groupName.empty()) {
        if (a.memberOnRecord && !a.memberNow)
            return "You are in the '" + a.groupName + "' group, but this login is not yet: log out and in again (or " +
                   "start a shell with 'newgrp " + a.groupName + "').";
        return "Add yourself to the '" + a.groupName + "' group: " + joinText(a.groupName);
    }
    return "Only its owner '" + a.ownerName + "' may open it (mode " + modeText(a.mode) + ", group '" +
           (a.groupName.empty() ? std::to_string(a.group) : a.groupName) + "'). An administrator can give it to the '" +
           a.serialGroup + "' group with this line in " + RuleFile + ", then 'sudo udevadm trigger':\n  " +
           udevRule(a) + "\nand you join that group: " + joinText(a.serialGroup);
}

std::string accessAdvice(const std::string& path) {
    const auto access = deviceAccess(path);
    return access ? accessAdvice(*access) : std::string();
}

std::string accessProblem(const std::string& path) {
    if (::access(path.c_str(), R_OK | W_OK) == 0) return "";
    const int error = errno;
    const std::string reason = std::string("you may not open it (") + std::strerror(error) + ")";
    const std::string advice = error == EACCES || error == EPERM ? accessAdvice(path) : "";
    return advice.empty() ? reason : reason + ". " + advice;
}

}  // namespace platform
