#include "app/CustomerCodeFrame.h"

#include <string>

#include "identity/CustomerCodeValue.h"
#include "identity/IdentityTexts.h"

namespace tessra::app {

using namespace identity;  // the address arithmetic, commands and texts

CustomerCodeFrame::CustomerCodeFrame(printer::LinkPrinter& printer, CustomerCodeView& view)
    : printer_(printer), view_(view) {}

void CustomerCodeFrame::Command20_Click(int index) {
    if (index == 0) read();
    if (index == 1) write();
}

void CustomerCodeFrame::read() {
    PrinterLink& link = printer_.link();
    printer_.inOneOperation([&] {
        const auto code = printer_.readCustomerCode();
        if (code) view_.setCustomerCodeText(std::to_string(*code));
        const bool unanswered = !code && code.failure().kind == printer::FailureKind::NoReply;
        if (unanswered) link.op().message(kTimeoutMessage);
        if (code || unanswered) link.processEvents();  // not after a port failure
        // Offered from the first attempt on, whether or not the printer answered.
        view_.enableCustomerCodeWrite();
    });
}

void CustomerCodeFrame::write() {
    printer_.inOneOperation([&] {
        const auto code = customerCodeFromText(view_.customerCodeText());
        if (!code) {
            printer_.link().op().message(kCustomerCodeRangeMessage);
            return;
        }
        printer_.writeCustomerCode(*code);
    });
}

}  // namespace tessra::app
