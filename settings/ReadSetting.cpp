#include "settings/ReadSetting.h"

#include "link/PrinterLink.h"
#include "settings/SettingsBlock.h"

namespace tessra::settings {

void selectFromReply(bool& valid, SerialPort& port, Operator& op, OptionPanel& panel) {
    const Bytes reply = port.readAll();
    const DecodedBlock decoded = decodeBlock(reply);
    if (decoded.rejected) {
        op.message(kTimeoutMessage, kApplicationTitle);
        valid = false;
        return;
    }
    for (const OptionGroup& g : kOptionGroups) {
        if (const auto& index = decoded.select[static_cast<std::size_t>(g.group)]) {
            panel.select(g.group, *index);
        }
    }
}

}  // namespace tessra::settings
