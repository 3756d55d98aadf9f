#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <stop_token>
#include <string>
#include <string_view>

#include "printer/Printer.h"

namespace tessra::station {

struct UnitResult {
    bool done = false;
    std::string mac;  // "0A:5C:3E:00:10:07"; also when a failure came after the write
    std::optional<int> customerCode;
    std::string reason;                          // why not done
    std::string hint;                            // what the operator can do about it
    std::optional<printer::MacAddress> address;  // what a done unit answers with from now on
};

// The work calls next() before each step. False means the station is
// stopping: the work ends there, before the step, and reports the unit as
// not done. A step is the unit of safety, so a MAC write and its ledger
// record belong to one step.
class UnitProgress {
public:
    virtual ~UnitProgress() = default;
    virtual bool next(std::string_view step) = 0;
};

// Provisions one unit. Each slot owns its own object, made on the slot's
// thread (a ledger connection may belong to one thread).
class UnitWork {
public:
    virtual ~UnitWork() = default;
    virtual UnitResult provision(printer::Printer& printer, UnitProgress& progress) = 0;
};

// Both made on the slot's thread. The printer takes the stop token so that
// a search under way ends early when the station stops.
using PrinterFactory =
    std::function<std::unique_ptr<printer::Printer>(const std::string& port, std::stop_token stop)>;
using WorkFactory = std::function<std::unique_ptr<UnitWork>(const std::string& port)>;

}  // namespace tessra::station
