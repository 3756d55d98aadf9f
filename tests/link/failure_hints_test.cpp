// The advice that a port failure adds to the status line, with the facts
// about the system (the /proc tree, device groups, found ports) made up.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "fakes/LinkTest.h"
#include "link/FailureHints.h"

namespace tessra {
namespace {

namespace fs = std::filesystem;

// A /proc tree of its own: processes that hold the devices named.
class FakeProc {
public:
    FakeProc() : root_(fs::temp_directory_path() / ("tessra-proc-" + std::to_string(::getpid()))) {
        fs::remove_all(root_);
        fs::create_directories(root_ / "self");
    }
    ~FakeProc() { fs::remove_all(root_); }
    void process(int pid, const std::string& command, const std::vector<std::string>& devices) {
        const fs::path dir = root_ / std::to_string(pid);
        fs::create_directories(dir / "fd");
        std::ofstream(dir / "comm") << command << "\n";
        int fd = 3;
        for (const auto& device : devices)
            fs::create_symlink(device, dir / "fd" / std::to_string(fd++));
    }
    // The process's full command line, which names it when comm is cut short.
    void commandLine(int pid, const std::string& program) {
        std::ofstream(root_ / std::to_string(pid) / "cmdline") << program << '\0' << "--link";
    }
    // The process has the master of pseudo-terminal index open as descriptor fd.
    void ptyMaster(int pid, int fd, int index) {
        const fs::path dir = root_ / std::to_string(pid);
        fs::create_directories(dir / "fdinfo");
        fs::create_symlink("/dev/ptmx", dir / "fd" / std::to_string(fd));
        std::ofstream(dir / "fdinfo" / std::to_string(fd))
            << "pos:\t0\ntty-index:\t" << index << "\n";
    }
    const fs::path& root() const { return root_; }

private:
    fs::path root_;
};

class FailureHintTest : public testing::LinkTest {
protected:
    void SetUp() override {
        line.port = 2;  // COM3, /dev/fake3
        port.failOpen = true;
        link.firstHints().connect([this](const std::string& text) { logged.push_back(text); });
        link.setHintSources({proc.root(), [this](const std::string&) { return group; }});
    }
    std::string failWith(PortFailure kind, const std::string& reason) {
        port.openFailure = kind;
        port.openError = reason;
        link.runExclusive([&] { link.Send_Data(Bytes{0x0A, 0x00}, 1, 0); });
        EXPECT_EQ(op.messageTexts().back(), "Port Error");
        return op.statusLines.empty() ? "" : op.statusLines.back();
    }

    FakeProc proc;
    std::string group = "dialout";
    std::vector<std::string> logged;
};

TEST_F(FailureHintTest, EachKindKeepsTheReasonAndAddsItsFix) {
    struct Case {
        const char* what;
        PortFailure kind;
        std::string reason;
        std::string group;
        std::vector<FoundPort> found;
        std::vector<std::string> fix;  // parts of the advice, in order
    };
    const Case cases[] = {
        {"group that owns the device",
         PortFailure::PermissionDenied,
         "Permission denied",
         "uucp",
         {},
         {"sudo usermod -aG uucp $USER", "uucp owns /dev/fake3", "log out and in again"}},
        {"a device only root may open",
         PortFailure::PermissionDenied,
         "Permission denied",
         "root",
         {},
         {"ask an administrator for read and write access to /dev/fake3"}},
        {"busy with no holder in sight",
         PortFailure::Busy,
         "Permission error while locking the device",
         "dialout",
         {},
         {"/dev/fake3 is in use or locked by another program", "close that program"}},
        {"missing, with adapters plugged in",
         PortFailure::NoSuchDevice,
         "No such file or directory",
         "dialout",
         {{"/dev/ttyUSB0", "FT232R USB UART", "FTDI", "A50285BI"}, {"/dev/ttyACM0", "", "", ""}},
         {"Serial ports found: /dev/ttyUSB0: FT232R USB UART (FTDI, serial A50285BI); /dev/ttyACM0",
          "Tools > Ports..."}},
        {"missing, with nothing plugged in",
         PortFailure::NoSuchDevice,
         "No such file or directory",
         "dialout",
         {},
         {"No serial port found: plug in the adapter", "Tools > Ports..."}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        group = c.group;
        port.found = c.found;
        const std::string status = failWith(c.kind, c.reason);
        const bool keepsReason = status.starts_with("COM3 (/dev/fake3): " + c.reason + ". ");
        EXPECT_TRUE(keepsReason) << status;
        std::size_t at = 0;
        for (const std::string& part : c.fix) {
            at = status.find(part, at);
            EXPECT_NE(at, std::string::npos) << "'" << part << "' in " << status;
        }
    }
}

TEST_F(FailureHintTest, BusyNamesTheProcessesThatHoldTheDevice) {
    proc.process(812, "minicom", {"/dev/null", "/dev/fake3"});
    proc.process(97, "screen", {"/dev/fake3"});
    proc.process(4000, "bash", {"/dev/fake4"});
    const std::string status = failWith(PortFailure::Busy, "Device or resource busy");
    EXPECT_NE(status.find("/dev/fake3 is held by screen (pid 97), minicom (pid 812); close it"),
              std::string::npos)
        << status;
}

TEST_F(FailureHintTest, HolderFoundThroughTheSymlinkTheDeviceWasNamedBy) {
    const fs::path device = proc.root() / "ttyUSB0";
    std::ofstream(device).put('\n');
    fs::create_symlink(device, proc.root() / "printer");
    proc.process(55, "cu", {device.string()});
    EXPECT_EQ(holdersOf(proc.root(), (proc.root() / "printer").string()),
              (std::vector<DeviceHolder>{{55, "cu"}}));
}

TEST_F(FailureHintTest, FarEndOfAPseudoTerminalIsNoCompetingOpener) {
    const std::string device = "/dev/pts/7";
    proc.process(30, "tessra-printer-", {device});  // the virtual printer: its own line
    proc.commandLine(30, "/opt/tessra/tessra-printer-sim");
    proc.ptyMaster(30, 9, 7);
    proc.process(31, "tessra-printer-", {device});  // another printer's master is no excuse
    proc.commandLine(31, "build/sim/tessra-printer-sim");
    proc.ptyMaster(31, 9, 70);
    proc.process(32, "minicom", {device});
    EXPECT_EQ(holdersOf(proc.root(), device),
              (std::vector<DeviceHolder>{{31, "tessra-printer-sim"}, {32, "minicom"}}));
}

TEST_F(FailureHintTest, FirstLineOfEachKindGoesToTheLog) {
    port.found = {{"/dev/ttyUSB0", "", "", ""}};
    failWith(PortFailure::NoSuchDevice, "No such file or directory");
    failWith(PortFailure::PermissionDenied, "Permission denied");
    failWith(PortFailure::NoSuchDevice, "No such file or directory");
    failWith(PortFailure::PermissionDenied, "Permission denied");
    ASSERT_EQ(logged.size(), 2u);
    EXPECT_EQ(logged[0], op.statusLines[0]);
    EXPECT_NE(logged[1].find("usermod"), std::string::npos);
}

TEST(DeviceGroupTest, NamesTheGroupThatOwnsTheDevice) {
    EXPECT_EQ(deviceGroup("/dev/null"), "root");
    EXPECT_EQ(deviceGroup("/nonexistent/tessra-port"), "");
}

}  // namespace
}  // namespace tessra
