// A file written where it lies, every call through fileCalls(): the capture
// writer's block files, which grow while a measurement runs, and the
// temporary file behind WholeFile. Writes are whole (a short write goes on
// with the rest) and EINTR is retried.
//
// Errors: each step returns a Status naming the step and the path with the
// system's error; a write that wrote nothing counts as ENOSPC.
// Threads: one thread per file.
#pragma once
#include <sys/types.h>
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/status.h"

namespace platform {

class InPlaceFile {
public:
    InPlaceFile() = default;
    ~InPlaceFile();  // closes an open file, without a sync
    InPlaceFile(const InPlaceFile&) = delete;
    InPlaceFile& operator=(const InPlaceFile&) = delete;

    // Creates or empties `path` for writing (`mode` before the umask). With
    // `exclusive` the file is locked for this process (advisory: a file system
    // without locks still writes) and read ahead as a sequential file.
    Status create(const std::string& path, mode_t mode, bool exclusive = false);
    // Opens an existing file to write at its end, like create otherwise.
    Status openToAppend(const std::string& path, bool exclusive = false);
    // Writes all `size` bytes; `written`, when given, gets how many reached
    // the file, also when a later part failed.
    Status write(const void* data, std::size_t size, std::size_t* written = nullptr);
    Status truncate(std::int64_t bytes);
    Status setMode(mode_t mode);  // exactly, whatever the umask
    Status sync();                // fsync: data and size on the disk
    Status syncData();            // fdatasync: the data, and the size when it grew
    // Closes the file; it is closed also when this reports a failure.
    Status close();

    bool isOpen() const { return fd_ >= 0; }
    const std::string& path() const { return path_; }

private:
    Status take(const char* operation, int fd, bool exclusive);
    Status failed(const char* operation, int err) const;

    std::string path_;
    int fd_ = -1;
};

}  // namespace platform
