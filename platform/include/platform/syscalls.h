// The one seam through which the serial port reaches the kernel. Production
// code uses SysCalls::real(); tests derive from SysCalls to make read, write
// or poll fail with EINTR, EAGAIN or EIO. Each call returns what the system
// call returns and leaves errno set as it does; nothing here retries.
#pragma once
#include <cerrno>
#include <cstddef>
#include <poll.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <termios.h>

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

    static SysCalls& real();
};

// Runs a system call again while it fails with EINTR. The serial port uses
// this in one place for every call, so signals never surface as errors.
template <typename F>
auto retryOnEintr(F&& call) {
    for (;;) {
        auto r = call();
        if (r >= 0 || errno != EINTR) return r;
    }
}

} // namespace platform
