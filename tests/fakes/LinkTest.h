#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <span>

#include "fakes/FakeClock.h"
#include "fakes/FakeLineChoice.h"
#include "fakes/FakeOperator.h"
#include "fakes/FakePort.h"
#include "link/PrinterLink.h"

namespace tessra::testing {

// A printer link over the fake port, clock, operator and line choice.
class LinkTest : public ::testing::Test {
protected:
    FakeClock clock;
    FakePort port{clock};
    FakeOperator op;
    FakeLineChoice line;
    PrinterLink link{port, clock, op, line};

    // Whatever a test ran, nothing holds the port afterwards.
    void TearDown() override { EXPECT_FALSE(port.isOpen()) << "the port was left open"; }

    // One command as a click sends it: inside the guard.
    void sendData(std::span<const std::uint8_t> data, int count, int mode) {
        link.runExclusive([&] { link.sendCommand(data, count, mode); });
    }
};

}  // namespace tessra::testing
