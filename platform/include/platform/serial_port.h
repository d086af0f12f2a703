// A serial port on termios, configured the way the analyzer's line needs it:
// 8 data bits, parity, one stop bit, CTS output flow, optional XON/XOFF,
// DTR/RTS control and CTS/DSR status. Opened exclusively and non-blocking.
// One thread opens, configures and closes; after that one thread may read and
// another write at the same time (the modem-line calls are safe from any).
//
// Errors: each call that can fail returns a Status (the step, the device path,
// the system's errno); open and configure also keep the step and errno as the
// communication library reports them (failure()). Nothing throws.
// Threads: one thread opens, configures and closes; then one may read while
// another writes.
#pragma once
#include <sys/types.h>
#include <termios.h>
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/port_problem.h"
#include "platform/status.h"
#include "platform/syscalls.h"

namespace platform {

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
    // process holds (flock, or exclusive mode for non-root) fails; so does a
    // path that is no serial (character) device (failure() step NotSerial).
    Status open(const std::string& path);
    // Raw 8-bit line with the given settings; fails when the device refuses
    // them (an unsupported speed included: EINVAL).
    Status configure(const LineSettings& settings);
    // The step and errno of the last failed open or configure; None after success.
    PortFailure failure() const { return failure_; }
    // True when a read or write error means the device is gone for good
    // (unplugged, hung up), not a passing condition worth another try.
    static bool isGoneError(int err);
    void close();
    bool isOpen() const { return fd_ >= 0; }
    int fd() const { return fd_; }

    // The bytes read into count (0 when nothing is waiting, which is no error).
    Status read(std::uint8_t* buf, std::size_t size, std::size_t& count);
    // The bytes written in count (may be fewer than asked, 0 when the line
    // takes none now, which is no error).
    Status write(const std::uint8_t* buf, std::size_t size, std::size_t& count);
    // Waits until the port is readable (writable) or `other` is readable, or
    // the timeout (-1 = none) passed. other may be -1.
    PortReady waitReadable(int other, int timeoutMs);
    PortReady waitWritable(int other, int timeoutMs);

    // Modem lines. On a device without them (a pty: ENOTTY or EINVAL) the
    // setters do nothing and succeed; any other refusal (the device gone) is
    // a failure. The getters read as off when the lines cannot be read.
    Status setDtr(bool on);
    Status setRts(bool on);
    bool cts();
    bool dsr();
    // Throws away what waits in the input and/or output queue.
    Status purge(bool input, bool output);

private:
    PortReady waitFor(short events, int other, int timeoutMs);
    Status setModemBit(int bit, bool on);
    int modemBits();

    Status failed(PortStep step, const char* operation, int err);
    Status notOpen(const char* operation) const;

    SysCalls& sys_;
    int fd_ = -1;
    std::string path_;  // of the device open now, or of the last open tried
    PortFailure failure_;
};

// The termios settings that configure() applies on top of `base`.
termios lineTermios(termios base, const LineSettings& settings);

// termios speed code for a baud rate, or 0 when the rate is not supported.
speed_t baudCode(int speed);

}  // namespace platform
