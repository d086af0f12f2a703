// Temporary file, sync, rename: the one way our programs write a finished file.
#include "platform/whole_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

#include "platform/syscalls.h"

namespace platform {

std::string writeErrorText(const std::string& path, int err) {
    return "cannot write '" + path + "': " + std::strerror(err);
}

WholeFile::~WholeFile() { abandon(); }

bool WholeFile::fail(int err) {
    if (errno_ == 0) {
        errno_ = err != 0 ? err : EIO;
        // Before the temporary file exists nothing was written: the file could not be made.
        error_ = fd_ < 0 && temp_.empty() ? "cannot create '" + path_ + "': " + std::strerror(errno_)
                                          : writeErrorText(path_, errno_);
    }
    abandon();
    return false;
}

bool WholeFile::open(const std::string& path) {
    abandon();
    path_ = path;
    errno_ = 0;
    error_.clear();
    // The process id keeps two programs writing the same name apart; a stale
    // temporary file of an earlier run with the same id is replaced.
    temp_ = path + "." + std::to_string(::getpid()) + ".part";
    SysCalls& sys = fileCalls();
    const int flags = O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC;
    fd_ = retryOnEintr([&] { return sys.create(temp_.c_str(), flags, 0666); });
    if (fd_ < 0) {
        temp_.clear();  // nothing of ours exists to remove
        return fail(errno);
    }
    return true;
}

bool WholeFile::write(const void* data, std::size_t size) {
    if (fd_ < 0) return false;
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = retryOnEintr([&] { return fileCalls().write(fd_, p, size); });
        if (n <= 0) return fail(n < 0 ? errno : ENOSPC);
        p += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool WholeFile::commit() {
    if (fd_ < 0) return false;
    SysCalls& sys = fileCalls();
    if (retryOnEintr([&] { return sys.fsync(fd_); }) != 0) return fail(errno);
    const int fd = fd_;
    fd_ = -1;
    // close is not retried: the descriptor is gone after the first call.
    if (sys.close(fd) != 0) return fail(errno);
    if (sys.rename(temp_.c_str(), path_.c_str()) != 0) return fail(errno);
    temp_.clear();
    return true;
}

void WholeFile::abandon() {
    SysCalls& sys = fileCalls();
    if (fd_ >= 0) sys.close(fd_);
    fd_ = -1;
    if (!temp_.empty()) sys.unlink(temp_.c_str());
    temp_.clear();
}

std::string writeWholeFile(const std::string& path, std::string_view bytes) {
    WholeFile file;
    if (file.open(path) && file.write(bytes) && file.commit()) return {};
    return file.error();
}

namespace {
bool isFolder(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}
}  // namespace

std::string probeWritable(const std::string& path) {
    WholeFile file;
    if (!file.open(path)) return file.error();
    file.abandon();
    return {};
}

NewFolders::~NewFolders() {
    // Deepest first; rmdir leaves a folder that holds anything.
    for (auto it = made_.rbegin(); it != made_.rend(); ++it) ::rmdir(it->c_str());
}

std::string NewFolders::make(const std::string& path) {
    if (path.empty() || isFolder(path)) return {};
    // Each missing folder from the top down; one that appears meanwhile is fine.
    std::size_t at = 0;
    do {
        at = path.find('/', at + 1);
        const std::string part = path.substr(0, at);
        if (isFolder(part)) continue;
        if (fileCalls().mkdir(part.c_str(), 0777) == 0) {
            made_.push_back(part);
            continue;
        }
        const int err = errno;
        if (err == EEXIST && isFolder(part)) continue;
        return "cannot make the folder '" + path + "': " + std::strerror(err);
    } while (at != std::string::npos);
    return {};
}

}  // namespace platform
