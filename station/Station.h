#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <stop_token>
#include <string>
#include <thread>
#include <vector>

#include "link/Clock.h"
#include "station/Counters.h"
#include "station/Event.h"
#include "station/SlotTiming.h"
#include "station/UnitWork.h"

namespace tessra::station {

// Starts a slot's thread and gives back what waits for its end. Qt's serial
// port wants a thread Qt started, so the faces pass one that starts a
// QThread; without one a slot runs on a plain std::thread.
using ThreadStarter = std::function<std::function<void()>(std::function<void()> body)>;

struct StationSetup {
    std::vector<std::string> ports;
    PrinterFactory printers;
    WorkFactory work;
    // One clock per slot; SteadyClock when not given.
    std::function<std::unique_ptr<Clock>(const std::string& port)> clocks;
    // The time of day stamped on events; the system clock when not given.
    std::function<std::chrono::system_clock::time_point()> wallClock;
    std::optional<int> count;  // stop after this many finished units, all slots together
    SlotTiming timing;
    ThreadStarter threads;
};

using EventSink = std::function<void(const Event&)>;

// Runs one slot per port, each on a thread of its own. The sink is called on
// the slots' threads, one event at a time, and must return quickly: a face
// queues the event for its own thread.
class Station {
public:
    Station(StationSetup setup, EventSink sink);
    ~Station();  // stops and waits
    Station(const Station&) = delete;
    Station& operator=(const Station&) = delete;

    void start();
    // Every unit under way finishes its current step; no new unit starts.
    void requestStop();
    void wait();  // until every slot has stopped
    bool stopping() const { return stop_.stop_requested(); }

    Counters counters() const;
    double elapsedSeconds() const;

private:
    void publish(Event event);
    bool admit();

    StationSetup setup_;
    EventSink sink_;
    std::stop_source stop_;
    mutable std::mutex mutex_;
    Counters counters_;
    std::atomic<int> admitted_{0};
    std::chrono::steady_clock::time_point started_;
    std::vector<std::function<void()>> joins_;  // one per slot's thread
};

}  // namespace tessra::station
