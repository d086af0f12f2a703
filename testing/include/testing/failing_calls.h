// System calls that fail on request: one chosen call (create, write, fsync,
// close, rename, mkdir, or the port's read and write) fails with a chosen errno
// the n-th time it is made; every other call reaches the kernel. "fsync"
// counts fsync and fdatasync alike (whole files use the one, block files the
// other). The one list of failing calls for every module's fault tests: they
// put it in place with platform::ScopedFileCalls or hand it to a SerialPort.
// Header-only, for tests that link the platform layer.
//
// Errors: makes calls fail on purpose; its own calls never fail.
// Threads: the failing call counts are atomic: any thread.
#pragma once
#include <atomic>
#include <cerrno>
#include <string_view>

#include "platform/syscalls.h"

namespace testing_util {

enum class Call { Create, Write, Fsync, Close, Rename, Mkdir, Read };

constexpr std::string_view call_name(Call c) {
    constexpr std::string_view kNames[] = {"create", "write", "fsync", "close", "rename", "mkdir", "read"};
    return kNames[static_cast<int>(c)];
}

class FailingCalls : public platform::SysCalls {
public:
    // Fails the `nth` call (1 = the first) of `which` with `error`, and every
    // later one too when `sticky` (a device that is gone stays gone).
    FailingCalls(Call which, int error, int nth = 1, bool sticky = false)
        : which_(which), error_(error), nth_(nth), sticky_(sticky) {}

    int create(const char* path, int flags, mode_t mode) override {
        return fails(Call::Create) ? -1 : SysCalls::create(path, flags, mode);
    }
    ssize_t write(int fd, const void* buf, std::size_t size) override {
        return fails(Call::Write) ? -1 : SysCalls::write(fd, buf, size);
    }
    ssize_t read(int fd, void* buf, std::size_t size) override {
        return fails(Call::Read) ? -1 : SysCalls::read(fd, buf, size);
    }
    int fsync(int fd) override { return fails(Call::Fsync) ? -1 : SysCalls::fsync(fd); }
    int fdatasync(int fd) override { return fails(Call::Fsync) ? -1 : SysCalls::fdatasync(fd); }
    int close(int fd) override {
        // A failing close still releases the descriptor, as the kernel's does.
        if (!fails(Call::Close)) return SysCalls::close(fd);
        const int error = errno;
        SysCalls::close(fd);
        errno = error;
        return -1;
    }
    int rename(const char* from, const char* to) override {
        return fails(Call::Rename) ? -1 : SysCalls::rename(from, to);
    }
    int mkdir(const char* path, mode_t mode) override { return fails(Call::Mkdir) ? -1 : SysCalls::mkdir(path, mode); }

    int failures() const { return failures_.load(); }

private:
    bool fails(Call c) {
        if (c != which_) return false;
        const int n = ++seen_;
        if (n < nth_ || (n > nth_ && !sticky_)) return false;
        ++failures_;
        errno = error_;
        return true;
    }

    Call which_;
    int error_;
    int nth_;
    bool sticky_;
    std::atomic<int> seen_{0};
    std::atomic<int> failures_{0};
};

}  // namespace testing_util
