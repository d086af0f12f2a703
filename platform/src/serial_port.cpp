// The serial port on termios. Every system call goes through the SysCalls
// seam and retryOnEintr, so tests can inject failures.
#include "platform/serial_port.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>

namespace platform {

Status SerialPort::failed(PortStep step, const char* operation, int err) {
    failure_ = {step, err};
    return Status::failure(operation, path_, err);
}

Status SerialPort::notOpen(const char* operation) const {
    return Status::failure(operation, path_, "the port is not open");
}

bool SerialPort::isGoneError(int err) { return err == EIO || err == ENXIO || err == ENODEV || err == EPIPE; }

Status SerialPort::open(const std::string& path) {
    close();
    failure_ = {};
    path_ = path;
    const int fd = retryOnEintr([&] { return sys_.open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC); });
    if (fd < 0) return failed(PortStep::Open, "open", errno);
    struct stat st {};
    if (sys_.fstat(fd, &st) != 0 || !S_ISCHR(st.st_mode)) {
        sys_.close(fd);
        failure_ = {PortStep::NotSerial, ENOTTY};
        return Status::failure("open", path_, "not a serial device");
    }
    // flock keeps out every cooperating program (ours included, root or not);
    // exclusive mode keeps out other openers of a tty as far as the kernel
    // allows. A device without it (ENOTTY) is no terminal, and configure
    // says so next.
    int err = 0;
    if (retryOnEintr([&] { return sys_.flock(fd, LOCK_EX | LOCK_NB); }) != 0 ||
        (retryOnEintr([&] { return sys_.ioctl(fd, TIOCEXCL, nullptr); }) != 0 && errno != ENOTTY))
        err = errno;
    if (err != 0) {
        sys_.close(fd);
        return failed(PortStep::Lock, "lock", err);
    }
    fd_ = fd;
    return {};
}

void SerialPort::close() {
    if (fd_ < 0) return;
    // Leaving exclusive mode can only fail for a descriptor that is closed
    // next anyway; the close ends the mode with it.
    sys_.ioctl(fd_, TIOCNXCL, nullptr);
    sys_.close(fd_);  // never retried: the descriptor is gone after the first call
    fd_ = -1;
}

termios lineTermios(termios t, const LineSettings& s) {
    ::cfmakeraw(&t);
    t.c_cflag &= ~(CSIZE | CSTOPB | PARENB | PARODD | HUPCL);
    t.c_cflag |= CS8 | CREAD | CLOCAL | CRTSCTS;
    t.c_iflag &= ~(IXON | IXOFF | IXANY | INPCK);
    if (s.parity != Parity::None) {
        t.c_cflag |= PARENB | (s.parity == Parity::Odd ? PARODD : 0);
        t.c_iflag |= INPCK;  // parity checking on exactly when parity is used
    }
    if (s.xonXoff) t.c_iflag |= IXON | IXOFF;
    t.c_cc[VSTART] = 0x11;
    t.c_cc[VSTOP] = 0x13;
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    const speed_t code = baudCode(s.speed);
    ::cfsetispeed(&t, code);
    ::cfsetospeed(&t, code);
    return t;
}

Status SerialPort::configure(const LineSettings& s) {
    constexpr const char* ConfigureStep = "configure";
    termios t{};
    if (fd_ < 0) return failed(PortStep::Configure, ConfigureStep, EBADF);
    const bool parityKnown = s.parity == Parity::None || s.parity == Parity::Odd || s.parity == Parity::Even;
    if (baudCode(s.speed) == 0 || !parityKnown) return failed(PortStep::Configure, ConfigureStep, EINVAL);
    if (retryOnEintr([&] { return sys_.tcgetattr(fd_, &t); }) != 0)
        return failed(PortStep::Configure, ConfigureStep, errno);
    t = lineTermios(t, s);
    if (retryOnEintr([&] { return sys_.tcsetattr(fd_, TCSANOW, &t); }) != 0)
        return failed(PortStep::Configure, ConfigureStep, errno);
    // Some adapters take any speed and quietly keep another: read it back.
    termios now{};
    if (retryOnEintr([&] { return sys_.tcgetattr(fd_, &now); }) == 0 && ::cfgetospeed(&now) != ::cfgetospeed(&t))
        return failed(PortStep::Configure, ConfigureStep, EINVAL);
    failure_ = {};
    return {};
}

