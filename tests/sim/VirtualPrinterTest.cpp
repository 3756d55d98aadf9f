// The virtual printer as a process: what it keeps in its flash file, and a
// clean exit. The window's tests cover the rest of its pseudo-terminal.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "fakes/VirtualPrinterProcess.h"
#include "sim/StateFile.h"

namespace tessra::sim {
namespace {

TEST(VirtualPrinter, KeepsWhatIsWrittenAndRemovesItsLinkOnExit) {
    testing::VirtualPrinterProcess printer;
    const std::string state = (printer.dir() / "flash").string();
    ASSERT_TRUE(printer.start({"--state", state}));
    const int line = ::open(printer.link().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(line, 0);
    const std::uint8_t customerCodeWrite[] = {0x01, 0x39, 0x36, 0x02, 0x25, 0x07};
    EXPECT_EQ(::write(line, customerCodeWrite, sizeof customerCodeWrite), 6);
    ::close(line);
    EXPECT_TRUE(printer.waitForLine("9600: customer code write 7\n")) << printer.transcript();
    EXPECT_TRUE(printer.stop()) << "the printer did not stop on SIGTERM";
    EXPECT_NE(printer.transcript().find("9600: stopped\n"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(printer.link())));
    EXPECT_EQ(loadStateFile(state).state.customerCode, 7);
}

}  // namespace
}  // namespace tessra::sim
