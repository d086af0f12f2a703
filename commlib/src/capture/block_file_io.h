// The few file operations the capture writer makes on block files and on
// "datainfo.mkw", behind one small interface so that tests can make any of
// them fail with the error a full disk, a read-only folder or a failing drive
// gives; the library runs with the plain POSIX calls. Failures leave errno set.
#pragma once
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <string>

namespace commlib::capture {

class BlockFileIo {
public:
    virtual ~BlockFileIo() = default;
    // Creates (or empties) the file for writing only; -1 on failure.
    virtual int Create(const std::string& path) = 0;
    // One write of up to n bytes; the bytes written (possibly fewer), or -1.
    virtual long Write(int file, const std::uint8_t* data, std::size_t n) = 0;
    // Cuts the file to `bytes`; false on failure.
    virtual bool Truncate(int file, std::int64_t bytes) = 0;
    // Puts the file's data on the disk (fdatasync); false on failure.
    virtual bool Sync(int file) = 0;
    // Closes the file; false when the system reports an error (the file is closed anyway).
    virtual bool Close(int file) = 0;
    // Replaces `to` with `from` in one step; false on failure.
    virtual bool Rename(const std::string& from, const std::string& to) = 0;
    // Opens an existing file for writing at its end; -1 on failure.
    virtual int OpenAppend(const std::string& path) {
        static_cast<void>(path);
        errno = ENOSYS;
        return -1;
    }
    // Bytes an unprivileged writer may still put on the folder's file system; -1 when unknown.
    virtual std::int64_t FreeBytes(const std::string& folder) {
        static_cast<void>(folder);
        return -1;
    }
};

// open/write/ftruncate/fdatasync/close/rename, and statvfs for the free space.
// Files are created (or opened to append to) for this process alone (an
// exclusive lock) with a sequential-access hint.
BlockFileIo& SystemBlockFileIo();

}  // namespace commlib::capture
