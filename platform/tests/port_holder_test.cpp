// Finding the program that holds a port: the /proc/locks parser, and the real
// lock of an open SerialPort on a pty.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include "platform/port_holder.h"
#include "platform/serial_port.h"
#include "testing/pty_pair.h"

namespace platform {
namespace {

TEST(PortHolder, ProcLocksLinesMatchDeviceAndInode) {
    const std::string locks =
        "1: POSIX  ADVISORY  WRITE 111 08:01:99 0 EOF\n"
        "2: FLOCK  ADVISORY  WRITE 4242 00:1a:1041 0 EOF\n"
        "2: -> FLOCK  ADVISORY  WRITE 5555 00:1a:1041 0 EOF\n"
        "garbage line\n";
    EXPECT_EQ(lockHolderIn(locks, makedev(0, 0x1a), 1041), 4242);
    EXPECT_EQ(lockHolderIn(locks, makedev(8, 1), 99), 111);
    EXPECT_FALSE(lockHolderIn(locks, makedev(0, 0x1a), 1042));
    EXPECT_FALSE(lockHolderIn(locks, makedev(0, 0x1b), 1041));
    // Only a waiting request on the file: nobody holds it yet.
    EXPECT_FALSE(lockHolderIn("2: -> FLOCK  ADVISORY  WRITE 5555 00:1a:7 0 EOF\n", makedev(0, 0x1a), 7));
}

TEST(PortHolder, AnOpenPortNamesThisProcess) {
    testing_util::PtyPair pty;
    EXPECT_FALSE(findPortHolder(pty.slave_path()));
    SerialPort port;
    ASSERT_TRUE(port.open(pty.slave_path()).ok());
    const auto holder = findPortHolder(pty.slave_path());
    ASSERT_TRUE(holder);
    EXPECT_EQ(holder->pid, ::getpid());
    EXPECT_FALSE(holder->program.empty());
    port.close();
    EXPECT_FALSE(findPortHolder(pty.slave_path()));
    EXPECT_FALSE(findPortHolder("/dev/no-such-port-here"));
}

}  // namespace
}  // namespace platform
