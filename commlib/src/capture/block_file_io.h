// The few file operations the capture writer makes on block files, behind one
// small interface so that tests can make a write come up short or fail with a
// full disk; the library runs with the plain POSIX calls.
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
    // One write of n bytes; the bytes written, or -1.
    virtual long Write(int file, const std::uint8_t* data, std::size_t n) = 0;
    // Cuts the file to `bytes`; false on failure.
    virtual bool Truncate(int file, std::int64_t bytes) = 0;
    // Closes the file; false when the system reports an error (the file is closed anyway).
    virtual bool Close(int file) = 0;
};

// open/write/ftruncate/close. Block files are created for this process alone
// (an exclusive lock) with a sequential-access hint.
BlockFileIo& SystemBlockFileIo();

} // namespace commlib::capture
