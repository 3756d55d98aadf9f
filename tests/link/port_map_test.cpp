// Which device each COM entry means: environment, saved mapping, default.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <cstdlib>
#include <optional>
#include <string>

#include "link/PortMap.h"
#include "link/QtSerialPort.h"

namespace tessra {
namespace {

class PortMapTest : public ::testing::Test {
protected:
    void TearDown() override {
        for (int n = 1; n <= 10; ++n) ::unsetenv(PortMap::environmentVariable(n).c_str());
    }
    std::string file() const { return folder.filePath("ports.conf").toStdString(); }

    QTemporaryDir folder;
};

TEST_F(PortMapTest, EnvironmentWinsOverSavedWhichWinsOverDefault) {
    struct Case {
        const char* what;
        std::optional<std::string> saved;
        std::optional<std::string> environment;
        PortMapping want;
    };
    const Case cases[] = {
        {"nothing set", {}, {}, {"/dev/ttyS3", PortSource::Default}},
        {"saved only", "/dev/ttyUSB0", {}, {"/dev/ttyUSB0", PortSource::Saved}},
        {"environment only", {}, "/tmp/printer", {"/tmp/printer", PortSource::Environment}},
        {"both", "/dev/ttyUSB0", "/tmp/printer", {"/tmp/printer", PortSource::Environment}},
        {"empty variable counts as unset", "/dev/ttyACM0", "", {"/dev/ttyACM0", PortSource::Saved}},
    };
    const PortMap map(file());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        map.save(4, c.saved.value_or(""));
        if (c.environment)
            ::setenv("TESSRA_COM4", c.environment->c_str(), 1);
        else
            ::unsetenv("TESSRA_COM4");
        EXPECT_EQ(map.resolve(4), c.want);
        EXPECT_EQ(QtSerialPort(map).deviceName(4), c.want.device);
        EXPECT_EQ(map.resolve(5).source, PortSource::Default) << "one entry's mapping only";
    }
}

TEST_F(PortMapTest, SavedMappingOutlivesTheProgramThatSavedIt) {
    PortMap(file()).save(1, "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0");
    PortMap(file()).save(10, "/tmp/tessra-com10");
    const PortMap later(file());
    EXPECT_EQ(later.device(1), "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0");
    EXPECT_EQ(later.device(10), "/tmp/tessra-com10");
    later.save(1, "");
    EXPECT_EQ(PortMap(file()).resolve(1), (PortMapping{"/dev/ttyS0", PortSource::Default}));
    EXPECT_EQ(PortMap(folder.filePath("other.conf").toStdString()).saved(10), "")
        << "another settings scope sees none of it";
}

TEST(PortProposalTest, NewAdapterGoesToTheFirstEntryFreeToTakeIt) {
    using P = PortMapping;
    const auto defaults = [] {
        std::vector<PortMapping> entries;
        for (int n = 1; n <= 10; ++n) entries.push_back({PortMap::defaultDevice(n)});
        return entries;
    };
    const FoundPort usb{"/dev/ttyUSB0", "FT232R USB UART", "FTDI", "A50285BI"};
    const FoundPort acm{"/dev/ttyACM0", "", "", ""};
    const FoundPort builtIn{"/dev/ttyS0", "", "", ""};
    struct Case {
        const char* what;
        std::vector<PortMapping> entries;
        std::vector<FoundPort> found;
        std::vector<std::pair<int, std::string>> want;
    };
    std::vector<Case> cases{
        {"one adapter, nothing mapped", defaults(), {usb}, {{1, "/dev/ttyUSB0"}}},
        {"a built-in port keeps its entry", defaults(), {builtIn, usb}, {{2, "/dev/ttyUSB0"}}},
        {"two adapters", defaults(), {usb, acm}, {{1, "/dev/ttyUSB0"}, {2, "/dev/ttyACM0"}}},
        {"already mapped", defaults(), {usb}, {}},
        {"no entry free", {}, {usb}, {}},
        {"a built-in port mapped away is no adapter", defaults(), {builtIn}, {}},
    };
    cases[5].entries[0] = P{"/tmp/printer", PortSource::Saved};
    cases[1].entries[0] = P{"/dev/ttyS0"};
    cases[3].entries[6] = P{"/dev/ttyUSB0", PortSource::Saved};
    cases[3].entries[0] = P{"/tmp/printer", PortSource::Environment};
    for (int n = 1; n <= 10; ++n)
        cases[4].entries.push_back({"/tmp/p" + std::to_string(n), PortSource::Saved});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(proposeNewPorts(c.entries, c.found), c.want);
    }
}

}  // namespace
}  // namespace tessra
