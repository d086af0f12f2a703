// The port scan over a made-up /dev and /sys: which devices are listed, in
// what order, with which by-id names and USB details.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/serial_ports.h"
#include "testing/temp_dir.h"

namespace {

namespace fs = std::filesystem;

void write(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path) << text << "\n";
}

// /dev and /sys of a machine with an FTDI adapter (ttyUSB0, by-id name), a
// CDC modem (ttyACM0, no serial number), ttyUSB10, ttyUSB2, one on-board
// UART (ttyS0) and three ttyS entries without one.
struct FakeMachine {
    testing_util::TempDir dir;
    platform::SerialPortRoots roots{dir.file("dev"), dir.file("sys")};

    FakeMachine() {
        const fs::path dev = roots.dev, sys = roots.sys, tty = sys / "class" / "tty";
        for (const char* name : {"ttyUSB0", "ttyUSB2", "ttyUSB10", "ttyACM0", "ttyS0", "ttyS1", "ttyS2", "ttyS3",
                                 "tty0", "ttyprintk", "null"})
            write(dev / name, "");
        const fs::path ftdi = sys / "devices" / "pci0" / "usb1" / "1-1";
        write(ftdi / "idVendor", "0403");
        write(ftdi / "idProduct", "6001");
        write(ftdi / "manufacturer", "FTDI");
        write(ftdi / "product", "FT232R USB UART");
        write(ftdi / "serial", "A10K\"7");
        fs::create_directories(ftdi / "1-1:1.0" / "ttyUSB0");
        const fs::path acm = sys / "devices" / "pci0" / "usb1" / "1-2";
        write(acm / "idVendor", "2341");
        write(acm / "idProduct", "0043");
        write(acm / "product", "Modem");
        fs::create_directories(acm / "1-2:1.0");
        fs::create_directories(tty / "ttyUSB0");
        fs::create_directory_symlink(ftdi / "1-1:1.0" / "ttyUSB0", tty / "ttyUSB0" / "device");
        fs::create_directories(tty / "ttyACM0");
        fs::create_directory_symlink(acm / "1-2:1.0", tty / "ttyACM0" / "device");
        for (const char* name : {"ttyS0", "ttyS1", "ttyS2", "ttyS3"}) {
            fs::create_directories(sys / "devices" / "platform" / "serial8250" / name);
            fs::create_directories(tty / name);
            fs::create_directory_symlink(sys / "devices" / "platform" / "serial8250" / name, tty / name / "device");
            write(tty / name / "type", std::string(name) == "ttyS0" ? "4" : "0");
        }
        fs::create_directories(dev / "serial" / "by-id");
        fs::create_symlink("../../ttyUSB0", dev / "serial" / "by-id" / "usb-FTDI_FT232R_USB_UART_A10K-if00-port0");
        fs::create_symlink("../../ttyACM0", dev / "serial" / "by-id" / "usb-Arduino_Modem-if00");
    }
};

TEST(SerialPorts, AdaptersThenUartsInNumberOrderWithTheirUsbDetails) {
    FakeMachine m;
    const auto ports = platform::scanSerialPorts(m.roots);
    std::vector<std::string> devices;
    for (const auto& p : ports) devices.push_back(fs::path(p.device).filename().string());
    EXPECT_EQ(devices, (std::vector<std::string>{"ttyUSB0", "ttyUSB2", "ttyUSB10", "ttyACM0", "ttyS0"}));

    const platform::SerialPortInfo& ftdi = ports[0];
    EXPECT_EQ(ftdi.device, m.roots.dev + "/ttyUSB0");
    EXPECT_EQ(ftdi.byId,
              (std::vector<std::string>{m.roots.dev + "/serial/by-id/usb-FTDI_FT232R_USB_UART_A10K-if00-port0"}));
    EXPECT_EQ(ftdi.vendorId, "0403");
    EXPECT_EQ(ftdi.productId, "6001");
    EXPECT_EQ(ftdi.manufacturer, "FTDI");
    EXPECT_EQ(ftdi.product, "FT232R USB UART");
    EXPECT_EQ(ftdi.serial, "A10K\"7");
    const platform::SerialPortInfo& acm = ports[3];
    EXPECT_EQ(acm.vendorId, "2341");
    EXPECT_EQ(acm.product, "Modem");
    EXPECT_EQ(acm.serial, "");
    EXPECT_EQ(ports[1].vendorId, "");  // no sysfs entry: no USB details, still listed
    EXPECT_EQ(ports[4].vendorId, "");
    EXPECT_TRUE(ports[4].byId.empty());

    // The dialog's list: stable names first, then every device.
    const auto names = platform::serialPortNames(ports);
    ASSERT_EQ(names.size(), 7u);
    EXPECT_EQ(names[0], m.roots.dev + "/serial/by-id/usb-Arduino_Modem-if00");
    EXPECT_EQ(names[1], m.roots.dev + "/serial/by-id/usb-FTDI_FT232R_USB_UART_A10K-if00-port0");
    EXPECT_EQ(names[2], m.roots.dev + "/ttyUSB0");
    EXPECT_EQ(names[6], m.roots.dev + "/ttyS0");
}

TEST(SerialPorts, NothingToFindIsAnEmptyListAndDanglingNamesAreSkipped) {
    testing_util::TempDir dir;
    EXPECT_TRUE(platform::scanSerialPorts({dir.file("no-dev"), dir.file("no-sys")}).empty());
    fs::create_directories(dir.file("dev/serial/by-id"));
    fs::create_symlink("../../ttyUSB7", dir.file("dev/serial/by-id/usb-gone"));
    EXPECT_TRUE(platform::scanSerialPorts({dir.file("dev"), dir.file("sys")}).empty());
}

}  // namespace
