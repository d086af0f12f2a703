// The serial port over a pty pair and with injected system-call failures:
// configuration, exclusivity, non-serial devices and errno handling.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>
#include <cstring>
#include <deque>

#include "platform/serial_port.h"
#include "testing/pty_pair.h"
#include "testing/temp_dir.h"

namespace platform {
namespace {

TEST(SerialPort, LineSettingsGiveRaw8BitWithParityAndFlowControl) {
    termios base{};
    base.c_lflag = ICANON | ECHO;
    base.c_iflag = ICRNL | INPCK | IXANY;
    base.c_cflag = CS7 | CSTOPB | PARENB;
    termios t = lineTermios(base, {19200, Parity::Even, true});
    EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_TRUE(t.c_cflag & PARENB);
    EXPECT_FALSE(t.c_cflag & PARODD);
    EXPECT_FALSE(t.c_cflag & CSTOPB);
    EXPECT_TRUE(t.c_cflag & CRTSCTS);
    EXPECT_TRUE(t.c_iflag & INPCK);
    EXPECT_TRUE(t.c_iflag & IXON);
    EXPECT_TRUE(t.c_iflag & IXOFF);
    EXPECT_FALSE(t.c_iflag & (ICRNL | IXANY));
    EXPECT_FALSE(t.c_lflag & (ICANON | ECHO));
    EXPECT_EQ(::cfgetospeed(&t), static_cast<speed_t>(B19200));
    EXPECT_EQ(::cfgetispeed(&t), static_cast<speed_t>(B19200));

    t = lineTermios(base, {9600, Parity::Odd, false});
    EXPECT_TRUE(t.c_cflag & PARENB);
    EXPECT_TRUE(t.c_cflag & PARODD);
    EXPECT_FALSE(t.c_iflag & (IXON | IXOFF));
    t = lineTermios(base, {230400, Parity::None, false});
    EXPECT_FALSE(t.c_cflag & PARENB);
    EXPECT_FALSE(t.c_iflag & INPCK);
    EXPECT_EQ(::cfgetospeed(&t), static_cast<speed_t>(B230400));
}

TEST(SerialPort, ConfigureAppliesSettingsAndRefusesBadOnes) {
    testing_util::PtyPair pty;
    SerialPort port;
    EXPECT_FALSE(port.configure({9600, Parity::None, false}).ok());  // not open
    ASSERT_TRUE(port.open(pty.slave_path()).ok());
    ASSERT_TRUE(port.configure({19200, Parity::None, true}).ok());
    termios t{};
    ASSERT_EQ(::tcgetattr(port.fd(), &t), 0);
    // A pty keeps no hardware (c_cflag) settings, but the rest must be in force.
    EXPECT_TRUE(t.c_iflag & IXON);
    EXPECT_FALSE(t.c_lflag & (ICANON | ECHO));
    EXPECT_FALSE(port.configure({12345, Parity::None, false}).ok());
    EXPECT_FALSE(port.configure({9600, static_cast<Parity>(3), false}).ok());
}

TEST(SerialPort, ModemLinesOnAPtyReadOffAndNeverFail) {
    testing_util::PtyPair pty;
    SerialPort port;
    ASSERT_TRUE(port.open(pty.slave_path()).ok());
    EXPECT_TRUE(port.setDtr(true).ok());
    EXPECT_TRUE(port.setRts(true).ok());
    EXPECT_FALSE(port.cts());
    EXPECT_FALSE(port.dsr());
    EXPECT_TRUE(port.setRts(false).ok());
    EXPECT_TRUE(port.setDtr(false).ok());
    EXPECT_TRUE(port.purge(true, true).ok());
}

TEST(SerialPort, RefusesWhatIsNotASerialDevice) {
    testing_util::TempDir dir;
    const std::string fifo = dir.file("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    testing_util::write_file(dir.file("plain"), "x");
    SerialPort port;
    EXPECT_FALSE(port.open(fifo).ok());
    EXPECT_EQ(port.failure().step, PortStep::NotSerial);
    EXPECT_FALSE(port.isOpen());
    EXPECT_FALSE(port.open(dir.file("plain")).ok());
    EXPECT_EQ(port.failure().step, PortStep::NotSerial);
    EXPECT_FALSE(port.open(dir.file("missing")).ok());
    EXPECT_EQ(port.failure().step, PortStep::Open);
    EXPECT_FALSE(port.isOpen());
}

TEST(SerialPort, APortInUseFailsUntilReleased) {
    testing_util::PtyPair pty;
    SerialPort first, second;
    ASSERT_TRUE(first.open(pty.slave_path()).ok());
    EXPECT_FALSE(second.open(pty.slave_path()).ok());
    first.close();
    EXPECT_TRUE(second.open(pty.slave_path()).ok());
    // A holder that only takes the lock (another program of the suite) counts too.
    second.close();
    int holder = ::open(pty.slave_path().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(::flock(holder, LOCK_EX | LOCK_NB), 0);
    EXPECT_FALSE(second.open(pty.slave_path()).ok());
    ::close(holder);
}

TEST(SerialPort, MovesBytesBothWays) {
    testing_util::PtyPair pty;
    SerialPort port;
    ASSERT_TRUE(port.open(pty.slave_path()).ok());
    ASSERT_TRUE(port.configure({115200, Parity::None, false}).ok());
    const std::uint8_t out[] = {0x16, 0x30, 0x00, 0x11, 0x13, 0x16};
    std::size_t n = 0;
    ASSERT_TRUE(port.write(out, sizeof out, n).ok());
    ASSERT_EQ(n, sizeof out);
    EXPECT_EQ(pty.read(sizeof out, std::chrono::seconds(5)), std::vector<std::uint8_t>(out, out + sizeof out));
    std::uint8_t buf[16];
    EXPECT_TRUE(port.read(buf, sizeof buf, n).ok());  // nothing waiting is not an error
    EXPECT_EQ(n, 0u);
    pty.write("*?");
    ASSERT_TRUE(port.waitReadable(-1, 5000).port);
    ASSERT_TRUE(port.read(buf, sizeof buf, n).ok());
    ASSERT_EQ(n, 2u);
    EXPECT_EQ(buf[0], '*');
    EXPECT_EQ(buf[1], '?');
}

// Fails the next read, write or poll calls with the queued errno values, then
// passes calls through to the kernel.
class FaultyCalls : public SysCalls {
public:
    std::deque<int> readErrors, writeErrors, pollErrors, ioctlErrors, flushErrors;
    int reads = 0;
    ssize_t read(int fd, void* buf, std::size_t size) override {
        ++reads;
        return fail(readErrors) ? -1 : SysCalls::read(fd, buf, size);
    }
    ssize_t write(int fd, const void* buf, std::size_t size) override {
        return fail(writeErrors) ? -1 : SysCalls::write(fd, buf, size);
    }
    int poll(pollfd* fds, nfds_t count, int timeoutMs) override {
        return fail(pollErrors) ? -1 : SysCalls::poll(fds, count, timeoutMs);
    }
    int ioctl(int fd, unsigned long request, void* arg) override {
        return fail(ioctlErrors) ? -1 : SysCalls::ioctl(fd, request, arg);
    }
    int tcflush(int fd, int queue) override { return fail(flushErrors) ? -1 : SysCalls::tcflush(fd, queue); }

private:
    static bool fail(std::deque<int>& errors) {
        if (errors.empty()) return false;
        errno = errors.front();
        errors.pop_front();
        return true;
    }
};

TEST(SerialPort, RetriesInterruptedCallsAndReportsRealErrors) {
    testing_util::PtyPair pty;
    FaultyCalls calls;
    SerialPort port(calls);
    ASSERT_TRUE(port.open(pty.slave_path()).ok());
    pty.write("ab");
    calls.pollErrors = {EINTR, EINTR};
    ASSERT_TRUE(port.waitReadable(-1, 5000).port);

    std::uint8_t buf[8];
    std::size_t n = 0;
    calls.readErrors = {EINTR, EINTR};
    EXPECT_TRUE(port.read(buf, 1, n).ok());
    EXPECT_EQ(n, 1u);
    EXPECT_EQ(calls.reads, 3);
    calls.readErrors = {EAGAIN};
    EXPECT_TRUE(port.read(buf, sizeof buf, n).ok());
    EXPECT_EQ(n, 0u);
    calls.readErrors = {EIO};
    const Status failed = port.read(buf, sizeof buf, n);
    EXPECT_EQ(failed.errorNumber(), EIO);
    EXPECT_EQ(failed.message(), "cannot read '" + pty.slave_path() + "': " + std::strerror(EIO));
    EXPECT_TRUE(port.read(buf, sizeof buf, n).ok());  // the byte is still there
    EXPECT_EQ(n, 1u);
    EXPECT_EQ(buf[0], 'b');

    const std::uint8_t out[] = {'x'};
    calls.writeErrors = {EINTR};
    EXPECT_TRUE(port.write(out, 1, n).ok());
    EXPECT_EQ(n, 1u);
    calls.writeErrors = {EAGAIN};
    EXPECT_TRUE(port.write(out, 1, n).ok());
    EXPECT_EQ(n, 0u);
    calls.writeErrors = {EIO};
    EXPECT_EQ(port.write(out, 1, n).errorNumber(), EIO);
    EXPECT_EQ(pty.read(1, std::chrono::seconds(5)), std::vector<std::uint8_t>{'x'});
}

// A device that refuses its modem lines or a flush for a reason other than
// having none (unplugged: EIO) says so; one without them (ENOTTY) does not.
TEST(SerialPort, ModemLineAndFlushFailuresAreReported) {
    testing_util::PtyPair pty;
    FaultyCalls calls;
    SerialPort port(calls);
    ASSERT_TRUE(port.open(pty.slave_path()).ok());
    calls.ioctlErrors = {EIO};
    const Status dtr = port.setDtr(true);
    EXPECT_EQ(dtr.message(), "cannot raise DTR on '" + pty.slave_path() + "': " + std::strerror(EIO));
    calls.ioctlErrors = {EINTR, EIO};
    EXPECT_EQ(port.setRts(false).message(), "cannot drop RTS on '" + pty.slave_path() + "': " + std::strerror(EIO));
    calls.ioctlErrors = {ENOTTY};
    EXPECT_TRUE(port.setRts(true).ok());
    calls.ioctlErrors = {EIO};
    EXPECT_FALSE(port.cts());  // unreadable lines read as off
    calls.flushErrors = {EIO};
    EXPECT_EQ(port.purge(true, false).errorNumber(), EIO);
    EXPECT_TRUE(port.purge(true, false).ok());
}

}  // namespace
}  // namespace platform
