#include "station/EventFormat.h"

#include <cmath>
#include <cstdio>
#include <ctime>
#include <vector>

#include "link/QuotedText.h"

namespace tessra::station {

std::string_view eventName(EventKind kind) {
    switch (kind) {
        case EventKind::Present:
            return "present";
        case EventKind::Step:
            return "step";
        case EventKind::Done:
            return "done";
        case EventKind::Failed:
            return "failed";
        case EventKind::Gone:
            return "gone";
        case EventKind::Stopped:
            return "stopped";
        case EventKind::Fault:
            return "fault";
    }
    return "unknown";
}

namespace {

using Field = std::pair<std::string_view, std::string>;

std::string seconds(double s) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", s);
    return text;
}

// The event's own fields, in the order every format shows them; a number
// is marked so that JSON leaves it unquoted.
struct Fields {
    std::vector<Field> text;
    std::vector<std::string_view> numbers;
};

Fields fieldsOf(const Event& e) {
    Fields f;
    if (!e.step.empty()) f.text.emplace_back("step", e.step);
    if (!e.mac.empty()) f.text.emplace_back("mac", e.mac);
    if (e.customerCode) {
        f.text.emplace_back("customerCode", std::to_string(*e.customerCode));
        f.numbers.push_back("customerCode");
    }
    if (e.seconds) {
        f.text.emplace_back("seconds", seconds(*e.seconds));
        f.numbers.push_back("seconds");
    }
    if (e.cleared) {
        f.text.emplace_back("cleared", "true");
        f.numbers.push_back("cleared");
    }
    if (!e.reason.empty()) f.text.emplace_back("reason", e.reason);
    if (!e.hint.empty()) f.text.emplace_back("hint", e.hint);
    return f;
}

std::string timeText(const Event& e, const char* format, bool utc) {
    const std::time_t t = std::chrono::system_clock::to_time_t(e.time);
    std::tm parts{};
    if (utc) {
        gmtime_r(&t, &parts);
    } else {
        localtime_r(&t, &parts);
    }
    char text[40];
    std::strftime(text, sizeof text, format, &parts);
    return text;
}

}  // namespace

std::string formatDetails(const Event& e) {
    std::string text;
    auto word = [&text](const std::string& w) { text += (text.empty() ? "" : " ") + w; };
    if (!e.step.empty()) word(e.step);
    if (!e.mac.empty()) word(e.mac);
    if (e.customerCode) word("customer-code " + std::to_string(*e.customerCode));
    if (e.seconds) word("in " + seconds(*e.seconds) + " s");
    if (e.cleared) word("cleared");
    if (!e.reason.empty()) text += (text.empty() ? "" : ": ") + e.reason;
    if (!e.hint.empty()) text += (text.empty() ? "(" : " (") + e.hint + ")";
    return shownText(text);
}

std::string formatText(const Event& e) {
    std::string line = timeText(e, "%H:%M:%S", false) + " " + shownText(e.slot) + " " +
                       std::string(eventName(e.kind));
    const std::string details = formatDetails(e);
    return details.empty() ? line : line + " " + details;
}

std::string formatJson(const Event& e) {
    std::string out = "{\"time\":" + jsonString(timeText(e, "%Y-%m-%dT%H:%M:%SZ", true)) +
                      ",\"slot\":" + jsonString(e.slot) +
                      ",\"event\":" + jsonString(eventName(e.kind));
    const Fields f = fieldsOf(e);
    for (const auto& [name, value] : f.text) {
        bool number = false;
        for (const auto n : f.numbers) number = number || n == name;
        out += ",\"" + std::string(name) + "\":" + (number ? value : jsonString(value));
    }
    return out + "}";
}

std::string formatTally(const Counters& counters, double runSeconds, bool json) {
    const std::string rate = std::to_string(std::lround(counters.unitsPerHour(runSeconds)));
    if (json)
        return "{\"event\":\"tally\",\"done\":" + std::to_string(counters.done) +
               ",\"failed\":" + std::to_string(counters.failed) + ",\"unitsPerHour\":" + rate +
               ",\"seconds\":" + seconds(runSeconds) + "}";
    return "tally: done " + std::to_string(counters.done) + ", failed " +
           std::to_string(counters.failed) + ", " + rate + " units per hour, run time " +
           seconds(runSeconds) + " s";
}

std::string csvHeader() {
    return "time,slot,event,step,mac,customerCode,seconds,cleared,reason,hint";
}

std::string formatCsv(const Event& e) {
    std::string out = timeText(e, "%Y-%m-%dT%H:%M:%SZ", true) + "," + csvField(e.slot) + "," +
                      std::string(eventName(e.kind));
    const Fields f = fieldsOf(e);
    for (const std::string_view column :
         {"step", "mac", "customerCode", "seconds", "cleared", "reason", "hint"}) {
        std::string value;
        for (const auto& [name, v] : f.text) {
            if (name == column) value = v;
        }
        out += "," + csvField(value);
    }
    return out;
}

}  // namespace tessra::station
