// Finds the owner of a port's lock in /proc/locks. Each line reads
//   "1: FLOCK  ADVISORY  WRITE 4242 00:05:1041 0 EOF"
// with the file's device as hexadecimal major:minor and its inode in decimal.
#include "platform/port_holder.h"

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <fstream>
#include <sstream>

namespace platform {

namespace {

std::string readFirstLine(const std::string& path) {
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    return line;
}

// "00:05:1041" -> device and inode; false when the field is malformed.
bool parseFileId(const std::string& field, dev_t& device, ino_t& inode) {
    unsigned major = 0, minor = 0;
    unsigned long long ino = 0;
    char colon1 = 0, colon2 = 0;
    std::istringstream in(field);
    in >> std::hex >> major >> colon1 >> minor >> colon2 >> std::dec >> ino;
    if (!in || colon1 != ':' || colon2 != ':') return false;
    device = makedev(major, minor);
    inode = static_cast<ino_t>(ino);
    return true;
}

}  // namespace

std::optional<pid_t> lockHolderIn(std::string_view procLocks, dev_t device, ino_t inode) {
    std::istringstream lines{std::string(procLocks)};
    std::string line;
    while (std::getline(lines, line)) {
        if (line.find("->") != std::string::npos) continue;
        std::istringstream words(line);
        std::string number, kind, mode, access, fileId;
        long pid = 0;
        if (!(words >> number >> kind >> mode >> access >> pid >> fileId)) continue;
        dev_t d{};
        ino_t i{};
        if (pid > 0 && parseFileId(fileId, d, i) && d == device && i == inode) return static_cast<pid_t>(pid);
    }
    return std::nullopt;
}

std::optional<PortHolder> findPortHolder(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return std::nullopt;
    std::ifstream in("/proc/locks");
    std::stringstream text;
    text << in.rdbuf();
    const auto pid = lockHolderIn(text.str(), st.st_dev, st.st_ino);
    if (!pid) return std::nullopt;
    return PortHolder{*pid, readFirstLine("/proc/" + std::to_string(*pid) + "/comm")};
}

}  // namespace platform
