#pragma once

#include <string>

#include "station/Counters.h"
#include "station/Event.h"

namespace tessra::station {

// Every format shows the texts of an event (a port, a reason from the
// printer) with their controls escaped, and its CSV fields open in a
// spreadsheet as text (csvField).
// "HH:MM:SS PORT event details", in local time.
std::string formatText(const Event& event);
// What follows the event's name in the text line: "0A:5C:3E:00:10:07
// customer-code 42 in 12.3 s", "no reply in time (check the cable)".
std::string formatDetails(const Event& event);
// One JSON object on one line: time (UTC, ISO 8601), slot, event, and the
// event's own fields.
std::string formatJson(const Event& event);
// The run's end: "tally: done 12, failed 1, 780 units per hour, run time
// 60.0 s", or as one JSON object with the event "tally".
std::string formatTally(const Counters& counters, double runSeconds, bool json);
// Header and rows of the event list as CSV, every field safe for a spreadsheet.
std::string csvHeader();
std::string formatCsv(const Event& event);

}  // namespace tessra::station
