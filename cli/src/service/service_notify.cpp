// The notification socket: a path, or an abstract name written with '@' first.
#include "service/service_notify.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstddef>
#include <cstdlib>
#include <cstring>

namespace cli {

ServiceNotifier::ServiceNotifier() {
    const char* socket_name = std::getenv("NOTIFY_SOCKET");
    if (!socket_name || (socket_name[0] != '/' && socket_name[0] != '@')) return;
    address_ = socket_name;
    if (address_[0] == '@') address_[0] = '\0';
    if (address_.size() >= sizeof(sockaddr_un::sun_path)) return;
    fd_ = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    // The watchdog is this process's only when WATCHDOG_PID, if set, names it.
    const char* usec = std::getenv("WATCHDOG_USEC");
    const char* pid = std::getenv("WATCHDOG_PID");
    const long long interval = usec ? std::atoll(usec) : 0;
    if (interval > 0 && (!pid || std::atoll(pid) == static_cast<long long>(::getpid())))
        watchdog_ = std::chrono::microseconds(interval);
}

ServiceNotifier::~ServiceNotifier() {
    if (fd_ >= 0) ::close(fd_);
}

void ServiceNotifier::send(const std::string& message) {
    if (fd_ < 0) return;
    sockaddr_un to{};
    to.sun_family = AF_UNIX;
    std::memcpy(to.sun_path, address_.data(), address_.size());
    const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + address_.size());
    (void)::sendto(fd_, message.data(), message.size(), MSG_NOSIGNAL, reinterpret_cast<const sockaddr*>(&to), length);
}

}  // namespace cli