Status SerialPort::read(std::uint8_t* buf, std::size_t size, std::size_t& count) {
    count = 0;
    const ssize_t n = retryOnEintr([&] { return sys_.read(fd_, buf, size); });
    if (n >= 0) count = static_cast<std::size_t>(n);
    if (n >= 0 || errno == EAGAIN || errno == EWOULDBLOCK) return {};
    return Status::failure("read", path_, errno);
}

Status SerialPort::write(const std::uint8_t* buf, std::size_t size, std::size_t& count) {
    count = 0;
    const ssize_t n = retryOnEintr([&] { return sys_.write(fd_, buf, size); });
    if (n >= 0) count = static_cast<std::size_t>(n);
    if (n >= 0 || errno == EAGAIN || errno == EWOULDBLOCK) return {};
    return Status::failure("write", path_, errno);
}

PortReady SerialPort::waitFor(short events, int other, int timeoutMs) {
    pollfd fds[2] = {{fd_, events, 0}, {other, POLLIN, 0}};
    const nfds_t count = other >= 0 ? 2 : 1;
    PortReady ready;
    if (retryOnEintr([&] { return sys_.poll(fds, count, timeoutMs); }) <= 0) return ready;
    ready.port = (fds[0].revents & events) != 0;
    ready.hangup = (fds[0].revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
    ready.other = count == 2 && (fds[1].revents & POLLIN) != 0;
    return ready;
}

PortReady SerialPort::waitReadable(int other, int timeoutMs) { return waitFor(POLLIN, other, timeoutMs); }
PortReady SerialPort::waitWritable(int other, int timeoutMs) { return waitFor(POLLOUT, other, timeoutMs); }

Status SerialPort::setModemBit(int bit, bool on) {
    const char* operation =
        bit == TIOCM_DTR ? (on ? "raise DTR on" : "drop DTR on") : (on ? "raise RTS on" : "drop RTS on");
    if (fd_ < 0) return notOpen(operation);
    if (retryOnEintr([&] { return sys_.ioctl(fd_, on ? TIOCMBIS : TIOCMBIC, &bit); }) == 0) return {};
    // A device without modem lines (a pty) has nothing to set.
    if (errno == ENOTTY || errno == EINVAL) return {};
    return Status::failure(operation, path_, errno);
}

// Unreadable lines (no modem lines, the device gone) read as off: the
// analyzer then counts as not ready, never as ready.
int SerialPort::modemBits() {
    int bits = 0;
    if (fd_ < 0 || retryOnEintr([&] { return sys_.ioctl(fd_, TIOCMGET, &bits); }) != 0) return 0;
    return bits;
}

Status SerialPort::setDtr(bool on) { return setModemBit(TIOCM_DTR, on); }
Status SerialPort::setRts(bool on) { return setModemBit(TIOCM_RTS, on); }
bool SerialPort::cts() { return (modemBits() & TIOCM_CTS) != 0; }
bool SerialPort::dsr() { return (modemBits() & TIOCM_DSR) != 0; }

Status SerialPort::purge(bool input, bool output) {
    if (!input && !output) return {};
    if (fd_ < 0) return notOpen("flush");
    if (retryOnEintr([&] { return sys_.tcflush(fd_, input && output ? TCIOFLUSH : input ? TCIFLUSH : TCOFLUSH); }) == 0)
        return {};
    return Status::failure("flush", path_, errno);
}

}  // namespace platform
