// Two printer objects of the core on two virtual printers, one thread each.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QTemporaryDir>
#include <QThread>
#include <memory>

#include "fakes/VirtualPrinterProcess.h"
#include "link/QtClock.h"
#include "link/QtSerialPort.h"
#include "printer/LinkPrinter.h"

namespace tessra::testing {
namespace {

struct Result {
    bool found = false;
    std::optional<printer::CustomerCode> code;
    std::string why;
};

Result station(const std::string& device, printer::CustomerCode code) {
    QtSerialPort port;  // made in the thread that uses it
    port.useDevice(1, device);
    QtClock clock;
    printer::LinkPrinter printer(port, clock, 1);
    Result result;
    const auto found = printer.find();
    result.found = found.ok();
    if (!found) result.why = found.failure().reason;
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
    // Qt locks a port by its file name: the second one needs a name of its own.
    QTemporaryDir dir;
    const std::string secondLink = dir.filePath("com2").toStdString();
    ASSERT_EQ(::symlink(second.link().c_str(), secondLink.c_str()), 0);
    Result a;
    Result b;
    // Qt's port wants a thread Qt knows; no event loop runs in either.
    const std::unique_ptr<QThread> one(QThread::create([&] { a = station(first.link(), 11); }));
    const std::unique_ptr<QThread> two(QThread::create([&] { b = station(secondLink, 22); }));
    one->start();
    two->start();
    one->wait();
    two->wait();
    EXPECT_TRUE(a.found && b.found) << a.why << b.why;
    EXPECT_EQ(a.code, 11);
    EXPECT_EQ(b.code, 22);
}

}  // namespace
}  // namespace tessra::testing
