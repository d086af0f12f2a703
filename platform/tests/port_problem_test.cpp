// Port failures keep the system's reason, and each one reads as what happened
// and what to do: the step and errno of real failures on ptys, /dev/null and
// missing devices, and the text of every kind of failure.
#include <gtest/gtest.h>

#include <unistd.h>
#include <cstring>

#include "platform/port_problem.h"
#include "platform/serial_port.h"
#include "testing/pty_pair.h"
#include "testing/temp_dir.h"

namespace platform {
namespace {

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(PortFailure, RealFailuresKeepTheirStepAndErrno) {
    SerialPort port;
    EXPECT_FALSE(port.open("/dev/zamvex-no-such-port").ok());
    EXPECT_EQ(port.failure().step, PortStep::Open);
    EXPECT_EQ(port.failure().error, ENOENT);

    testing_util::TempDir dir;
    testing_util::write_file(dir.file("plain"), std::string("x"));
    EXPECT_FALSE(port.open(dir.file("plain")).ok());
    EXPECT_EQ(port.failure().step, PortStep::NotSerial);

    // A character device that is no terminal opens, but takes no line settings.
    ASSERT_TRUE(port.open("/dev/null").ok());
    EXPECT_FALSE(port.configure({9600, Parity::None, false}).ok());
    EXPECT_EQ(port.failure().step, PortStep::Configure);
    EXPECT_EQ(port.failure().error, ENOTTY);
    port.close();

    testing_util::PtyPair pty;
    ASSERT_TRUE(port.open(pty.slave_path()).ok());
    EXPECT_FALSE(port.configure({12345, Parity::None, false}).ok());
    EXPECT_EQ(port.failure().step, PortStep::Configure);
    EXPECT_EQ(port.failure().error, EINVAL);
    EXPECT_TRUE(port.configure({9600, Parity::None, false}).ok());
    EXPECT_EQ(port.failure().step, PortStep::None);

    // Held by us: a second open finds the lock (root) or the exclusive mode.
    SerialPort second;
    EXPECT_FALSE(second.open(pty.slave_path()).ok());
    const PortFailure busy = second.failure();
    EXPECT_TRUE((busy.step == PortStep::Lock && busy.error == EWOULDBLOCK) ||
                (busy.step == PortStep::Open && busy.error == EBUSY))
        << static_cast<int>(busy.step) << " " << busy.error;
}

TEST(PortFailure, EachKindSaysWhatHappenedAndWhatToDo) {
    const std::string missing = portProblemText("/dev/ttyUSB7", {PortStep::Open, ENOENT}, 9600);
    EXPECT_TRUE(has(missing, "There is no serial device '/dev/ttyUSB7' (No such file or directory)")) << missing;
    EXPECT_TRUE(has(missing, "Serial ports present:") || has(missing, "No serial port adapter was found")) << missing;

    // (port_access_test checks the advice that follows for a device that exists)
    EXPECT_EQ(portProblemText("/dev/zamvex-gone", {PortStep::Open, EACCES}, 9600),
              "No permission to open '/dev/zamvex-gone' (Permission denied).");

    const std::string exclusive = portProblemText("/dev/ttyACM0", {PortStep::Open, EBUSY}, 9600);
    EXPECT_TRUE(has(exclusive, "'/dev/ttyACM0' is busy: another program opened it exclusively")) << exclusive;

    const std::string speed = portProblemText("/dev/ttyUSB0", {PortStep::Configure, EINVAL}, 12345);
    EXPECT_TRUE(has(speed, "'/dev/ttyUSB0' does not support 12345 baud.")) << speed;

    EXPECT_EQ(portProblemText("/dev/null", {PortStep::Configure, ENOTTY}, 9600),
              std::string("'/dev/null' is not a serial device (") + std::strerror(ENOTTY) + ").");
    EXPECT_EQ(portProblemText("/tmp/fifo", {PortStep::NotSerial, ENOTTY}, 9600), "'/tmp/fifo' is not a serial device.");
    EXPECT_EQ(portProblemText("/dev/ttyS1", {PortStep::Open, EIO}, 9600),
              "Cannot open '/dev/ttyS1': Input/output error.");
}

TEST(PortFailure, ABusyPortNamesTheProgramThatHoldsIt) {
    testing_util::PtyPair pty;
    SerialPort holder;
    ASSERT_TRUE(holder.open(pty.slave_path()).ok());
    const std::string text = portProblemText(pty.slave_path(), {PortStep::Lock, EWOULDBLOCK}, 9600);
    EXPECT_TRUE(has(text, "is in use by ")) << text;
    EXPECT_TRUE(has(text, "(process " + std::to_string(::getpid()) + ")")) << text;
    holder.close();
    // Nobody holds it any more (the lock went with the port): no pid to name.
    EXPECT_TRUE(
        has(portProblemText(pty.slave_path(), {PortStep::Lock, EWOULDBLOCK}, 9600), "is in use by another program."));
    // A COM name reaches the same text through its device path.
    EXPECT_TRUE(has(portProblemForName("COM1", 1, ENOENT, 9600), "'/dev/ttyS0'"));
}

}  // namespace
}  // namespace platform
