#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
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

    // What the control shows as its caption or text.
    static QString caption(const QWidget* w) {
        if (auto* b = qobject_cast<const QAbstractButton*>(w)) return b->text();
        if (auto* g = qobject_cast<const QGroupBox*>(w)) return g->title();
        if (auto* l = qobject_cast<const QLabel*>(w)) return l->text();
        if (auto* e = qobject_cast<const QLineEdit*>(w)) return e->text();
        if (auto* p = qobject_cast<const QPlainTextEdit*>(w)) return p->toPlainText();
        return {};
    }
    bool shown(const QWidget* w) const { return w->isVisibleTo(form.get()); }
    static bool bold(const QWidget* w) { return w->font().bold(); }
};

}  // namespace tessra::testing
