#pragma once

#include "Operator.h"
#include "OptionPanel.h"
#include "SerialPort.h"

namespace tessra::settings {

// Takes every byte waiting at the open port and selects the members its first
// four bytes name. A rejected reply shows the time-out message, sets ee false
// and changes no group; otherwise ee is left as it was.
void Read_Setting(bool& ee, SerialPort& port, Operator& op, OptionPanel& panel);

}  // namespace tessra::settings
