#pragma once

#include <array>
#include <optional>
#include <string>

#include "identity/CustomerCodeView.h"
#include "identity/MacView.h"
#include "link/LineChoice.h"
#include "link/LineSettings.h"
#include "settings/OptionPanel.h"

namespace tessra::cli {

// The "Interface" frame: the port from --port, the speed and parity from
// --line or from finding the printer, and after a settings write the line
// the printer listens at then.
class ConsoleLineChoice final : public LineChoice {
public:
    ConsoleLineChoice(int portNumber, int speedIndex, int parityIndex)
        : port_(portNumber - 1), speed_(speedIndex), parity_(parityIndex) {}

    int portIndex() const override { return port_; }
    std::string speedText() const override;
    int parityIndex() const override { return parity_; }
    void showDetected(int speedIndex, int parityIndex) override {
        speed_ = speedIndex;
        parity_ = parityIndex;
    }
    // "115200,e,8,1"
    std::string settings() const { return *settingsString(speedText(), parity_); }

private:
    int port_;
    int speed_;
    int parity_;
};

// The thirteen option groups, as plain selections.
class ConsoleOptionPanel final : public settings::OptionPanel {
public:
    explicit ConsoleOptionPanel(const settings::Selections& selections) : current_(selections) {}
    std::optional<int> selected(settings::Group group) const override {
        return current_[static_cast<std::size_t>(group)];
    }
    void select(settings::Group group, int memberIndex) override {
        current_[static_cast<std::size_t>(group)] = memberIndex;
    }

private:
    settings::Selections current_;
};

// The MAC rows: the address to save is in MacState; what a load reports
// lands in Text7 to Text12. Auto increment stays off.
class ConsoleMacView final : public identity::MacView {
public:
    void setText(int textBox, std::string_view text) override;
    void setSpinner(int, int) override {}
    bool autoIncrementChecked() const override { return false; }
    void setAutoIncrementEnabled(bool) override {}

    void forget() { readBack_ = {}; }
    // The six octets of the last load, or nothing when none came.
    std::optional<std::array<std::uint8_t, 6>> loaded() const;

private:
    std::array<std::optional<std::uint8_t>, 6> readBack_{};
};

// Text13 of the "Customer Code" frame.
class ConsoleCustomerCodeView final : public identity::CustomerCodeView {
public:
    std::string customerCodeText() const override { return text_; }
    void setCustomerCodeText(std::string_view text) override { text_ = text; }
    void enableCustomerCodeWrite() override {}

private:
    std::string text_;
};

}  // namespace tessra::cli
