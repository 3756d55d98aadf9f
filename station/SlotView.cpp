#include "station/SlotView.h"

namespace tessra::station {

std::string_view stateWords(SlotState state) {
    switch (state) {
        case SlotState::Waiting:
            return "waiting for a printer";
        case SlotState::Provisioning:
            return "provisioning";
        case SlotState::Done:
            return "done, waiting for removal";
        case SlotState::Failed:
            return "failed, waiting for removal";
        case SlotState::PortFault:
            return "port problem";
        case SlotState::Stopped:
            return "stopped";
    }
    return "unknown";
}

void SlotView::follow(const Event& e) {
    switch (e.kind) {
        case EventKind::Present:
            state = SlotState::Provisioning;
            step.clear();
            mac.clear();
            customerCode.reset();
            unitStart = e.time;
            unitSeconds.reset();
            break;
        case EventKind::Step:
            step = e.step;
            break;
        case EventKind::Done:
        case EventKind::Failed:
            state = e.kind == EventKind::Done ? SlotState::Done : SlotState::Failed;
            step.clear();
            mac = e.mac;
            customerCode = e.customerCode;
            unitSeconds = e.seconds;
            if (e.kind == EventKind::Failed) {
                lastFailure = e.reason;
                lastHint = e.hint;
            }
            break;
        case EventKind::Gone:
            state = SlotState::Waiting;
            beforeFault = SlotState::Waiting;
            unitSeconds.reset();
            break;
        case EventKind::Fault:
            if (e.cleared) {
                if (state == SlotState::PortFault) state = beforeFault;
                break;
            }
            if (state != SlotState::PortFault) beforeFault = state;
            state = SlotState::PortFault;
            lastFailure = e.reason;
            lastHint = e.hint;
            break;
        case EventKind::Stopped:
            state = SlotState::Stopped;
            break;
    }
}

std::optional<double> SlotView::elapsed(std::chrono::system_clock::time_point now) const {
    if (unitSeconds) return unitSeconds;
    if (state != SlotState::Provisioning) return std::nullopt;
    return std::chrono::duration<double>(now - unitStart).count();
}

std::string SlotView::description() const {
    std::string text = port + ": " + std::string(stateWords(state));
    if (state == SlotState::Provisioning && !step.empty()) text += ", " + step;
    if (!mac.empty()) text += ", MAC " + mac;
    if (customerCode) text += ", customer code " + std::to_string(*customerCode);
    if ((state == SlotState::Failed || state == SlotState::PortFault) && !lastFailure.empty()) {
        text += ", " + lastFailure;
    }
    return text;
}

}  // namespace tessra::station
