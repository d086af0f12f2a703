// flock on a lock file decides who is first; the socket only carries the
// "come to the front" request, so a stale socket file can never block a start.
#include "single_instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <QLocalSocket>

#include <cstdlib>

namespace frontpad {
namespace {

QString defaultRuntimeDir() {
    if (const char* dir = std::getenv("XDG_RUNTIME_DIR"); dir && *dir) return QString::fromLocal8Bit(dir);
    return QStringLiteral("/tmp");
}

}  // namespace

SingleInstance::SingleInstance(const QString& runtimeDir) {
    const QString dir = runtimeDir.isEmpty() ? defaultRuntimeDir() : runtimeDir;
    // /tmp is shared by every user: keep the user's own name there.
    base_ = dir + QStringLiteral("/zamvex3-frontpad-") + QString::number(::getuid());
}

SingleInstance::~SingleInstance() {
    if (server_) server_->close();
    if (lockFd_ >= 0) ::close(lockFd_);
}

bool SingleInstance::acquire() {
    if (lockFd_ >= 0) return true;
    const QByteArray path = lockPath().toLocal8Bit();
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return true;  // no place for a lock: run rather than refuse to start
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    lockFd_ = fd;
    return true;
}

void SingleInstance::listen(std::function<void()> onRaise) {
    server_ = std::make_unique<QLocalServer>();
    QLocalServer::removeServer(socketPath());  // ours alone while we hold the lock
    if (!server_->listen(socketPath())) return;
    QLocalServer* server = server_.get();
    QObject::connect(server, &QLocalServer::newConnection, server, [server, onRaise] {
        while (QLocalSocket* peer = server->nextPendingConnection()) {
            QObject::connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
            QObject::connect(peer, &QLocalSocket::readyRead, peer, [peer, onRaise] {
                if (peer->readAll().contains("raise")) onRaise();
            });
        }
    });
}

bool SingleInstance::askFirstToRaise() const {
    QLocalSocket socket;
    socket.connectToServer(socketPath());
    if (!socket.waitForConnected(1000)) return false;
    socket.write("raise\n");
    const bool sent = socket.waitForBytesWritten(1000);
    socket.disconnectFromServer();
    return sent;
}

}  // namespace frontpad
