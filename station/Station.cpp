#include "station/Station.h"

#include <utility>

#include "station/Slot.h"
#include "station/SteadyClock.h"

namespace tessra::station {

Station::Station(StationSetup setup, EventSink sink)
    : setup_(std::move(setup)), sink_(std::move(sink)) {
    if (!setup_.clocks)
        setup_.clocks = [](const std::string&) { return std::make_unique<SteadyClock>(); };
    if (!setup_.wallClock) setup_.wallClock = [] { return std::chrono::system_clock::now(); };
    if (!setup_.threads)
        setup_.threads = [](std::function<void()> body) -> std::function<void()> {
            auto thread = std::make_shared<std::thread>(std::move(body));
            return [thread] { thread->join(); };
        };
}

Station::~Station() {
    requestStop();
    wait();
}

void Station::start() {
    if (!joins_.empty()) return;  // one run per station
    started_ = std::chrono::steady_clock::now();
    for (const std::string& port : setup_.ports) {
        joins_.push_back(setup_.threads([this, port, stop = stop_.get_token()] {
            const std::unique_ptr<Clock> clock = setup_.clocks(port);
            Slot slot(
                port,
                Slot::Seams{*clock, setup_.printers, setup_.work,
                            [this](Event e) { publish(std::move(e)); }, [this] { return admit(); }},
                setup_.timing);
            slot.run(stop);
        }));
    }
}

void Station::requestStop() {
    stop_.request_stop();
}

void Station::wait() {
    for (std::function<void()>& join : joins_) {
        if (join) std::exchange(join, nullptr)();
    }
}

bool Station::admit() {
    if (!setup_.count) return true;
    return admitted_.fetch_add(1) < *setup_.count;
}

void Station::publish(Event event) {
    event.time = setup_.wallClock();
    std::lock_guard lock(mutex_);
    counters_.count(event);
    // A face's fault must not reach the slot that happened to tell it.
    try {
        sink_(event);
    } catch (...) {
    }
    if (setup_.count && counters_.finished() >= *setup_.count) stop_.request_stop();
}

Counters Station::counters() const {
    std::lock_guard lock(mutex_);
    return counters_;
}

double Station::elapsedSeconds() const {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - started_).count();
}

}  // namespace tessra::station
