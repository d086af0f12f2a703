// The advice for a device this user may not open: a group only when it may
// read and write the device and is not root's; otherwise the udev rule that
// gives the device to the serial group. Never "usermod -aG root".
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "platform/port_access.h"
#include "platform/port_problem.h"
#include "testing/temp_dir.h"

namespace platform {
namespace {

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

DeviceAccess device(mode_t mode, gid_t group, const std::string& groupName) {
    DeviceAccess a;
    a.path = "/dev/ttyS0";
    a.kernelName = "ttyS0";
    a.mode = S_IFCHR | mode;
    a.ownerName = "root";
    a.group = group;
    a.groupName = groupName;
    return a;
}

TEST(PortAccess, AGroupOnlyWhenItMayReadAndWriteAndIsNotRoot) {
    EXPECT_EQ(accessAdvice(device(0660, 20, "dialout")),
              "Add yourself to the 'dialout' group: sudo usermod -aG dialout $USER, then log in again.");

    const std::string rootOnly = accessAdvice(device(0600, 0, "root"));
    const std::string rootGroup = accessAdvice(device(0660, 0, "root"));
    for (const std::string& text : {rootOnly, rootGroup}) {
        EXPECT_FALSE(has(text, "usermod -aG root")) << text;
        EXPECT_TRUE(has(text, "Only its owner 'root' may open it")) << text;
        EXPECT_TRUE(has(text,
                        "/etc/udev/rules.d/60-zamvex.rules, then 'sudo udevadm trigger':\n"
                        "  KERNEL==\"ttyS0\", GROUP=\"dialout\", MODE=\"0660\"\n"
                        "and you join that group: sudo usermod -aG dialout $USER, then log in again."))
            << text;
    }
    EXPECT_TRUE(has(rootOnly, "(mode 600, group 'root')")) << rootOnly;
    EXPECT_TRUE(has(rootGroup, "(mode 660, group 'root')")) << rootGroup;
    // A group that may only read is no help either.
    EXPECT_TRUE(has(accessAdvice(device(0640, 20, "dialout")), "Only its owner 'root' may open it"));
    DeviceAccess mine = device(0400, 20, "dialout");
    mine.user = true;
    EXPECT_EQ(accessAdvice(mine),
              "It is yours, but its mode (400) does not let you read and write it: chmod u+rw "
              "'/dev/ttyS0'.");
}

TEST(PortAccess, UsbAdaptersByIdsAndAMembershipNotYetInThisLogin) {
    DeviceAccess usb = device(0600, 0, "root");
    usb.kernelName = "ttyUSB0";
    usb.vendorId = "0403";
    usb.productId = "6001";
    usb.serialGroup = "uucp";
    EXPECT_TRUE(has(accessAdvice(usb),
                    "\n  SUBSYSTEM==\"tty\", ATTRS{idVendor}==\"0403\", ATTRS{idProduct}==\"6001\", "
                    "GROUP=\"uucp\", MODE=\"0660\"\n"))
        << accessAdvice(usb);

    DeviceAccess joined = device(0660, 20, "dialout");
    joined.memberOnRecord = true;
    EXPECT_EQ(accessAdvice(joined),
              "You are in the 'dialout' group, but this login is not yet: log out and in again "
              "(or start a shell with 'newgrp dialout').");
}

TEST(PortAccess, ARealDeviceIsReadAsItIs) {
    testing_util::TempDir dir;
    const std::string path = dir.file("ttyFAKE");
    testing_util::write_file(path, std::string("x"));
    ASSERT_EQ(::chmod(path.c_str(), 0600), 0);
    const auto a = deviceAccess(path);
    ASSERT_TRUE(a);
    EXPECT_EQ(a->kernelName, "ttyFAKE");
    EXPECT_EQ(a->mode & 0777, 0600u);
    EXPECT_TRUE(a->user);
    EXPECT_TRUE(a->memberNow);  // a new file takes the creator's group
    EXPECT_EQ(accessProblem(path), "");
    EXPECT_FALSE(deviceAccess(dir.file("missing")));
    EXPECT_EQ(accessAdvice(dir.file("missing")), "");
    // The open-time message puts the same advice after the system's reason.
    EXPECT_EQ(portProblemText(path, {PortStep::Open, EACCES}, 9600),
              "No permission to open '" + path + "' (Permission denied).\n" + accessAdvice(path));
}

}  // namespace
}  // namespace platform
