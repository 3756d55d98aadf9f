#pragma once

#include <gtest/gtest.h>

#include "FakeClock.h"
#include "FakeLineChoice.h"
#include "FakeOperator.h"
#include "FakePort.h"
#include "PrinterLink.h"

namespace tessra::testing {

// A printer link over the fake port, clock, operator and line choice.
class LinkTest : public ::testing::Test {
protected:
    FakePort port;
    FakeClock clock;
    FakeOperator op;
    FakeLineChoice line;
    PrinterLink link{port, clock, op, line};
};

}  // namespace tessra::testing
