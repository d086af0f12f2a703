// A serial port on termios, configured the way the analyzer's line needs it:
// 8 data bits, parity, one stop bit, CTS output flow, optional XON/XOFF,
// DTR/RTS control and CTS/DSR status. Opened exclusively and non-blocking.
// One thread opens, configures and closes; after that one thread may read and
// another write at the same time (the modem-line calls are safe from any).
//
// Errors: false with the system's errno kept (error()) and the failed step
// named; nothing throws.
// Threads: one thread opens, configures and closes; then one may read while
// another writes.
#pragma once
#include <sys/types.h>
#include <termios.h>
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/port_problem.h"
#include "platform/syscalls.h"

namespace platform {

enum class OpenResult {
    Ok,
    NotCharDevice,  // opened, but not a serial (character) device; closed again
    Failed,         // failure() says which step failed and why
};

// Numbered as the analyzer's port settings (PortSettings::Parity) number them.
enum class Parity { None = 0, Odd = 1, Even = 2 };

struct LineSettings {
    int speed = 9600;  // baud
    Parity parity = Parity::None;
    bool xonXoff = false;  // XON/XOFF flow control both ways
};

// What a wait on the port found.
struct PortReady {
    bool port = false;    // readable (or writable, for waitWritable)
    bool other = false;   // the extra descriptor is readable
    bool hangup = false;  // the port reported hang-up or an error
};

class SerialPort {
public:
    explicit SerialPort(SysCalls& sys = SysCalls::real()) : sys_(sys) {}
    ~SerialPort() { close(); }
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;

    // Opens the device path for reading and writing. A port that another
    // process holds (flock, or exclusive mode for non-root) fails.
    OpenResult open(const std::string& path);
    // Raw 8-bit line with the given settings; false when the device refuses them
    // (an unsupported speed included: EINVAL).
    bool configure(const LineSettings& settings);
    // The step and errno of the last failed open or configure; None after success.
    PortFailure failure() const { return failure_; }
    // True when a read or write error means the device is gone for good
    // (unplugged, hung up), not a passing condition worth another try.
    static bool isGoneError(int err);
    void close();
    bool isOpen() const { return fd_ >= 0; }
    int fd() const { return fd_; }

    // Bytes read (> 0), 0 when nothing is waiting, -1 on an error (errno set).
    ssize_t read(std::uint8_t* buf, std::size_t size);
    // Bytes written (>= 0, may be fewer than asked), -1 on an error (errno set).
    ssize_t write(const std::uint8_t* buf, std::size_t size);
    // Waits until the port is readable (writable) or `other` is readable, or
    // the timeout (-1 = none) passed. other may be -1.
    PortReady waitReadable(int other, int timeoutMs);
    PortReady waitWritable(int other, int timeoutMs);

    // Modem lines. On a device without them (a pty) the setters do nothing and
    // the getters read as off; none of them fails.
    void setDtr(bool on);
    void setRts(bool on);
    bool cts();
    bool dsr();
    // Throws away what waits in the input and/or output queue.
    void purge(bool input, bool output);

private:
    PortReady waitFor(short events, int other, int timeoutMs);
    void setModemBit(int bit, bool on);
    int modemBits();

    bool failed(PortStep step, int err);

    SysCalls& sys_;
    int fd_ = -1;
    PortFailure failure_;
};

// The termios settings that configure() applies on top of `base`.
termios lineTermios(termios base, const LineSettings& settings);

// termios speed code for a baud rate, or 0 when the rate is not supported.
speed_t baudCode(int speed);

}  // namespace platform
