// poll() with no wait, then a read of whatever is there.
#include "session/stdin_watch.h"

#include <poll.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <array>
#include <cerrno>

namespace cli {

StdinWatch::StdinWatch() {
    struct stat st {};
    if (::fstat(STDIN_FILENO, &st) != 0) return;
    // /dev/null, as services and scripts give it, reads as an end at once.
    const bool dev_null = S_ISCHR(st.st_mode) && major(st.st_rdev) == 1 && minor(st.st_rdev) == 3;
    watching_ = !dev_null;
}

bool StdinWatch::ended() {
    if (!watching_ || ended_) return ended_;
    pollfd p{STDIN_FILENO, POLLIN, 0};
    if (::poll(&p, 1, 0) <= 0) return false;
    if ((p.revents & POLLIN) != 0) {
        std::array<char, 4096> dropped;
        const ssize_t n = ::read(STDIN_FILENO, dropped.data(), dropped.size());
        ended_ = n == 0 || (n < 0 && errno != EINTR && errno != EAGAIN);
    } else {
        ended_ = (p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
    }
    return ended_;
}

}  // namespace cli
