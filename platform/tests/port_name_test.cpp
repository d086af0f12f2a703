// Port names: paths, COMn with and without a user mapping, other /dev names.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/port_name.h"

namespace platform {
namespace {

TEST(PortName, MapsNamesToDevicePaths) {
    ::unsetenv("ZAMVEX_PORT_COM1");
    ::unsetenv("ZAMVEX_PORT_COM12");
    EXPECT_EQ(devicePath("/dev/pts/4"), "/dev/pts/4");
    EXPECT_EQ(devicePath("COM1"), "/dev/ttyS0");
    EXPECT_EQ(devicePath("com12"), "/dev/ttyS11");
    EXPECT_EQ(devicePath("ttyUSB0"), "/dev/ttyUSB0");
    EXPECT_EQ(devicePath("COM0"), "/dev/COM0");  // there is no port 0
    EXPECT_EQ(devicePath("COMX"), "/dev/COMX");
    EXPECT_EQ(devicePath(""), "");
}

TEST(PortName, UserMappingWinsForItsPortOnly) {
    ::setenv("ZAMVEX_PORT_COM8", "/dev/ttyUSB1", 1);
    EXPECT_EQ(devicePath("COM8"), "/dev/ttyUSB1");
    EXPECT_EQ(devicePath("COM7"), "/dev/ttyS6");
    ::setenv("ZAMVEX_PORT_COM8", "", 1);  // an empty mapping is no mapping
    EXPECT_EQ(devicePath("COM8"), "/dev/ttyS7");
    ::unsetenv("ZAMVEX_PORT_COM8");
}

}  // namespace
}  // namespace platform
