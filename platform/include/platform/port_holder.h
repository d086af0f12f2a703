// Who holds a serial port: our programs take a lock (flock) on every port they
// open, and the kernel lists each such lock in /proc/locks with the owner's
// process id and the locked file's device and inode. Used to name the program
// that keeps a port busy, and by the port list.
//
// Errors: nullopt when nobody holds the lock or /proc/locks cannot be read.
// Threads: any.
#pragma once
#include <sys/types.h>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

struct PortHolder {
    pid_t pid = 0;
    std::string program;  // /proc/<pid>/comm, empty when it cannot be read
};

// The process holding the lock on the device at `path`; nothing when the path
// does not exist or nobody holds a lock on it.
std::optional<PortHolder> findPortHolder(const std::string& path);

// The pid of the first lock holder of the file (device number, inode) in a
// /proc/locks text; waiting lock requests ("->" lines) are skipped.
std::optional<pid_t> lockHolderIn(std::string_view procLocks, dev_t device, ino_t inode);

}  // namespace platform
