// One copy of the tool at a time: an flock on a lock file in $XDG_RUNTIME_DIR
// (or /tmp), held for the life of the process.
#pragma once
#include <string>

namespace setxfer::app {

class SingleInstance {
public:
    // name: the lock file's name, e.g. "MIRLOKE_SETXFER.lock".
    explicit SingleInstance(const std::string& name);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;
    // False when another process holds the lock.
    bool first() const { return first_; }

private:
    int fd_ = -1;
    bool first_ = true;
};

}  // namespace setxfer::app
