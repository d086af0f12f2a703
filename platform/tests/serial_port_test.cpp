// The serial port over a pty pair and with injected system-call failures:
// configuration, exclusivity, non-serial devices and errno handling.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>
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
    EXPECT_FALSE(port.configure({9600, Parity::None, false}));  // not open
    ASSERT_EQ(port.open(pty.slave_path()), OpenResult::Ok);
    ASSERT_TRUE(port.configure({19200, Parity::None, true}));
    termios t{};
    ASSERT_EQ(::tcgetattr(port.fd(), &t), 0);
    // A pty keeps no hardware (c_cflag) settings, but the rest must be in force.
    EXPECT_TRUE(t.c_iflag & IXON);
    EXPECT_FALSE(t.c_lflag & (ICANON | ECHO));
    EXPECT_FALSE(port.configure({12345, Parity::None, false}));
    EXPECT_FALSE(port.configure({9600, static_cast<Parity>(3), false}));  // as a bad PortSettings::Parity gives
}

TEST(SerialPort, ModemLinesOnAPtyReadOffAndNeverFail) {
    testing_util::PtyPair pty;
    SerialPort port;
    ASSERT_EQ(port.open(pty.slave_path()), OpenResult::Ok);
    port.setDtr(true);
    port.setRts(true);
    EXPECT_FALSE(port.cts());
    EXPECT_FALSE(port.dsr());
    port.setRts(false);
    port.setDtr(false);
    port.purge(true, true);
}

TEST(SerialPort, RefusesWhatIsNotASerialDevice) {
    testing_util::TempDir dir;
    const std::string fifo = dir.file("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    testing_util::write_file(dir.file("plain"), "x");
    SerialPort port;
    EXPECT_EQ(port.open(fifo), OpenResult::NotCharDevice);
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(port.open(dir.file("plain")), OpenResult::NotCharDevice);
    EXPECT_EQ(port.open(dir.file("missing")), OpenResult::Failed);
    EXPECT_FALSE(port.isOpen());
}

TEST(SerialPort, APortInUseFailsUntilReleased) {
    testing_util::PtyPair pty;
    SerialPort first, second;
    ASSERT_EQ(first.open(pty.slave_path()), OpenResult::Ok);
    EXPECT_EQ(second.open(pty.slave_path()), OpenResult::Failed);
    first.close();
    EXPECT_EQ(second.open(pty.slave_path()), OpenResult::Ok);
    // A holder that only takes the lock (another program of the suite) counts too.
    second.close();
    int holder = ::open(pty.slave_path().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(::flock(holder, LOCK_EX | LOCK_NB), 0);
    EXPECT_EQ(second.open(pty.slave_path()), OpenResult::Failed);
    ::close(holder);
}

TEST(SerialPort, MovesBytesBothWays) {
    testing_util::PtyPair pty;
    SerialPort port;
    ASSERT_EQ(port.open(pty.slave_path()), OpenResult::Ok);
    ASSERT_TRUE(port.configure({115200, Parity::None, false}));
    const std::uint8_t out[] = {0x16, 0x30, 0x00, 0x11, 0x13, 0x16};
    ASSERT_EQ(port.write(out, sizeof out), static_cast<ssize_t>(sizeof out));
    EXPECT_EQ(pty.read(sizeof out, std::chrono::seconds(5)), std::vector<std::uint8_t>(out, out + sizeof out));
    std::uint8_t buf[16];
    EXPECT_EQ(port.read(buf, sizeof buf), 0);  // nothing waiting is not an error
    pty.write("*?");
    ASSERT_TRUE(port.waitReadable(-1, 5000).port);
    ASSERT_EQ(port.read(buf, sizeof buf), 2);
    EXPECT_EQ(buf[0], '*');
    EXPECT_EQ(buf[1], '?');
}

// Fails the next read, write or poll calls with the queued errno values, then
// passes calls through to the kernel.
class FaultyCalls : public SysCalls {
public:
    std::deque<int> readErrors, writeErrors, pollErrors;
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
    ASSERT_EQ(port.open(pty.slave_path()), OpenResult::Ok);
    pty.write("ab");
    calls.pollErrors = {EINTR, EINTR};
    ASSERT_TRUE(port.waitReadable(-1, 5000).port);

    std::uint8_t buf[8];
    calls.readErrors = {EINTR, EINTR};
    EXPECT_EQ(port.read(buf, 1), 1);
    EXPECT_EQ(calls.reads, 3);
    calls.readErrors = {EAGAIN};
    EXPECT_EQ(port.read(buf, sizeof buf), 0);
    calls.readErrors = {EIO};
    EXPECT_EQ(port.read(buf, sizeof buf), -1);
    EXPECT_EQ(errno, EIO);
    EXPECT_EQ(port.read(buf, sizeof buf), 1);  // the byte is still there
    EXPECT_EQ(buf[0], 'b');

    const std::uint8_t out[] = {'x'};
    calls.writeErrors = {EINTR};
    EXPECT_EQ(port.write(out, 1), 1);
    calls.writeErrors = {EAGAIN};
    EXPECT_EQ(port.write(out, 1), 0);
    calls.writeErrors = {EIO};
    EXPECT_EQ(port.write(out, 1), -1);
    EXPECT_EQ(pty.read(1, std::chrono::seconds(5)), std::vector<std::uint8_t>{'x'});
}

}  // namespace
}  // namespace platform
