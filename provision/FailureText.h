#pragma once

#include <QString>

#include "printer/Printer.h"

namespace tessra::provision {

// A printer failure in a few words for a ledger note or an event:
// "no answer from the printer on /dev/ttyUSB0".
QString failureText(const printer::Failure& failure);

}  // namespace tessra::provision
