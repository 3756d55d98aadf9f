#pragma once

#include "link/Operator.h"
#include "link/SerialPort.h"
#include "settings/OptionPanel.h"

namespace tessra::settings {

// Takes every byte waiting at the open port and selects the members its first
// four bytes name. A rejected reply shows the time-out message, sets ee false
// and changes no group; otherwise ee is left as it was.
void selectFromReply(bool& ee, SerialPort& port, Operator& op, OptionPanel& panel);

}  // namespace tessra::settings
