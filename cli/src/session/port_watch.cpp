// inotify on the deepest folder of the path that exists: a change there may
// be the path itself or the next folder on the way to it, after which the
// watch moves down.
#include "session/port_watch.h"

#include <poll.h>
#include <signal.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>

#include "session/interrupt.h"

namespace cli {
namespace {

std::string parent_of(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool is_folder(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

PortWatch::PortWatch(std::string path) : path_(std::move(path)), fd_(::inotify_init1(IN_CLOEXEC | IN_NONBLOCK)) {
    watch_nearest_folder();
}

PortWatch::~PortWatch() {
    if (fd_ >= 0) ::close(fd_);
}

bool PortWatch::present() const {
    struct stat st {};
    return ::stat(path_.c_str(), &st) == 0;
}

void PortWatch::watch_nearest_folder() {
    if (fd_ < 0) return;
    std::string folder = parent_of(path_);
    while (!is_folder(folder) && folder != "/" && folder != ".") folder = parent_of(folder);
    if (folder == watched_ && watch_ >= 0) return;
    if (watch_ >= 0) ::inotify_rm_watch(fd_, watch_);
    // Links and nodes appear (created or moved in), go, or change their owner and mode.
    watch_ = ::inotify_add_watch(fd_, folder.c_str(),
                                 IN_CREATE | IN_MOVED_TO | IN_DELETE | IN_MOVED_FROM | IN_ATTRIB | IN_DELETE_SELF);
    watched_ = watch_ >= 0 ? folder : "";
}

void PortWatch::wait(std::chrono::milliseconds limit) {
    // The interrupt signals stay blocked except inside ppoll, so one that comes
    // just before the wait still ends it.
    sigset_t block, old;
    sigemptyset(&block);
    for (const int sig : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&block, sig);
    sigprocmask(SIG_BLOCK, &block, &old);
    if (!interrupted()) {
        const bool watching = watch_ >= 0;
        const auto slice = watching ? limit : std::min(limit, std::chrono::milliseconds(1000));
        const timespec ts{static_cast<time_t>(slice.count() / 1000), static_cast<long>(slice.count() % 1000) * 1000000};
        pollfd p{fd_, POLLIN, 0};
        if (::ppoll(&p, watching ? 1 : 0, &ts, &old) > 0) {
            std::array<char, 4096> events;
            while (::read(fd_, events.data(), events.size()) > 0) {}
        }
    }
    sigprocmask(SIG_SETMASK, &old, nullptr);
    watch_nearest_folder();
}

}  // namespace cli
