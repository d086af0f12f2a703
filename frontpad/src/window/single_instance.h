// Only one front panel runs at a time: the first copy holds a lock file and
// listens on a local socket; a later copy asks it to come to the front and ends.
#pragma once
#include <QLocalServer>
#include <QString>
#include <functional>
#include <memory>

namespace frontpad {

class SingleInstance {
public:
    // The lock and the socket live in runtimeDir ($XDG_RUNTIME_DIR, else /tmp when empty).
    explicit SingleInstance(const QString& runtimeDir = {});
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // True when this is the first copy (the lock is ours until destruction).
    bool acquire();
    // First copy: calls onRaise whenever a later copy starts.
    void listen(std::function<void()> onRaise);
    // Later copy: tells the first one to come to the front (waits at most a second).
    bool askFirstToRaise() const;

    QString lockPath() const { return base_ + QStringLiteral(".lock"); }
    QString socketPath() const { return base_ + QStringLiteral(".sock"); }

private:
    QString base_;
    int lockFd_ = -1;
    std::unique_ptr<QLocalServer> server_;
};

}  // namespace frontpad
