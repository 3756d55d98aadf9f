#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "app/CustomerCodeFrame.h"
#include "app/CustomerCodeView.h"
#include "app/MacAddressFrame.h"
#include "app/MacView.h"
#include "fakes/LinkTest.h"

namespace tessra::testing {

// The MAC rows wired like the window: writing Text4..6 raises their change
// handler, a spinner that changes value raises its change handler.
class FakeMacView final : public app::MacView {
public:
    app::MacAddressFrame* frame = nullptr;
    std::map<int, std::string> texts;  // Text4..Text12
    std::map<int, int> spinners{{1, 0}, {2, 0}, {3, 0}};
    std::vector<int> textWrites;  // box numbers in write order
    bool checked = false;
    bool checkEnabled = true;

    FakeMacView() {
        for (int box = 4; box <= 12; ++box) texts[box] = "00";
    }
    void setText(int box, std::string_view text) override {
        textWrites.push_back(box);
        const bool changed = texts[box] != text;
        texts[box] = std::string(text);
        if (!changed || frame == nullptr) return;
        if (box == 4) frame->Text4_Change();
        if (box == 5) frame->Text5_Change();
        if (box == 6) frame->Text6_Change();
    }
    // Also the operator moving a spinner.
    void setSpinner(int spinner, int value) override {
        if (spinners[spinner] == value) return;
        spinners[spinner] = value;
        if (frame == nullptr) return;
        if (spinner == 1) frame->VScroll1_Change(value);
        if (spinner == 2) frame->VScroll2_Change(value);
        if (spinner == 3) frame->VScroll3_Change(value);
    }
    bool autoIncrementChecked() const override { return checked; }
    void setAutoIncrementEnabled(bool enabled) override { checkEnabled = enabled; }
};

class FakeCustomerCodeView final : public app::CustomerCodeView {
public:
    std::string text = "000";
    bool writeEnabled = false;

    std::string customerCodeText() const override { return text; }
    void setCustomerCodeText(std::string_view t) override { text = std::string(t); }
    void enableCustomerCodeWrite() override { writeEnabled = true; }
};

class IdentityFixture : public LinkTest {
protected:
    IdentityFixture() { macView.frame = &mac; }

    // The operator sets the address with the spinners.
    void setAddress(int m4, int m5, int m6) {
        macView.setSpinner(1, m4);
        macView.setSpinner(2, m5);
        macView.setSpinner(3, m6);
    }
    identity::MacOctets address() const { return {state.mbytMac4, state.mbytMac5, state.mbytMac6}; }
    // Answers the request with the reply, once per opening.
    void replyTo(const Bytes& request, const Bytes& reply) {
        port.responder = [request, reply](const FakePort::Opening& o, const Bytes&) {
            return o.bytes() == request ? reply : Bytes{};
        };
    }

    printer::LinkPrinter printer{port, clock, op, line};
    app::MacRows state;
    FakeMacView macView;
    app::MacAddressFrame mac{printer, state, macView};

    FakeCustomerCodeView codeView;
    app::CustomerCodeFrame code{printer, codeView};
};

}  // namespace tessra::testing
