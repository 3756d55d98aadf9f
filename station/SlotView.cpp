#include "station/SlotView.h"

#include <utility>

namespace tessra::station {

std::string_view stateWords(SlotState state) {
    switch (state) {
        case SlotState::Waiting:
            return "empty: waiting for the next printer";
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
            failure.clear();
            hint.clear();
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
                failure = e.reason;
                hint = e.hint;
            }
            break;
        case EventKind::Gone: {
            SlotView empty;
            empty.port = port;
            *this = std::move(empty);
            break;
        }
        case EventKind::Fault:
            if (e.cleared) {
                if (state == SlotState::PortFault) state = beforeFault;
                if (state != SlotState::Failed) {
                    failure.clear();
                    hint.clear();
                }
                break;
            }
            if (state != SlotState::PortFault) beforeFault = state;
            state = SlotState::PortFault;
            failure = e.reason;
            hint = e.hint;
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
    if (!failure.empty()) text += ", " + failure;
    return text;
}

}  // namespace tessra::station
