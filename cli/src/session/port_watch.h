// Waiting for a serial port's path to be there again: a /dev/serial/by-id
// name, a device node or a link to one that comes back when the adapter is
// plugged in (or a simulator is started again on the same --link path). The
// folders on the way to the path are watched with inotify, so the wait costs
// nothing while nothing happens there; SIGINT and SIGTERM end it at once.
//
// Errors: a watch that cannot be set up falls back to waking once a second.
// Threads: the main thread (it unblocks the interrupt signals only while it waits).
#pragma once
#include <chrono>
#include <string>

namespace cli {

class PortWatch {
public:
    explicit PortWatch(std::string path);
    ~PortWatch();
    PortWatch(const PortWatch&) = delete;
    PortWatch& operator=(const PortWatch&) = delete;

    // The path leads to something (links followed).
    bool present() const;
    // Returns once `limit` has passed, something changed on the way to the
    // path (look at present()), or an interrupt came (interrupted() says so).
    void wait(std::chrono::milliseconds limit);

private:
    void watch_nearest_folder();

    std::string path_;
    int fd_ = -1;
    int watch_ = -1;
    std::string watched_;
};

}  // namespace cli
