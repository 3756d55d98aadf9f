#include "app/MacAddressFrame.h"

#include "identity/IdentityCommands.h"
#include "identity/IdentityTexts.h"

namespace tessra::app {

using namespace identity;  // the address arithmetic, commands and texts

namespace {
// Octet 4 is shown in Text4 and set by VScroll1, and so on.
constexpr int textBoxOf(int octet) {
    return octet;
}
constexpr int spinnerOf(int octet) {
    return octet - 3;
}
constexpr int kFirstReadBackBox = 7;  // Text7 holds the first octet
}  // namespace

MacAddressFrame::MacAddressFrame(printer::LinkPrinter& printer, MacRows& state, MacView& view)
    : printer_(printer), link_(printer.link()), state_(state), view_(view) {}

void MacAddressFrame::Command12_Click() {
    printer_.inOneOperation([&] {
        const auto read = printer_.readMac();
        if (read) {
            for (std::size_t i = 0; i < read->size(); ++i)
                view_.setText(kFirstReadBackBox + static_cast<int>(i), octetText((*read)[i]));
        } else if (read.failure().kind == printer::FailureKind::NoReply) {
            link_.op().message(kTimeoutMessage);
        } else {
            return;  // the port failed, and that has been shown
        }
        link_.processEvents();
    });
}

void MacAddressFrame::Command13_Click() {
    printer_.inOneOperation([&] {
        if (state_.mblnMacMaximum) {
            link_.op().message(kMaximumMessage);
            return;
        }
        if (!passwordAccepted()) return;
        // Taken once: spinners may move while the DSR waits let the window run.
        const MacOctets written = address();
        const printer::MacAddress full{kMacPrefix[0], kMacPrefix[1], kMacPrefix[2],
                                       written.mac4,  written.mac5,  written.mac6};
        const auto sent = printer_.writeMac(full, kLevel1Password);
        // Whatever became of the three writes, unless none started (the window closing).
        if (!sent && sent.failure().kind == printer::FailureKind::Stopped) return;
        if (addressWritten_) addressWritten_(written);
        if (view_.autoIncrementChecked()) autoIncrement(written);
    });
}

bool MacAddressFrame::passwordAccepted() {
    if (state_.mblnLevel1Passed) return true;
    if (!isLevel1Password(link_.op().input(kPasswordPrompt, kPasswordTitle))) {
        link_.op().message(kInvalidPasswordMessage, "");
        return false;
    }
    state_.mblnLevel1Passed = true;
    return true;
}

void MacAddressFrame::autoIncrement(MacOctets written) {
    const MacStep step = advanceMac(written);
    // A spinner moved during the save leaves its box out of step with the
    // result; such octets are shown again as well.
    const MacOctets shown = address();
    state_.mbytMac4 = step.next.mac4;
    state_.mbytMac5 = step.next.mac5;
    state_.mbytMac6 = step.next.mac6;
    if (step.maximum) {
        view_.setAutoIncrementEnabled(false);
        link_.op().message(kMaximumMessage);
    }
    if (step.rewrite4 || shown.mac4 != step.next.mac4) showOctet(4);
    if (step.rewrite5 || shown.mac5 != step.next.mac5) showOctet(5);
    if (step.rewrite6 || shown.mac6 != step.next.mac6) showOctet(6);
    // Set last: showing the octets raises the spinner handlers, which clear it.
    if (step.maximum) state_.mblnMacMaximum = true;
}

void MacAddressFrame::VScroll1_Change(int value) {
    spinnerChanged(4, value);
}
void MacAddressFrame::VScroll2_Change(int value) {
    spinnerChanged(5, value);
}
void MacAddressFrame::VScroll3_Change(int value) {
    spinnerChanged(6, value);
}

void MacAddressFrame::Text4_Change() {
    view_.setSpinner(spinnerOf(4), state_.mbytMac4);
}
void MacAddressFrame::Text5_Change() {
    view_.setSpinner(spinnerOf(5), state_.mbytMac5);
}
void MacAddressFrame::Text6_Change() {
    view_.setSpinner(spinnerOf(6), state_.mbytMac6);
}

void MacAddressFrame::spinnerChanged(int octet, int value) {
    auto& stored = member(octet);
    const auto octetValue = static_cast<std::uint8_t>(value);
    if (octetValue != stored) state_.mblnMacMaximum = false;  // a new address: saves allowed again
    stored = octetValue;
    view_.setText(textBoxOf(octet), octetText(stored));
}

void MacAddressFrame::showOctet(int octet) {
    const std::uint8_t value = member(octet);
    view_.setText(textBoxOf(octet), octetText(value));
    view_.setSpinner(spinnerOf(octet), value);
}

std::uint8_t& MacAddressFrame::member(int octet) {
    switch (octet) {
        case 4:
            return state_.mbytMac4;
        case 5:
            return state_.mbytMac5;
        default:
            return state_.mbytMac6;
    }
}

MacOctets MacAddressFrame::address() const {
    return {state_.mbytMac4, state_.mbytMac5, state_.mbytMac6};
}

}  // namespace tessra::app
