#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QButtonGroup>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/Form1.h"
#include "fakes/FakeOperator.h"
#include "fakes/VirtualPrinterProcess.h"
#include "link/QtClock.h"
#include "link/QtSerialPort.h"
#include "models/Profiles.h"
#include "settings/OptionTables.h"

namespace tessra::testing {

// The real window on the real serial adapter and clock, COM1 pointed at the
// virtual printer; only the operator is a fake, so no message box blocks.
class WindowWithPrinter : public ::testing::Test {
protected:
    VirtualPrinterProcess printer;
    QtSerialPort port;
    QtClock clock;
    FakeOperator op;
    std::unique_ptr<app::Form1> form;

    // Starts the printer with the given options, then opens the window.
    void start(std::vector<std::string> printerOptions = {}) {
        ASSERT_TRUE(printer.start(std::move(printerOptions)));
        ::setenv("TESSRA_COM1", printer.link().c_str(), 1);
        form = std::make_unique<app::Form1>(port, clock, op);
        ASSERT_EQ(form->cboPORT->currentText(), "COM1");
    }

    void TearDown() override {
        form.reset();
        port.close();
        printer.stop();
    }

    QAbstractButton* member(settings::Group group, int index) const {
        return form->optionGroup(group)->button(index);
    }
    void choose(settings::Group group, int index) const { member(group, index)->click(); }
    std::optional<int> selected(settings::Group group) const {
        return form->optionPanel().selected(group);
    }

    void read() const { form->cmdSelPage[0]->click(); }
    void write() const { form->cmdSelPage[1]->click(); }
    void chooseModel(models::Model model) const {
        form->Opt_PRT_MODEL->button(static_cast<int>(model))->click();
    }

    std::string text(int box) const {
        return form->Text.at(static_cast<std::size_t>(box))->text().toStdString();
    }
    // Text7 to Text12, the address the printer reported.
    std::vector<std::string> readBackRow() const {
        std::vector<std::string> row;
        for (int box = 7; box <= 12; ++box) row.push_back(text(box));
        return row;
    }
};

}  // namespace tessra::testing
