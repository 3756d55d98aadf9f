#include "cli/Messages.h"

#include "link/FailureHints.h"
#include "link/LinkTexts.h"

namespace tessra::cli {

namespace {

using printer::FailureKind;

std::string withHint(std::string text, const std::string& hint) {
    return hint.empty() ? text : text + ". " + hint;
}

}  // namespace

std::string failureText(const printer::Failure& failure, const FailureScene& scene) {
    const std::string& port = scene.portName;
    switch (failure.kind) {
        case FailureKind::PortUnavailable: {
            HintSources sources;
            sources.chooseIn = "with --port";
            return withHint(std::string(kPortErrorMessage) + ": " + port + ": " + failure.reason,
                            failureHint(failure.port, failure.device, scene.found, sources));
        }
        case FailureKind::WriteFailed:
            return std::string(kPortErrorMessage) + ": " + port +
                   ": write failed: " + failure.reason;
        case FailureKind::NoReply:
            if (scene.searched)
                return "no answer from a printer on " + port +
                       " at any speed and parity. To fix: check the cable and that the printer "
                       "is switched on, or give its line with --line SPEED,PARITY";
            return "no answer from the printer on " + port + " at " + scene.line +
                   ". To fix: check the cable, or leave out --line to find the printer's line";
        case FailureKind::ReplyRejected:
            return "the printer on " + port + " answered at " + scene.line +
                   " with no valid settings block; is the line right?";
        case FailureKind::ArgumentRefused:
            return failure.reason;
        case FailureKind::Stopped:
            return "stopped";
        case FailureKind::Busy:
            return "the port of " + port + " is busy with another operation; nothing was sent";
    }
    return failure.reason;
}

ExitCode exitCodeOf(printer::FailureKind kind) {
    switch (kind) {
        case FailureKind::PortUnavailable:
        case FailureKind::WriteFailed:
        case FailureKind::Busy:
            return ExitCode::Unreachable;
        case FailureKind::ArgumentRefused:
            return ExitCode::BadInput;
        case FailureKind::NoReply:
        case FailureKind::ReplyRejected:
        case FailureKind::Stopped:
            return ExitCode::PrinterFault;
    }
    return ExitCode::PrinterFault;
}

}  // namespace tessra::cli
