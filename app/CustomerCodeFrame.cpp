#include "app/CustomerCodeFrame.h"

#include <string>

#include "identity/CustomerCodeValue.h"
#include "identity/IdentityCommands.h"
#include "identity/IdentityTexts.h"
#include "link/Timing.h"

namespace tessra::app {

using namespace identity;  // the address arithmetic, commands and texts

CustomerCodeFrame::CustomerCodeFrame(PrinterLink& link, CustomerCodeView& view)
    : link_(link), view_(view) {}

void CustomerCodeFrame::Command20_Click(int index) {
    if (index == 0) read();
    if (index == 1) write();
}

void CustomerCodeFrame::read() {
    link_.runExclusive([&] {
        if (link_.openSelectedPort() && link_.write(kCustomerCodeReadRequest)) {
            if (link_.waitForReply(1, timing::kReplyWait)) {
                const Bytes reply = link_.port().readAll();
                if (!reply.empty()) view_.setCustomerCodeText(std::to_string(reply.front()));
            } else {
                link_.op().message(kTimeoutMessage);
            }
            link_.processEvents();
        }
        link_.closePort();
        // Offered from the first attempt on, whether or not the printer answered.
        view_.enableCustomerCodeWrite();
    });
}

void CustomerCodeFrame::write() {
    link_.runExclusive([&] {
        const auto code = customerCodeFromText(view_.customerCodeText());
        if (!code) {
            link_.op().message(kCustomerCodeRangeMessage);
            return;
        }
        const auto buffer = customerCodeWrite(*code);
        link_.sendCommand(buffer, kCustomerCodeWriteCount, 1);
    });
}

}  // namespace tessra::app
