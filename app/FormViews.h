#pragma once

#include <string>
#include <string_view>

#include "app/ReadWriteDispatch.h"
#include "app/CustomerCodeView.h"
#include "app/MacView.h"
#include "link/LineChoice.h"

namespace tessra::app {

class Form1;

// The "Interface" frame's port, speed and parity combos as the link sees them.
class FormLineChoice final : public LineChoice {
public:
    explicit FormLineChoice(Form1& form) : form_(form) {}
    int portIndex() const override;
    std::string speedText() const override;
    int parityIndex() const override;
    void showDetected(int speedIndex, int parityIndex) override;

private:
    Form1& form_;
};

// The MAC address rows of Form1 as the identity handlers see them. Writes go
// through the widgets, so their change signals raise the change handlers.
class FormMacView final : public app::MacView {
public:
    explicit FormMacView(Form1& form) : form_(form) {}
    void setText(int textBox, std::string_view text) override;
    void setSpinner(int spinner, int value) override;
    bool autoIncrementChecked() const override;
    void setAutoIncrementEnabled(bool enabled) override;

private:
    Form1& form_;
};

class FormCustomerCodeView final : public app::CustomerCodeView {
public:
    explicit FormCustomerCodeView(Form1& form) : form_(form) {}
    std::string customerCodeText() const override;
    void setCustomerCodeText(std::string_view text) override;
    void enableCustomerCodeWrite() override;

private:
    Form1& form_;
};

class FormReadWriteButtons final : public ReadWriteButtons {
public:
    explicit FormReadWriteButtons(Form1& form) : form_(form) {}
    bool isEnabled(int index) const override;
    void setEnabled(int index, bool on) override;
    void setFocus(int index) override;

private:
    Form1& form_;
};

}  // namespace tessra::app
