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
    const fs::path& root() const { return root_; }

private:
    fs::path root_;
};

using FailureHintTest = testing::LinkTest;

// The advice names the programs that hold the device, and only those.
TEST_F(FailureHintTest, BusyPortNamesTheProgramsThatHoldTheDevice) {
    FakeProc proc;
    proc.process(812, "minicom", {"/dev/null", "/dev/fake3"});
    proc.process(97, "screen", {"/dev/fake3"});
    proc.process(4000, "bash", {"/dev/fake4"});
    link.setHintSources({proc.root(), {}});
    line.port = 2;
    port.failOpen = true;
    port.openFailure = PortFailure::Busy;
    port.openError = "Device or resource busy";
    sendData(Bytes{0x0A, 0x00}, 1, 0);
    EXPECT_EQ(op.messageTexts(), std::vector<std::string>{"Port Error"});
    EXPECT_EQ(op.statusLines.back(),
              "COM3 (/dev/fake3): Device or resource busy. To fix: /dev/fake3 is held by screen "
              "(pid 97), minicom (pid 812); close it and try again");
}

// The group that owns the device is named, never root; a virtual printer
// holding the master of a pseudo-terminal is its far end, not a holder.
TEST(FailureHint, PermissionNamesTheOwnerAndBusyLeavesOutTheFarEnd) {
    for (const std::string group : {"uucp", "root"}) {
        const HintSources sources{{}, [&](const std::string&) { return group; }};
        EXPECT_EQ(failureHint(PortFailure::PermissionDenied, "/dev/ttyS0", {}, sources),
                  group == "uucp" ? "To fix: run sudo usermod -aG uucp $USER (uucp owns "
                                    "/dev/ttyS0), then log out and in again"
                                  : "To fix: ask an administrator for read and write access "
                                    "to /dev/ttyS0");
    }
    FakeProc proc;
    proc.process(50, "tessra-printer-sim", {"/dev/ptmx", "/dev/pts/7"});
    fs::create_directories(proc.root() / "50" / "fdinfo");
    std::ofstream(proc.root() / "50" / "fdinfo" / "3") << "pos:\t0\ntty-index:\t7\n";
    proc.process(60, "minicom", {"/dev/pts/7"});
    EXPECT_EQ(holdersOf(proc.root(), "/dev/pts/7"), (std::vector<DeviceHolder>{{60, "minicom"}}));
}

}  // namespace
}  // namespace tessra
