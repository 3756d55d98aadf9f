// The Ports dialog over a port map in a temporary settings file and a
// made-up list of the system's serial ports.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <cstdlib>

#include "app/PortsDialog.h"

namespace tessra::testing {
namespace {

const FoundPort kBuiltIn{"/dev/ttyS0", "", "", ""};
const FoundPort kUsb{"/dev/ttyUSB0", "FT232R USB UART", "FTDI", "A50285BI"};

class PortsDialogTest : public ::testing::Test {
protected:
    void TearDown() override { ::unsetenv("TESSRA_COM3"); }
    std::unique_ptr<app::PortsDialog> open() {
        return std::make_unique<app::PortsDialog>(
            map, [this] { return found; }, nullptr, [this] { return devices; });
    }

    QTemporaryDir folder;
    PortMap map{folder.filePath("ports.conf").toStdString()};
    std::vector<FoundPort> found;
    std::vector<SerialDevice> devices;  // their udev names
};

// Identical adapters swap ttyUSB numbers between boots; their USB sockets stay.
TEST_F(PortsDialogTest, ANewAdapterIsProposedByItsUsbSocketAndOffersItsAdapterName) {
    const std::string byPath = "/dev/serial/by-path/pci-0000:00:14.0-usb-0:2:1.0-port0";
    const std::string byId = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0";
    found = {kUsb};
    devices = {SerialDevice{kUsb, "ftdi_sio", "0403:6001", {byId}, {byPath}}};
    const auto dialog = open();
    EXPECT_EQ(dialog->chosenDevice(1), byPath);
    EXPECT_GE(dialog->deviceBox(2)->findData(QString::fromStdString(byId)), 0);
}

// Saved, typed, environment and built-in entries are taken: an adapter plugged
// in meanwhile is proposed for the first free one at Refresh, once.
TEST_F(PortsDialogTest, NewAdapterIsProposedForTheFirstFreeEntryOnce) {
    map.save(2, "/tmp/tessra-com2");
    map.save(5, "/dev/ttyACM0");
    ::setenv("TESSRA_COM3", "/tmp/tessra-env", 1);
    found = {kBuiltIn};
    const auto dialog = open();
    QTest::keyClicks(dialog->deviceBox(4)->lineEdit(), "/tmp/tessra-sim");
    found = {kBuiltIn, kUsb};
    dialog->rescan();
    EXPECT_TRUE(dialog->opensLabel(6)->text().contains("proposed"));
    dialog->rescan();

    EXPECT_EQ(dialog->chosenDevice(1), "");  // /dev/ttyS0 is a port of its own
    EXPECT_TRUE(dialog->opensLabel(3)->text().contains("TESSRA_COM3, which wins"));
    EXPECT_EQ(dialog->chosenDevice(4), "/tmp/tessra-sim");
    EXPECT_EQ(dialog->deviceBox(6)->currentText(),
              "/dev/ttyUSB0: FT232R USB UART (FTDI, serial A50285BI)");
    EXPECT_EQ(dialog->chosenDevice(7), "");
    dialog->deviceBox(5)->lineEdit()->clear();
    EXPECT_TRUE(dialog->opensLabel(5)->text().contains("/dev/ttyS4 (default)"));

    dialog->save();
    const PortMap saved(map);
    EXPECT_EQ(saved.saved(2), "/tmp/tessra-com2");
    EXPECT_EQ(saved.device(3), "/tmp/tessra-env");
    EXPECT_EQ(saved.saved(6), "/dev/ttyUSB0");
    EXPECT_EQ(saved.resolve(5).source, PortSource::Default);
}

}  // namespace
}  // namespace tessra::testing
