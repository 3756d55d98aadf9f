// tessra-cli ports over a fake root: sysfs as the kernel lays it out for a
// USB adapter and two built-in UART slots, and udev's /dev/serial links.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "cli/CommandLine.h"
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

TEST_F(PortsCommandTest, ListsTheAdapterWithItsStableNamesAndTheEntriesThatOpenIt) {
    map.save(2, "/dev/serial/by-path/pci-0000:00:14.0-usb-0:2:1.0-port0");
    map.save(3, "/dev/ttyUSB7");
    ::setenv("TESSRA_COM4", "/dev/ttyUSB0", 1);
    std::ostringstream out, err;
    cli::Report report(out, err, true);
    cli::reportPorts(report, serialDevices(at("")), map, at(""));
    report.finish(cli::ExitCode::Done);
    const QJsonObject result =
        QJsonDocument::fromJson(QByteArray::fromStdString(out.str())).object();

    const QJsonArray devices = result["devices"].toArray();
    ASSERT_EQ(devices.size(), 2) << "the empty UART slot and the terminal are left out";
    EXPECT_EQ(devices[0].toObject()["ports"].toArray()[0].toObject()["port"], "COM1");
    const QJsonObject usb = devices[1].toObject();
    EXPECT_EQ(usb["serialNumber"].toString() + " " + usb["usbId"].toString(), "A50285BI 0403:6001");
    EXPECT_EQ(usb["byId"].toArray()[0],
              "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0");
    const QJsonArray opened = usb["ports"].toArray();
    ASSERT_EQ(opened.size(), 2);
    EXPECT_EQ(opened[0].toObject()["source"], "saved mapping");
    EXPECT_EQ(opened[1].toObject()["source"], "TESSRA_COM4");
    EXPECT_FALSE(result["ports"].toArray()[2].toObject()["found"].toBool())
        << "COM3 reaches nothing";
}

TEST(LineOption, ASpeedAloneMeansNoParity) {
    const auto line = cli::parseLineOption("115200");
    ASSERT_TRUE(line);
    EXPECT_EQ(line->speedIndex, cli::parseLineOption("115200,n")->speedIndex);
    EXPECT_EQ(line->parityIndex, 0);
}

}  // namespace
}  // namespace tessra::testing
