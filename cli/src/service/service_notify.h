// Messages to the service manager over its notification socket (the
// datagram protocol of $NOTIFY_SOCKET): READY=1 once the work runs, STATUS=
// lines, WATCHDOG=1 while the work is alive (when $WATCHDOG_USEC asks for
// it), STOPPING=1 at the end. Without $NOTIFY_SOCKET nothing is sent, so a
// command runs unchanged outside a service.
//
// Errors: none; a message that cannot be sent is dropped (the manager, not
// the capture, is then at fault). Threads: the main thread.
#pragma once
#include <chrono>
#include <optional>
#include <string>

namespace cli {

class ServiceNotifier {
public:
    // Reads NOTIFY_SOCKET, WATCHDOG_USEC and WATCHDOG_PID.
    ServiceNotifier();
    ~ServiceNotifier();
    ServiceNotifier(const ServiceNotifier&) = delete;
    ServiceNotifier& operator=(const ServiceNotifier&) = delete;

    bool active() const { return fd_ >= 0; }
    // The watchdog's time-out when this process must feed it.
    std::optional<std::chrono::microseconds> watchdog() const { return watchdog_; }

    // One message of "NAME=value" lines ("READY=1\nSTATUS=measuring").
    void send(const std::string& message);

private:
    int fd_ = -1;
    std::string address_;  // the socket's path ('\0' first for an abstract one)
    std::optional<std::chrono::microseconds> watchdog_;
};

}  // namespace cli
