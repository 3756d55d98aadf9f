#pragma once

#include "link/Operator.h"
#include "link/SerialPort.h"
#include "settings/OptionPanel.h"

namespace tessra::settings {

// Takes every byte waiting at the open port and selects the members its first
// four bytes name. A rejected reply shows the time-out message, sets valid false
// and changes no group; otherwise valid is left as it was.
void selectFromReply(bool& valid, SerialPort& port, Operator& op, OptionPanel& panel);

}  // namespace tessra::settings
