// The one seam through which the serial port and every file the programs
// write (whole files, the capture writer's block files, text output) reach the kernel. Production code uses SysCalls::real(); tests derive from
// SysCalls to make a call fail with a chosen errno. Each call returns what the
// system call returns and leaves errno set as it does; nothing here retries.
//
// Errors: each call returns what the system call returns, with errno set as it
// sets it.
// Threads: any; the seam in place is swapped only while no other thread uses it
// (tests).
#pragma once
#include <poll.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/types.h>
#include <termios.h>
#include <cerrno>
#include <cstddef>

namespace platform {

class SysCalls {
public:
    virtual ~SysCalls() = default;
    virtual int open(const char* path, int flags);
    virtual int close(int fd);
    virtual ssize_t read(int fd, void* buf, std::size_t size);
    virtual ssize_t write(int fd, const void* buf, std::size_t size);
    virtual int poll(pollfd* fds, nfds_t count, int timeoutMs);
    virtual int fstat(int fd, struct stat* st);
    virtual int flock(int fd, int op);
    virtual int ioctl(int fd, unsigned long request, void* arg);
    virtual int tcgetattr(int fd, termios* t);
    virtual int tcsetattr(int fd, int when, const termios* t);
    virtual int tcflush(int fd, int queue);
    // Files: what writing a file whole and in place needs.
    virtual int create(const char* path, int flags, mode_t mode);
    virtual int fsync(int fd);
    virtual int rename(const char* from, const char* to);
    virtual int mkdir(const char* path, mode_t mode);
    virtual int unlink(const char* path);
    virtual int ftruncate(int fd, off_t length);
    virtual int fdatasync(int fd);
    virtual int fchmod(int fd, mode_t mode);
    virtual int fadvise(int fd, off_t offset, off_t length, int advice);  // posix_fadvise: an error number, not -1
    virtual int statvfs(const char* path, struct statvfs* st);

    static SysCalls& real();
};

// The calls that the programs' file writers use: the real ones unless a test
// put its own in place with ScopedFileCalls.
SysCalls& fileCalls();

// Puts `calls` in place of fileCalls() for its lifetime (tests only; one at a time).
class ScopedFileCalls {
public:
    explicit ScopedFileCalls(SysCalls& calls);
    ~ScopedFileCalls();
    ScopedFileCalls(const ScopedFileCalls&) = delete;
    ScopedFileCalls& operator=(const ScopedFileCalls&) = delete;

private:
    SysCalls* previous_;
};

// Runs a system call again while it fails with EINTR. The serial port and the
// file writers use this for every call, so signals never surface as errors.
template <typename F>
auto retryOnEintr(F&& call) {
    for (;;) {
        auto r = call();
        if (r >= 0 || errno != EINTR) return r;
    }
}

}  // namespace platform
