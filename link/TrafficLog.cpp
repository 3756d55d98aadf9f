#include "link/TrafficLog.h"

#include <algorithm>

#include "link/TrafficFormat.h"

namespace tessra {

TrafficLog::TrafficLog(Clock& clock, std::size_t limit)
    : clock_(clock), start_(clock.nowSeconds()), limit_(std::max<std::size_t>(limit, 1)) {}

double TrafficLog::elapsedSeconds() {
    return clock_.nowSeconds() - start_;
}

void TrafficLog::add(std::string_view text) {
    std::string line = elapsedStamp(elapsedSeconds());
    line += "  ";
    line += text;
    if (lines_.size() == limit_) {
        lines_.pop_front();
        ++dropped_;
    }
    lines_.push_back(std::move(line));
    ++added_;
}

void TrafficLog::note(std::string_view text) {
    add("note: " + std::string(text));
}

void TrafficLog::clear() {
    lines_.clear();
    dropped_ = 0;
}

std::vector<std::string> TrafficLog::takeNew(std::uint64_t& cursor) const {
    const std::uint64_t firstKept = added_ - lines_.size();
    const std::uint64_t from = std::max(cursor, firstKept);
    std::vector<std::string> out;
    if (from < added_) {
        out.assign(lines_.begin() + static_cast<std::ptrdiff_t>(from - firstKept), lines_.end());
    }
    cursor = added_;
    return out;
}

}  // namespace tessra
