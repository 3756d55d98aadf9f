#pragma once

#include <QJsonObject>
#include <string>

#include "provision/ProvisionUnit.h"

namespace tessra::provision {

// "settings unchanged", "mac 0A:5C:3E:00:10:07 written and verified",
// "customer-code failed: no answer from the printer on /dev/ttyUSB0".
std::string stepText(const StepReport& report);

// {"step": ..., "result": ..., "ms": ...} and "value", "detail" when set.
QJsonObject stepJson(const StepReport& report);

// "provisioned 0A:5C:3E:00:10:07 (line-7 3f2a9c1b)", or the reason.
std::string summaryText(const UnitSummary& summary);

// {"exitCode", "mac", "customerCode", "recipe", "hash"} and "message" when set.
QJsonObject summaryJson(const UnitSummary& summary);

}  // namespace tessra::provision
