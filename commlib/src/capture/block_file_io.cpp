// Block files on a POSIX file system.
#include "capture/block_file_io.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>

#include "platform/folder_check.h"

namespace commlib::capture {
namespace {

// Nobody else should write the block while it is ours; readers that honour
// locks wait for the close. A file system without locks still stores.
int TakeBlockFile(int fd) {
    if (fd < 0) return -1;
    (void)::flock(fd, LOCK_EX | LOCK_NB);
    (void)::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    return fd;
}

class PosixBlockFileIo final : public BlockFileIo {
public:
    int Create(const std::string& path) override {
        return TakeBlockFile(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    }

    int OpenAppend(const std::string& path) override {
        return TakeBlockFile(::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC));
    }

    std::int64_t FreeBytes(const std::string& folder) override { return platform::freeBytes(folder); }

    long Write(int file, const std::uint8_t* data, std::size_t n) override {
        for (;;) {
            const ssize_t written = ::write(file, data, n);
            if (written >= 0 || errno != EINTR) return static_cast<long>(written);
        }
    }

    bool Truncate(int file, std::int64_t bytes) override { return ::ftruncate(file, static_cast<off_t>(bytes)) == 0; }

    bool Sync(int file) override { return ::fdatasync(file) == 0; }

    // close() is not repeated after EINTR: the descriptor is gone either way.
    bool Close(int file) override { return ::close(file) == 0; }

    bool Rename(const std::string& from, const std::string& to) override {
        return ::rename(from.c_str(), to.c_str()) == 0;
    }
};

}  // namespace

BlockFileIo& SystemBlockFileIo() {
    static PosixBlockFileIo io;
    return io;
}

}  // namespace commlib::capture
