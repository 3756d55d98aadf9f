#pragma once

#include <functional>
#include <memory>
#include <stop_token>
#include <string>

#include "link/Clock.h"
#include "station/Event.h"
#include "station/SlotTiming.h"
#include "station/UnitWork.h"

namespace tessra::station {

// One port of the station. run() loops until the stop token is set: wait for
// a printer to answer, provision it, tell the result, wait for it to leave,
// start again. Everything a slot meets (a port held by another program, a
// device that vanishes, a half reply, an exception) stays inside the slot:
// it is told as an event and the loop goes on.
class Slot {
public:
    struct Seams {
        Clock& clock;
        PrinterFactory printers;
        WorkFactory work;
        std::function<void(Event)> publish;  // the host stamps the time
        std::function<bool()> admit;         // may a new unit start (--count)?
    };
    Slot(std::string port, Seams seams, SlotTiming timing = {});
    ~Slot();

    void run(std::stop_token stop);

private:
    void cycle(std::stop_token stop);
    bool waitForPrinter(std::stop_token stop);
    void provision(std::stop_token stop);
    void waitForRemoval(std::stop_token stop);
    void idleUntil(std::stop_token stop);
    // True when the failure is the port's own; told once per change.
    bool portFault(const printer::Failure& failure);
    // Tells that a port fault told before is over.
    void portWorks();
    void crashed(const std::string& what);
    void pause(double seconds);
    Event event(EventKind kind) const;

    std::string port_;
    Seams seams_;
    SlotTiming timing_;
    std::unique_ptr<printer::Printer> printer_;
    std::unique_ptr<UnitWork> work_;
    std::string lastFault_;
    bool inUnit_ = false;
    bool unitOnPort_ = false;  // the unit last provisioned may still be connected
    bool lineKnown_ = false;   // the printer's line is the one its unit answers at
    double unitStart_ = 0.0;
};

}  // namespace tessra::station
