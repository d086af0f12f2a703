// A file written in place through the file calls' seam.
#include "platform/in_place_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <cerrno>

#include "platform/syscalls.h"

namespace platform {

InPlaceFile::~InPlaceFile() {
    if (fd_ >= 0) fileCalls().close(fd_);
}

Status InPlaceFile::failed(const char* operation, int err) const {
    return Status::failure(operation, path_, err != 0 ? err : EIO);
}

Status InPlaceFile::take(const char* operation, int fd, bool exclusive) {
    if (fd < 0) return failed(operation, errno);
    fd_ = fd;
    if (exclusive) {
        // Nobody else should write the file while it is ours; readers that
        // honour locks wait for the close.
        SysCalls& sys = fileCalls();
        (void)sys.flock(fd_, LOCK_EX | LOCK_NB);
        (void)sys.fadvise(fd_, 0, 0, POSIX_FADV_SEQUENTIAL);
    }
    return {};
}

Status InPlaceFile::create(const std::string& path, mode_t mode, bool exclusive) {
    if (fd_ >= 0) (void)close();
    path_ = path;
    SysCalls& sys = fileCalls();
    const int flags = O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC;
    return take("create", retryOnEintr([&] { return sys.create(path_.c_str(), flags, mode); }), exclusive);
}

Status InPlaceFile::openToAppend(const std::string& path, bool exclusive) {
    if (fd_ >= 0) (void)close();
    path_ = path;
    SysCalls& sys = fileCalls();
    return take("open", retryOnEintr([&] { return sys.open(path_.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC); }),
                exclusive);
}

Status InPlaceFile::write(const void* data, std::size_t size, std::size_t* written) {
    const char* p = static_cast<const char*>(data);
    std::size_t done = 0;
    Status status;
    while (done < size) {
        const ssize_t n = retryOnEintr([&] { return fileCalls().write(fd_, p + done, size - done); });
        if (n <= 0) {
            status = failed("write", n < 0 ? errno : ENOSPC);
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    if (written) *written = done;
    return status;
}

Status InPlaceFile::truncate(std::int64_t bytes) {
    if (retryOnEintr([&] { return fileCalls().ftruncate(fd_, static_cast<off_t>(bytes)); }) != 0)
        return failed("truncate", errno);
    return {};
}

Status InPlaceFile::setMode(mode_t mode) {
    if (fileCalls().fchmod(fd_, mode) != 0) return failed("change the mode of", errno);
    return {};
}

Status InPlaceFile::sync() {
    if (retryOnEintr([&] { return fileCalls().fsync(fd_); }) != 0) return failed("sync", errno);
    return {};
}

Status InPlaceFile::syncData() {
    if (retryOnEintr([&] { return fileCalls().fdatasync(fd_); }) != 0) return failed("sync", errno);
    return {};
}

Status InPlaceFile::close() {
    const int fd = fd_;
    fd_ = -1;
    if (fd < 0) return {};
    // close is not retried: the descriptor is gone after the first call.
    if (fileCalls().close(fd) != 0) return failed("close", errno);
    return {};
}

}  // namespace platform
