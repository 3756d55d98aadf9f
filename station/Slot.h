#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <stop_token>
#include <string>

#include "link/Clock.h"
#include "station/Event.h"
#include "station/SlotTiming.h"
#include "station/UnitWork.h"

namespace tessra::station {

// One port of the station. run() loops until the stop token is set: wait for
// a printer to answer, provision it, tell the result, watch it until it
// leaves or another unit takes its place, start again. Everything a slot
// meets (a port held by another program, a device that vanishes, a half
// reply, an exception) stays inside the slot: it is told as an event and the
// loop goes on.
//
// A unit is known by the address it answers with. While a finished unit
// stays, the slot reads its MAC address often: the same address is the same
// unit; another address, or an answer at another line, is a new unit, started
// at once; silence for removalSilence, or its device gone, is no unit.
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
    struct Answer {
        printer::Line line;
        printer::MacAddress mac{};
    };

    void cycle(std::stop_token stop);
    bool waitForPrinter(std::stop_token stop);
    void provision(std::stop_token stop);
    void watchUnit(std::stop_token stop);
    // Tells that the unit has gone; withDevice: its device went with it.
    void left(std::string reason, bool withDevice = false);
    void idleUntil(std::stop_token stop);
    // One MAC read at the line; the printer stays at that line.
    printer::Outcome<Answer> lookAt(printer::Line line);
    // The line fresh units answered at last, and after every searchEvery
    // silent looks one more line of the full search; never at `skip`.
    printer::Outcome<Answer> lookAround(std::optional<printer::Line> skip);
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
    bool lineKnown_ = false;   // unitLine_ is the one the unit answers at
    bool leftWithDevice_ =
        false;  // the last unit took its device away: no fault while it is missing
    printer::Line unitLine_;
    std::optional<printer::MacAddress> unitMac_;
    std::optional<printer::Line> arrivalLine_;  // where the last new unit answered
    bool searchedOnce_ = false;                 // the full search once, when the slot starts
    int silentLooks_ = 0;
    std::size_t nextSearchLine_ = 0;
    double unitStart_ = 0.0;
};

}  // namespace tessra::station
