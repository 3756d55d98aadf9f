#pragma once

#include <gtest/gtest.h>

#include "FakeIdentityViews.h"
#include "fakes/FakeClock.h"
#include "fakes/FakeLineChoice.h"
#include "fakes/FakeOperator.h"
#include "fakes/FakePort.h"
#include "fakes/LinkTest.h"
#include "identity/CustomerCodeFrame.h"
#include "identity/MacAddressFrame.h"
#include "link/PrinterLink.h"

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
