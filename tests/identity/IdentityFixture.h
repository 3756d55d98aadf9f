#pragma once

#include <gtest/gtest.h>

#include "CustomerCodeFrame.h"
#include "FakeClock.h"
#include "FakeIdentityViews.h"
#include "FakeLineChoice.h"
#include "FakeOperator.h"
#include "FakePort.h"
#include "LinkTest.h"
#include "MacAddressFrame.h"
#include "PrinterLink.h"

namespace tessra::testing {

class IdentityFixture : public LinkTest {
protected:
    IdentityFixture() { macView.frame = &mac; }

    // The operator sets the address with the spinners.
    void setAddress(int m4, int m5, int m6) {
        macView.moveSpinner(1, m4);
        macView.moveSpinner(2, m5);
        macView.moveSpinner(3, m6);
    }
    identity::MacOctets address() const { return {state.mbytMac4, state.mbytMac5, state.mbytMac6}; }
    // Answers the request with the reply, once per opening.
    void replyTo(const Bytes& request, const Bytes& reply) {
        port.responder = [request, reply](const FakePort::Opening& o, const Bytes&) {
            return o.bytes() == request ? reply : Bytes{};
        };
    }

    identity::MacState state;
    FakeMacView macView;
    identity::MacAddressFrame mac{link, state, macView};

    FakeCustomerCodeView codeView;
    identity::CustomerCodeFrame code{link, codeView};
};

}  // namespace tessra::testing
