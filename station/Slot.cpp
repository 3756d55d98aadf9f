#include "station/Slot.h"

#include <algorithm>
#include <chrono>
#include <exception>
#include <stdexcept>
#include <utility>

#include "link/FailureHints.h"
#include "link/LineSettings.h"

namespace tessra::station {

namespace {

using printer::FailureKind;

std::string portWords(const printer::Failure& failure) {
    std::string words;
    switch (failure.port) {
        case PortFailure::NoSuchDevice:
            words = "device gone";
            break;
        case PortFailure::PermissionDenied:
            words = "permission denied";
            break;
        case PortFailure::Busy:
            words = "port held by another program";
            break;
        default:
            words = "port cannot be opened";
            break;
    }
    if (!failure.reason.empty()) words += " (" + failure.reason + ")";
    return words;
}

// The station has no port dialog: a slot's device is the one it was given,
// and the slot goes on by itself once that device is back.
std::string portHint(const printer::Failure& failure, const std::string& port) {
    if (failure.port == PortFailure::NoSuchDevice)
        return "plug in this slot's adapter; the slot goes on by itself once it is back";
    return failureHint(failure.port, failure.device.empty() ? port : failure.device, {});
}

printer::Failure silence() {
    return {FailureKind::NoReply, PortFailure::None, {}, {}};
}

// The full search's lines, in its order.
printer::Line searchLine(std::size_t index) {
    return {kAutoReadSpeedOrder[index / kParities.size() % kAutoReadSpeedOrder.size()],
            static_cast<int>(index % kParities.size())};
}

class SlotProgress final : public UnitProgress {
public:
    SlotProgress(std::stop_token stop, std::function<void(std::string_view)> told)
        : stop_(std::move(stop)), told_(std::move(told)) {}
    bool next(std::string_view step) override {
        if (stop_.stop_requested()) return false;
        told_(step);
        return true;
    }

private:
    std::stop_token stop_;
    std::function<void(std::string_view)> told_;
};

}  // namespace

Slot::Slot(std::string port, Seams seams, SlotTiming timing)
    : port_(std::move(port)), seams_(std::move(seams)), timing_(timing) {}

Slot::~Slot() = default;

Event Slot::event(EventKind kind) const {
    Event e;
    e.slot = port_;
    e.kind = kind;
    return e;
}

void Slot::pause(double seconds) {
    seams_.clock.sleep(std::chrono::milliseconds(static_cast<long long>(seconds * 1000.0)));
}

void Slot::run(std::stop_token stop) {
    while (!stop.stop_requested()) {
        try {
            cycle(stop);
        } catch (const std::exception& e) {
            crashed(e.what());
        } catch (...) {
            crashed("unknown error");
        }
    }
    seams_.publish(event(EventKind::Stopped));
}

// The slot forgets its printer and work, which may be in any state now, and
// makes them again. A unit under way is failed and must leave before the
// next one starts, so that it is not provisioned twice.
void Slot::crashed(const std::string& what) {
    printer_.reset();
    work_.reset();
    lineKnown_ = false;
    unitMac_.reset();
    const std::string reason = "slot error: " + what;
    if (inUnit_) {
        inUnit_ = false;
        unitOnPort_ = true;
        Event e = event(EventKind::Failed);
        e.reason = reason;
        e.hint = "check the unit, then remove it and connect it again";
        e.seconds = seams_.clock.nowSeconds() - unitStart_;
        seams_.publish(std::move(e));
        return;
    }
    if (reason != lastFault_) {
        lastFault_ = reason;
        Event e = event(EventKind::Fault);
        e.reason = reason;
        seams_.publish(std::move(e));
    }
    pause(timing_.faultPause);
}

void Slot::cycle(std::stop_token stop) {
    if (!printer_) printer_ = seams_.printers(port_, stop);
    if (!work_) work_ = seams_.work(port_);
    if (!printer_ || !work_) throw std::runtime_error("no printer or no work for this port");
    if (!arrivalLine_) arrivalLine_ = printer_->line();
    if (unitOnPort_) {
        watchUnit(stop);
        return;
    }
    // A stop that came during the search leaves the unit untouched.
    if (!waitForPrinter(stop) || stop.stop_requested()) return;
    if (!seams_.admit()) {
        idleUntil(stop);
        return;
    }
    provision(stop);
}

bool Slot::portFault(const printer::Failure& failure) {
    if (failure.kind != FailureKind::PortUnavailable) {
        leftWithDevice_ = false;
        portWorks();
        return false;
    }
    // A unit that took its device with it was told as gone; its device is
    // missing (or failing, as it goes) until the next unit brings one.
    if (leftWithDevice_ &&
        (failure.port == PortFailure::NoSuchDevice || failure.port == PortFailure::Other))
        return true;
    leftWithDevice_ = false;
    std::string reason = portWords(failure);
    if (reason != lastFault_) {
        lastFault_ = reason;
        Event e = event(EventKind::Fault);
        e.reason = std::move(reason);
        e.hint = portHint(failure, port_);
        seams_.publish(std::move(e));
    }
    return true;
}

void Slot::portWorks() {
    if (lastFault_.empty()) return;
    lastFault_.clear();
    Event e = event(EventKind::Fault);
    e.cleared = true;
    seams_.publish(std::move(e));
}

printer::Outcome<Slot::Answer> Slot::lookAt(printer::Line line) {
    printer_->useLine(line);
    const auto mac = printer_->peekMac(
        std::chrono::milliseconds(static_cast<long long>(timing_.lookWait * 1000.0)));
    if (!mac) return mac.failure();
    return Answer{line, *mac};
}

// Fresh units of a line come at one line, the one the last of them answered
// at; a look there is cheap, and the full search (21 lines, 6 s when nothing
// answers) would make every arrival wait for it. So that line is looked at
// every time, and the others one at a time in between.
printer::Outcome<Slot::Answer> Slot::lookAround(std::optional<printer::Line> skip) {
    if (arrivalLine_ != skip) {
        auto seen = lookAt(*arrivalLine_);
        if (seen || seen.failure().kind != FailureKind::NoReply) return seen;
    }
    if (++silentLooks_ % std::max(1, timing_.searchEvery) != 0) return silence();
    for (int tried = 0; tried < kAutoReadAttempts; ++tried) {
        const printer::Line line = searchLine(nextSearchLine_++);
        if (line != *arrivalLine_ && line != skip) return lookAt(line);
    }
    return silence();
}

bool Slot::waitForPrinter(std::stop_token stop) {
    // A unit left on the slot when the station last ended may answer at any
    // line; the full search finds it at once, where looks at the usual line
    // would only send it requests at a speed it no longer listens at.
    if (!searchedOnce_) {
        searchedOnce_ = true;
        const auto found = printer_->find();
        if (found) return true;
    }
    while (!stop.stop_requested()) {
        const auto seen = lookAround(std::nullopt);
        if (seen) {
            arrivalLine_ = seen->line;
            leftWithDevice_ = false;
            return true;
        }
        const bool fault = portFault(seen.failure());
        pause(fault && !leftWithDevice_ ? timing_.faultPause : timing_.probePause);
    }
    return false;
}

void Slot::provision(std::stop_token stop) {
    lastFault_.clear();
    seams_.publish(event(EventKind::Present));
    unitStart_ = seams_.clock.nowSeconds();
    inUnit_ = true;
    SlotProgress progress(stop, [this](std::string_view step) {
        Event e = event(EventKind::Step);
        e.step = std::string(step);
        seams_.publish(std::move(e));
    });
    UnitResult result = work_->provision(*printer_, progress);
    inUnit_ = false;
    unitOnPort_ = true;
    unitLine_ = printer_->line();
    lineKnown_ = result.done;
    unitMac_ = result.done ? result.address : std::nullopt;
    Event e = event(result.done ? EventKind::Done : EventKind::Failed);
    e.mac = result.mac;
    e.customerCode = result.customerCode;
    e.seconds = seams_.clock.nowSeconds() - unitStart_;
    if (!result.done) {
        e.reason = !result.reason.empty()  ? result.reason
                   : stop.stop_requested() ? "stopped before the unit was finished"
                                           : "not finished";
        e.hint = result.hint.empty() && stop.stop_requested()
                     ? "connect the unit again after the restart to finish it"
                     : result.hint;
    }
    seams_.publish(std::move(e));
}

void Slot::left(std::string reason, bool withDevice) {
    leftWithDevice_ = withDevice;
    unitOnPort_ = false;
    lineKnown_ = false;
    unitMac_.reset();
    Event e = event(EventKind::Gone);
    e.reason = std::move(reason);
    seams_.publish(std::move(e));
}

// The unit on the slot is the one that answers at its line with its
// address. A unit that failed part way may answer at another line than the
// one it was left at: the full search finds it first, so that it is not
// taken for a new one. Another address, or an answer at another line, must
// come twice in a row to count: a reply torn by noise is not a new unit.
void Slot::watchUnit(std::stop_token stop) {
    if (!lineKnown_) {
        const auto found = printer_->find();
        if (found) {
            unitLine_ = *found;
            lineKnown_ = true;
        } else if (found.failure().kind == FailureKind::NoReply) {
            left("no answer");
            return;
        }
    }
    const auto confirmed = [this](const Answer& first) {
        const auto again = lookAt(first.line);
        return again && again->mac == first.mac;
    };
    double lastAnswer = seams_.clock.nowSeconds();
    while (!stop.stop_requested()) {
        const auto seen = lookAt(unitLine_);
        const printer::Failure failure = seen ? printer::Failure{} : seen.failure();
        if (seen) {
            portWorks();
            if (!unitMac_) unitMac_ = seen->mac;
            if (seen->mac == *unitMac_) {
                lastAnswer = seams_.clock.nowSeconds();
            } else if (confirmed(*seen)) {
                arrivalLine_ = seen->line;
                left("another unit answered");
                return;
            }
        } else if (failure.kind == FailureKind::PortUnavailable &&
                   failure.port == PortFailure::NoSuchDevice) {
            left("device gone", true);
            return;
        } else if (failure.kind == FailureKind::PortUnavailable &&
                   failure.port != PortFailure::Other) {
            // Held by another program: the unit cannot be seen, so its silence
            // does not count, and it is not taken for a new one afterwards.
            portFault(failure);
            lastAnswer = seams_.clock.nowSeconds();
        } else if (failure.kind == FailureKind::NoReply ||
                   failure.kind == FailureKind::PortUnavailable) {
            // A slow reply, or the unit has gone (an I/O error is a device on
            // its way out) and the next one may already answer at the line
            // fresh units come at.
            const auto other = failure.kind == FailureKind::NoReply
                                   ? lookAround(unitLine_)
                                   : printer::Outcome<Answer>(silence());
            if (other && confirmed(*other)) {
                arrivalLine_ = other->line;
                left("another unit answered");
                return;
            }
            if (seams_.clock.nowSeconds() - lastAnswer >= timing_.removalSilence) {
                left("no answer");
                return;
            }
        }
        pause(timing_.removalPoll);
    }
}

void Slot::idleUntil(std::stop_token stop) {
    while (!stop.stop_requested()) pause(timing_.probePause);
}

}  // namespace tessra::station
