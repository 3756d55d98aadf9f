#include "station/Slot.h"

#include <chrono>
#include <exception>
#include <stdexcept>
#include <utility>

#include "link/FailureHints.h"

namespace tessra::station {

namespace {

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
    if (unitOnPort_) {
        waitForRemoval(stop);
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
    if (failure.kind != printer::FailureKind::PortUnavailable) {
        portWorks();
        return false;
    }
    std::string reason = portWords(failure);
    if (reason != lastFault_) {
        lastFault_ = reason;
        Event e = event(EventKind::Fault);
        e.reason = std::move(reason);
        e.hint = failureHint(failure.port, failure.device.empty() ? port_ : failure.device, {});
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

bool Slot::waitForPrinter(std::stop_token stop) {
    while (!stop.stop_requested()) {
        if (const auto line = work_->expectedLine()) {
            printer_->useLine(*line);
            const auto block = printer_->readBlock();
            if (block) return true;
            if (portFault(block.failure())) {
                pause(timing_.faultPause);
                continue;
            }
        }
        const auto found = printer_->find();
        if (found) return true;
        pause(portFault(found.failure()) ? timing_.faultPause : timing_.probePause);
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
    lineKnown_ = result.done;
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

// A unit whose line is unsure (it failed part way) gets the full search too
// before it counts as gone, so a unit left on another line is not taken for a
// new one.
void Slot::waitForRemoval(std::stop_token stop) {
    double lastAnswer = seams_.clock.nowSeconds();
    while (!stop.stop_requested()) {
        auto answer = printer_->readBlock();
        if (!answer && !lineKnown_ && answer.failure().kind == printer::FailureKind::NoReply) {
            const auto found = printer_->find();
            if (found) {
                lastAnswer = seams_.clock.nowSeconds();
                lineKnown_ = true;
            }
        }
        Event gone = event(EventKind::Gone);
        const bool portFailed =
            !answer && answer.failure().kind == printer::FailureKind::PortUnavailable;
        if (answer) {
            portWorks();
            lastAnswer = seams_.clock.nowSeconds();
        } else if (portFailed && answer.failure().port == PortFailure::NoSuchDevice) {
            gone.reason = "device gone";
        } else if (portFailed) {
            // Held by another program: the unit cannot be seen, so its silence
            // does not count, and it is not taken for a new one afterwards.
            portFault(answer.failure());
            lastAnswer = seams_.clock.nowSeconds();
        } else if (seams_.clock.nowSeconds() - lastAnswer >= timing_.removalSilence) {
            gone.reason = "no answer";
        }
        if (!gone.reason.empty()) {
            unitOnPort_ = false;
            lineKnown_ = false;
            seams_.publish(std::move(gone));
            return;
        }
        pause(timing_.removalPoll);
    }
}

void Slot::idleUntil(std::stop_token stop) {
    while (!stop.stop_requested()) pause(timing_.probePause);
}

}  // namespace tessra::station
