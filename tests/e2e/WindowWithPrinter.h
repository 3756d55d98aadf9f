#pragma once

#include <gtest/gtest.h>

#include <cstdlib>

#include "app/Form1.h"
#include "fakes/FakeOperator.h"
#include "fakes/VirtualPrinterProcess.h"
#include "link/QtClock.h"
#include "link/QtSerialPort.h"

namespace tessra::testing {

// The printer is another process on a machine that may be busy: a wait for
// its transcript ends as soon as the line is there, so it may be generous.
inline constexpr std::chrono::milliseconds kTranscriptDeadline{10'000};

// The real window on the real serial adapter and clock, COM1 pointed at the
// virtual printer; by default a fake operator, so that no message box blocks.
class WindowWithPrinter : public ::testing::Test {
protected:
    VirtualPrinterProcess printer;
    QtSerialPort port;
    QtClock clock;
    FakeOperator op;
    std::unique_ptr<app::Form1> form;

    // Starts the printer with the given options, then opens the window.
    void start(std::vector<std::string> printerOptions = {}, Operator* person = nullptr) {
        ASSERT_TRUE(printer.start(std::move(printerOptions)));
        ::setenv("TESSRA_COM1", printer.link().c_str(), 1);
        form = std::make_unique<app::Form1>(port, clock, person ? *person : op);
    }
    void TearDown() override {
        form.reset();
        port.close();
        printer.stop();
    }

    bool logged(const std::string& text) const {
        return printer.waitForLine(text, kTranscriptDeadline);
    }
    ::testing::AssertionResult loggedInOrder(const std::vector<std::string>& texts) const {
        return printer.inOrder(texts, kTranscriptDeadline);
    }
};

}  // namespace tessra::testing
