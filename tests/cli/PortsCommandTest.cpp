// tessra-cli ports over a fake root: sysfs as the kernel lays it out for a
// USB adapter and two built-in UART slots, and udev's /dev/serial links.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "cli/PortsCommand.h"

namespace tessra::testing {
namespace {

namespace fs = std::filesystem;

class PortsCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string usb = "sys/devices/pci0000:00/usb1/1-2/";
        for (const auto& [file, text] :
             std::map<std::string, std::string>{{usb + "idVendor", "0403"},
                                                {usb + "idProduct", "6001"},
                                                {usb + "product", "FT232R USB UART"},
                                                {usb + "serial", "A50285BI"},
                                                {"sys/class/tty/ttyS0/type", "4"},
                                                {"sys/class/tty/ttyS1/type", "0"},
                                                {"dev/ttyUSB0", ""},
                                                {"dev/ttyS0", ""},
                                                {"sys/class/tty/tty0/dev", "4:0"}}) {
            fs::create_directories(fs::path(at(file)).parent_path());
            std::ofstream(at(file)) << text << "\n";
        }
        fs::create_directories(at(usb + "1-2:1.0/ttyUSB0"));
        fs::create_directories(at("sys/devices/platform/serial8250"));
        link("../../../devices/pci0000:00/usb1/1-2/1-2:1.0/ttyUSB0",
             "sys/class/tty/ttyUSB0/device");
        link("../../../devices/platform/serial8250", "sys/class/tty/ttyS0/device");
        link("../../../devices/platform/serial8250", "sys/class/tty/ttyS1/device");
        link("../../ttyUSB0", "dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0");
        link("../../ttyUSB0", "dev/serial/by-path/pci-0000:00:14.0-usb-0:2:1.0-port0");
    }
    void TearDown() override { ::unsetenv("TESSRA_COM4"); }

    std::string at(const std::string& path) const {
        return root.filePath(path.c_str()).toStdString();
    }
    void link(const std::string& target, const std::string& path) const {
        fs::create_directories(fs::path(at(path)).parent_path());
        fs::create_directory_symlink(target, at(path));
    }

    QTemporaryDir root;
    QTemporaryDir settings;
    PortMap map{settings.filePath("ports.conf").toStdString()};
};

// The empty UART slot and the virtual terminal are no devices; COM3's saved
// device is gone; TESSRA_COM4 beats COM4's saved device.
TEST_F(PortsCommandTest, ListsTheDevicesWithTheirStableNamesAndTheEntriesThatOpenThem) {
    map.save(2, "/dev/serial/by-path/pci-0000:00:14.0-usb-0:2:1.0-port0");
    map.save(3, "/dev/ttyUSB7");
    map.save(4, "/dev/ttyUSB9");
    ::setenv("TESSRA_COM4", "/dev/ttyUSB0", 1);
    std::ostringstream out, err;
    cli::Report report(out, err, false);
    cli::reportPorts(report, serialDevices(at("")), map, at(""));
    report.finish(cli::ExitCode::Done);
    EXPECT_EQ(out.str(), R"(/dev/ttyS0
  COM1 opens it as /dev/ttyS0 (default)
/dev/ttyUSB0: FT232R USB UART (serial A50285BI)
  usb 0403:6001, driver unknown
  by-id:   /dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0
  by-path: /dev/serial/by-path/pci-0000:00:14.0-usb-0:2:1.0-port0
  COM2 opens it as /dev/serial/by-path/pci-0000:00:14.0-usb-0:2:1.0-port0 (saved mapping)
  COM4 opens it as /dev/ttyUSB0 (TESSRA_COM4)
COM3 opens /dev/ttyUSB7 (saved mapping), which is no serial device found
)");
}

}  // namespace
}  // namespace tessra::testing
