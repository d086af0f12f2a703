// The probe file and the free space of a folder.
#include "platform/folder_check.h"

#include "platform/syscalls.h"

#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace platform {

Status probeFolderWritable(const std::string& folder) {
    std::string name = folder;
    if (name.empty() || name.back() != '/') name += '/';
    name += ".zamvex-probe-XXXXXX";
    const int fd = ::mkstemp(name.data());
    if (fd < 0) return Status::failure("create a file in", folder, errno);
    const char* step = nullptr;
    int error = 0;
    const char byte = 0;
    if (::write(fd, &byte, 1) != 1) {
        step = "write to";
        error = errno == 0 ? ENOSPC : errno;
    }
    if (::close(fd) != 0 && error == 0) {
        step = "write to";
        error = errno;
    }
    if (::unlink(name.c_str()) != 0 && error == 0) {
        step = "remove a file from";
        error = errno;
    }
    return error == 0 ? Status() : Status::failure(step, folder, error);
}

std::int64_t freeBytes(const std::string& folder) {
    struct statvfs st {};
    if (fileCalls().statvfs(folder.c_str(), &st) != 0) return -1;
    return static_cast<std::int64_t>(st.f_bavail) * static_cast<std::int64_t>(st.f_frsize);
}

}  // namespace platform
