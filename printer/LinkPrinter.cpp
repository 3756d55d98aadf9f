#include "printer/LinkPrinter.h"

#include <algorithm>

#include "commands/CommandHandlers.h"
#include "identity/IdentityCommands.h"
#include "link/LineSettings.h"
#include "link/Timing.h"
#include "protocol/ServiceCommands.h"
#include "settings/PrinterSearch.h"
#include "settings/SettingsBlock.h"
#include "settings/SettingsExchange.h"

namespace tessra::printer {

namespace {
constexpr auto kMacLength = static_cast<int>(identity::kMacReplyLength);
constexpr std::uint8_t kLastWirelessMode = 3;
constexpr int kBlankLinesBeforeCut = 5;
}  // namespace

void LinkPrinter::Events::message(std::string_view text, std::string_view) {
    if (!firstMessage) firstMessage = std::string(text);
}

std::string LinkPrinter::FixedLine::speedText() const {
    const auto index = static_cast<std::size_t>(current.speedIndex);
    return index < kSpeedTexts.size() ? std::string(kSpeedTexts[index]) : std::string();
}

LinkPrinter::LinkPrinter(SerialPort& port, Clock& clock, int portNumber, StopCheck stopping)
    : port_(port), portNumber_(portNumber), link_(port, clock, events_, line_) {
    events_.stopping = std::move(stopping);
    line_.portIndex_ = portNumber - 1;
    line_.current = {kStartupSpeedIndex, 0};
}

void LinkPrinter::useLine(Line line) {
    line_.current = line;
    foundReply_.reset();
}

std::string LinkPrinter::lineSettings() const {
    return settingsString(line_.speedText(), line_.current.parityIndex).value_or("");
}

Failure LinkPrinter::failure(FailureKind kind, std::string reason) const {
    Failure f{kind, PortFailure::None, {}, std::move(reason)};
    if (portNumber_ >= 1 && portNumber_ <= kPortCount) f.device = port_.deviceName(portNumber_);
    return f;
}

std::optional<Failure> LinkPrinter::exchange(const std::function<void()>& operation) {
    events_.firstMessage.reset();
    link_.runExclusive(operation);
    if (const auto& fault = link_.portFault()) {
        Failure f =
            failure(fault->onWrite ? FailureKind::WriteFailed : FailureKind::PortUnavailable,
                    fault->reason);
        f.port = fault->kind;
        if (!fault->device.empty()) f.device = fault->device;
        return f;
    }
    if (events_.closeRequested()) return failure(FailureKind::Stopped);
    if (events_.firstMessage) return failure(FailureKind::NoReply, *events_.firstMessage);
    return std::nullopt;
}

Outcome<Done> LinkPrinter::done(const std::optional<Failure>& failed) const {
    if (failed) return *failed;
    return Done{};
}

void LinkPrinter::drainInput() {
    if (drain_ && port_.isOpen() && port_.bytesWaiting() > 0) port_.readAll();
}

Outcome<Line> LinkPrinter::find() {
    foundReply_.reset();
    std::optional<Line> found;
    const auto failed = exchange([&] {
        const PrinterSearch search = findPrinter(link_, [this] { drainInput(); });
        if (search.outcome != PrinterSearch::Outcome::Found) return;
        found = Line{search.speedIndex, search.parityIndex};
        foundReply_ = port_.readAll();
    });
    if (failed) {
        foundReply_.reset();
        if (failed->kind != FailureKind::NoReply) return *failed;
    }
    if (!found) return failure(FailureKind::NoReply, "no answer at any speed");
    return *found;
}

Outcome<Bytes> LinkPrinter::request(std::span<const std::uint8_t> bytes, int length,
                                    std::chrono::milliseconds limit) {
    Bytes reply;
    bool answered = false;
    const auto failed = exchange([&] {
        if (!link_.openSelectedPort()) return;
        drainInput();
        if (!link_.write(bytes)) return;
        answered = link_.waitForReply(length, limit);
        if (answered) reply = port_.readAll();
        link_.closePort();
    });
    if (failed) return *failed;
    if (!answered) return failure(FailureKind::NoReply);
    return reply;
}

Outcome<SettingsBlock> LinkPrinter::readBlock() {
    Bytes reply;
    if (foundReply_) {
        reply = std::move(*foundReply_);
        foundReply_.reset();
    } else {
        Outcome<Bytes> answer = Failure{};
        const auto failed = exchange([&] {
            if (!link_.openSelectedPort()) return;
            drainInput();
            if (!sendSettingsRequest(link_)) return;
            if (link_.waitForReply(kSettingsReplySize, timing::kManualRead))
                answer = port_.readAll();
            else
                answer = failure(FailureKind::NoReply);
        });
        if (failed) return *failed;
        if (!answer) return answer.failure();
        reply = *answer;
    }
    if (settings::decodeBlock(reply).rejected)
        return failure(FailureKind::ReplyRejected, "the reply names no code page");
    SettingsBlock block{};
    std::copy_n(reply.begin(), block.size(), block.begin());
    return block;
}

Outcome<Done> LinkPrinter::writeBlock(const SettingsBlock& block, std::string_view confirmation) {
    foundReply_.reset();
    return done(exchange([&] {
        if (link_.openSelectedPort()) sendBlockOnOpenPort(link_, block, confirmation);
    }));
}

Outcome<MacAddress> LinkPrinter::readMac() {
    foundReply_.reset();
    const auto reply = request(identity::kMacReadRequest, kMacLength, timing::kReplyWait);
    if (!reply) return reply.failure();
    MacAddress address{};
    std::copy_n(reply->begin(), address.size(), address.begin());
    return address;
}

Outcome<Done> LinkPrinter::writeMac(const MacAddress& address, std::string_view password) {
    foundReply_.reset();
    if (!std::equal(identity::kMacPrefix.begin(), identity::kMacPrefix.end(), address.begin()))
        return failure(FailureKind::ArgumentRefused, "the address does not start with 0A:5C:3E");
    if (!identity::isLevel1Password(password))
        return failure(FailureKind::ArgumentRefused, "wrong level-1 password");
    const auto addressBuffer = identity::macWriteAddress({address[3], address[4], address[5]});
    return done(exchange([&] {
        // The printer takes the three parts as one write: never split them.
        link_.asOneCommand([&] {
            link_.sendCommand(identity::kMacWriteHeader, identity::kMacWriteHeaderCount, 0);
            if (link_.portFault()) return;
            link_.sendCommand(identity::kMacWritePassword, identity::kMacWritePasswordCount, 0);
            if (link_.portFault()) return;
            link_.sendCommand(addressBuffer, identity::kMacWriteAddressCount, 1);
        });
    }));
}

Outcome<CustomerCode> LinkPrinter::readCustomerCode() {
    foundReply_.reset();
    const auto reply = request(identity::kCustomerCodeReadRequest, 1, timing::kReplyWait);
    if (!reply) return reply.failure();
    return reply->front();
}

Outcome<Done> LinkPrinter::writeCustomerCode(CustomerCode code) {
    foundReply_.reset();
    if (code == 0) return failure(FailureKind::ArgumentRefused, "the customer code is 1 to 255");
    const auto buffer = identity::customerCodeWrite(code);
    return done(exchange([&] { link_.sendCommand(buffer, identity::kCustomerCodeWriteCount, 1); }));
}

Outcome<Done> LinkPrinter::run(std::string_view commandName) {
    foundReply_.reset();
    const auto calls = commands::callsOf(commandName);
    if (!calls) return failure(FailureKind::ArgumentRefused, "unknown command name");
    return done(exchange([&] {
        for (const commands::CommandCall& call : *calls) {
            link_.sendCommand(call.buffer, call.count, call.mode);
            if (link_.portFault()) return;
        }
    }));
}

Outcome<Done> LinkPrinter::setWireless(std::uint8_t mode) {
    if (mode > kLastWirelessMode) return failure(FailureKind::ArgumentRefused, "mode 0 to 3");
    return run(commands::wirelessCommandName(mode));
}

Outcome<Done> LinkPrinter::printLines(std::span<const std::string> lines) {
    foundReply_.reset();
    const auto lineEnd = std::span<const std::uint8_t>(protocol::kLineEnd);
    return done(exchange([&] {
        if (!link_.openSelectedPort() || !link_.write(protocol::kReset)) return;
        for (const std::string& text : lines)
            if (!link_.write(text) || !link_.write(lineEnd)) return;
        for (int i = 0; i < kBlankLinesBeforeCut; ++i)
            if (!link_.write(lineEnd)) return;
        if (!link_.write(protocol::kCut)) return;
        link_.waitForDsr();
        link_.closePort();
        link_.pause();
    }));
}

}  // namespace tessra::printer
