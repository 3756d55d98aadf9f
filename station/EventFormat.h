#pragma once

#include <string>

#include "station/Event.h"

namespace tessra::station {

// "HH:MM:SS PORT event details", in local time.
std::string formatText(const Event& event);
// One JSON object on one line: time (UTC, ISO 8601), slot, event, and the
// event's own fields.
std::string formatJson(const Event& event);
// Header and rows of the event list as CSV (RFC 4180 quoting).
std::string csvHeader();
std::string formatCsv(const Event& event);

}  // namespace tessra::station
