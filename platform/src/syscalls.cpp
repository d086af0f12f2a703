// The real system calls behind the seam of the serial port and the file writers.
#include "platform/syscalls.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>
#include <atomic>
#include <cerrno>
#include <cstdio>

namespace platform {

int SysCalls::open(const char* path, int flags) { return ::open(path, flags); }
int SysCalls::close(int fd) { return ::close(fd); }
ssize_t SysCalls::read(int fd, void* buf, std::size_t size) { return ::read(fd, buf, size); }
ssize_t SysCalls::write(int fd, const void* buf, std::size_t size) { return ::write(fd, buf, size); }
int SysCalls::poll(pollfd* fds, nfds_t count, int timeoutMs) { return ::poll(fds, count, timeoutMs); }
int SysCalls::fstat(int fd, struct stat* st) { return ::fstat(fd, st); }
int SysCalls::flock(int fd, int op) { return ::flock(fd, op); }
int SysCalls::ioctl(int fd, unsigned long request, void* arg) { return ::ioctl(fd, request, arg); }
int SysCalls::tcgetattr(int fd, termios* t) { return ::tcgetattr(fd, t); }
int SysCalls::tcsetattr(int fd, int when, const termios* t) { return ::tcsetattr(fd, when, t); }
int SysCalls::tcflush(int fd, int queue) { return ::tcflush(fd, queue); }
int SysCalls::create(const char* path, int flags, mode_t mode) { return ::open(path, flags, mode); }
int SysCalls::fsync(int fd) { return ::fsync(fd); }
int SysCalls::rename(const char* from, const char* to) { return ::rename(from, to); }
int SysCalls::mkdir(const char* path, mode_t mode) { return ::mkdir(path, mode); }
int SysCalls::unlink(const char* path) { return ::unlink(path); }
int SysCalls::ftruncate(int fd, off_t length) { return ::ftruncate(fd, length); }
int SysCalls::fdatasync(int fd) { return ::fdatasync(fd); }
int SysCalls::fchmod(int fd, mode_t mode) { return ::fchmod(fd, mode); }
int SysCalls::fadvise(int fd, off_t offset, off_t length, int advice) {
    return ::posix_fadvise(fd, offset, length, advice);
}
int SysCalls::statvfs(const char* path, struct statvfs* st) { return ::statvfs(path, st); }

SysCalls& SysCalls::real() {
    static SysCalls calls;
    return calls;
}

namespace {
std::atomic<SysCalls*> fileCallsInUse{nullptr};
}  // namespace

SysCalls& fileCalls() {
    SysCalls* calls = fileCallsInUse.load();
    return calls ? *calls : SysCalls::real();
}

ScopedFileCalls::ScopedFileCalls(SysCalls& calls) : previous_(fileCallsInUse.exchange(&calls)) {}
ScopedFileCalls::~ScopedFileCalls() { fileCallsInUse.store(previous_); }

}  // namespace platform
