#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <memory>

#include "app/Form1.h"
#include "fakes/FakeClock.h"
#include "fakes/FakeOperator.h"
#include "fakes/FakePort.h"

namespace tessra::testing {

// A fresh window over fakes, as the program starts it.
class WindowTest : public ::testing::Test {
protected:
    FakeClock clock;
    FakePort port{clock};
    FakeOperator op;
    std::unique_ptr<app::Form1> form = std::make_unique<app::Form1>(port, clock, op);

    template <class W = QWidget>
    W* control(const QString& name) const {
        return form->findChild<W*>(name);
    }
    QAbstractButton* button(const QString& name) const { return control<QAbstractButton>(name); }

    bool shown(const QWidget* w) const { return w->isVisibleTo(form.get()); }
    static bool bold(const QWidget* w) { return w->font().bold(); }
};

}  // namespace tessra::testing
