// Two printer objects of the core on two virtual printers, one thread each.
#include <gtest/gtest.h>

#include <thread>

#include "fakes/VirtualPrinterProcess.h"
#include "link/QtClock.h"
#include "link/QtSerialPort.h"
#include "printer/LinkPrinter.h"

namespace tessra::testing {
namespace {

struct Result {
    bool found = false;
    std::optional<printer::CustomerCode> code;
};

Result station(const std::string& device, printer::CustomerCode code) {
    QtSerialPort port;  // made in the thread that uses it
    port.useDevice(1, device);
    QtClock clock;
    printer::LinkPrinter printer(port, clock, 1);
    Result result;
    result.found = printer.find().ok();
    if (result.found && printer.writeCustomerCode(code)) {
        if (const auto back = printer.readCustomerCode()) result.code = *back;
    }
    return result;
}

TEST(TwoPrinters, RunAtOnceInTwoThreadsEachWithItsOwnAnswers) {
    VirtualPrinterProcess first;
    VirtualPrinterProcess second;
    ASSERT_TRUE(first.start());
    ASSERT_TRUE(second.start());
    Result a;
    Result b;
    std::thread one([&] { a = station(first.link(), 11); });
    std::thread two([&] { b = station(second.link(), 22); });
    one.join();
    two.join();
    EXPECT_TRUE(a.found && b.found);
    EXPECT_EQ(a.code, 11);
    EXPECT_EQ(b.code, 22);
}

}  // namespace
}  // namespace tessra::testing
