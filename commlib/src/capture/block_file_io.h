// The few file operations the capture writer makes on block files and on
// "datainfo.mkw", behind one small interface so that tests can make any of
// them fail with the error a full disk, a read-only folder or a failing drive
// gives; the library runs with the plain POSIX calls. Failures leave errno set.
#pragma once
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
};

// open/write/ftruncate/fdatasync/close/rename. Files are created for this
// process alone (an exclusive lock) with a sequential-access hint.
BlockFileIo& SystemBlockFileIo();

}  // namespace commlib::capture
