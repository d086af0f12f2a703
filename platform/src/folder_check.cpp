// The probe file and the free space of a folder.
#include "platform/folder_check.h"

#include "platform/syscalls.h"

#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace platform {

int probeFolderWritable(const std::string& folder) {
    std::string name = folder;
    if (name.empty() || name.back() != '/') name += '/';
    name += ".zamvex-probe-XXXXXX";
    const int fd = ::mkstemp(name.data());
    if (fd < 0) return errno;
    int error = 0;
    const char byte = 0;
    if (::write(fd, &byte, 1) != 1) error = errno == 0 ? ENOSPC : errno;
    if (::close(fd) != 0 && error == 0) error = errno;
    if (::unlink(name.c_str()) != 0 && error == 0) error = errno;
    return error;
}

std::int64_t freeBytes(const std::string& folder) {
    struct statvfs st {};
    if (fileCalls().statvfs(folder.c_str(), &st) != 0) return -1;
    return static_cast<std::int64_t>(st.f_bavail) * static_cast<std::int64_t>(st.f_frsize);
}

}  // namespace platform
