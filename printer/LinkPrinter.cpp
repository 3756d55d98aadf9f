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

// Each call in turn; false when one was not sent. After a call that could
// not be sent, the next ones are tried only when keepGoing (the window's way).
bool sendCalls(PrinterLink& link, std::span<const commands::CommandCall> calls, bool keepGoing) {
    bool all = true;
    for (const commands::CommandCall& call : calls) {
        if (link.sendCommand(call.buffer, call.count, call.mode)) continue;
        all = false;
        if (!keepGoing) break;
    }
    return all;
}

// The printer takes any byte below 0x20 (and ESC, GS, DLE sequences) as a
// command: a line of text reaches it as printable ASCII only, each other
// character (a control, a UTF-8 character) as one '?'.
std::string printable(std::string_view text) {
    std::string line;
    for (const char c : text) {
        const auto byte = static_cast<std::uint8_t>(c);
        if (byte >= 0x20 && byte < 0x7F) {
            line += c;
        } else if ((byte & 0xC0) != 0x80) {
            line += '?';
        }
    }
    return line;
}
}  // namespace

void LinkPrinter::Events::message(std::string_view text, std::string_view title) {
    if (!firstMessage) firstMessage = std::string(text);
    if (attendant) attendant->message(text, title);
}

std::string LinkPrinter::Events::input(std::string_view prompt, std::string_view title) {
    return attendant ? attendant->input(prompt, title) : std::string();
}

void LinkPrinter::Events::processEvents() {
    if (attendant) attendant->processEvents();
}

void LinkPrinter::Events::repaint() {
    if (attendant) attendant->repaint();
}

void LinkPrinter::Events::setBusy(bool busy) {
    if (attendant) attendant->setBusy(busy);
}

bool LinkPrinter::Events::closeRequested() const {
    if (attendant) return attendant->closeRequested();
    return stopping && stopping();
}

void LinkPrinter::Events::status(std::string_view text) {
    if (attendant) attendant->status(text);
    if (sink) sink(text);
}

std::string LinkPrinter::FixedLine::speedText() const {
    const auto index = static_cast<std::size_t>(current.speedIndex);
    return index < kSpeedTexts.size() ? std::string(kSpeedTexts[index]) : std::string();
}

LinkPrinter::LinkPrinter(SerialPort& port, Clock& clock, Operator* attendant, LineChoice* line)
    : port_(port), line_(line ? *line : fixedLine_), link_(port, clock, events_, line_) {
    events_.attendant = attendant;
}

LinkPrinter::LinkPrinter(SerialPort& port, Clock& clock, int portNumber, StopCheck stopping)
    : LinkPrinter(port, clock, nullptr, nullptr) {
    events_.stopping = std::move(stopping);
    fixedLine_.portIndex_ = portNumber - 1;
    fixedLine_.current = {kStartupSpeedIndex, 0};
}

LinkPrinter::LinkPrinter(SerialPort& port, Clock& clock, Operator& attendant, LineChoice& line)
    : LinkPrinter(port, clock, &attendant, &line) {
    attended_ = true;
    drain_ = false;
}

void LinkPrinter::useLine(Line line) {
    line_.showDetected(line.speedIndex, line.parityIndex);
    foundReply_.reset();
}

Line LinkPrinter::line() const {
    const auto speed = std::ranges::find(kSpeedTexts, line_.speedText());
    return {static_cast<int>(speed - kSpeedTexts.begin()), line_.parityIndex()};
}

std::string LinkPrinter::lineSettings() const {
    return settingsString(line_.speedText(), line_.parityIndex()).value_or("");
}

Failure LinkPrinter::failure(FailureKind kind, std::string reason) const {
    Failure f{kind, PortFailure::None, {}, std::move(reason)};
    const int portNumber = line_.portIndex() + 1;
    if (portNumber >= 1 && portNumber <= kPortCount) f.device = port_.deviceName(portNumber);
    return f;
}

bool LinkPrinter::inOneOperation(const std::function<void()>& steps) {
    return link_.runExclusive([&] {
        ++stepsDepth_;
        struct Leave {
            int& depth;
            ~Leave() { --depth; }
        } leave{stepsDepth_};
        steps();
    });
}

std::optional<Failure> LinkPrinter::exchange(const std::function<bool()>& operation) {
    events_.firstMessage.reset();
    // A click handled during a wait of the operation under way is not one of its steps.
    const bool step = stepsDepth_ > 0 && !link_.handlingEvents();
    if (!step && link_.inOperation())
        return failure(FailureKind::Busy, "another operation is using the port");
    // Nothing starts once the owner is closing.
    if (events_.closeRequested()) return failure(FailureKind::Stopped);
    bool completed = false;
    if (step) {
        link_.resetPortFault();
        completed = operation();
    } else {
        link_.runExclusive([&] { completed = operation(); });
    }
    if (const auto& fault = link_.portFault()) {
        Failure f =
            failure(fault->onWrite ? FailureKind::WriteFailed : FailureKind::PortUnavailable,
                    fault->reason);
        f.port = fault->kind;
        if (!fault->device.empty()) f.device = fault->device;
        return f;
    }
    if (!completed && events_.closeRequested()) return failure(FailureKind::Stopped);
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
        if (search.outcome == PrinterSearch::Outcome::Stopped) return false;
        if (search.outcome == PrinterSearch::Outcome::Found) {
            found = Line{search.speedIndex, search.parityIndex};
            foundReply_ = port_.readAll();
        }
        return true;
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
        if (!link_.openSelectedPort()) return false;
        drainInput();
        if (!link_.write(bytes)) return false;
        answered = link_.waitForReply(length, limit);
        if (answered) reply = port_.readAll();
        link_.closePort();
        return true;
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
        // The port stays open: a read's confirmation goes out on the same opening.
        const auto failed = exchange([&] {
            if (!link_.openSelectedPort()) return false;
            drainInput();
            if (!sendSettingsRequest(link_)) return false;
            if (link_.waitForReply(kSettingsReplySize, timing::kManualRead))
                answer = port_.readAll();
            else
                answer = failure(FailureKind::NoReply);
            return true;
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

Outcome<Done> LinkPrinter::confirmRead(std::string_view text) {
    foundReply_.reset();
    return done(exchange([&] {
        if (!port_.isOpen() && !link_.openSelectedPort()) return false;
        sendReadConfirmation(link_, text);
        return true;
    }));
}

Outcome<Done> LinkPrinter::writeBlock(const SettingsBlock& block, std::string_view confirmation) {
    foundReply_.reset();
    return done(exchange([&] {
        if (!link_.openSelectedPort()) return false;
        sendBlockOnOpenPort(link_, block, confirmation);
        return true;
    }));
}

Outcome<MacAddress> LinkPrinter::readMac() {
    return peekMac(timing::kReplyWait);
}

Outcome<MacAddress> LinkPrinter::peekMac(std::chrono::milliseconds wait) {
    foundReply_.reset();
    const auto reply = request(identity::kMacReadRequest, kMacLength, wait);
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
    const std::array<commands::CommandCall, 3> parts{{
        {identity::kMacWriteHeader, identity::kMacWriteHeaderCount, 0},
        {identity::kMacWritePassword, identity::kMacWritePasswordCount, 0},
        {addressBuffer, identity::kMacWriteAddressCount, 1},
    }};
    return done(exchange([&] {
        // The printer takes the three parts as one write: a stop comes before
        // them or after them, never between them.
        bool sent = false;
        const bool started = link_.asOneCommand([&] { sent = sendCalls(link_, parts, attended_); });
        return started && sent;
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
    const std::array<commands::CommandCall, 1> write{
        {{buffer, identity::kCustomerCodeWriteCount, 1}}};
    return done(exchange([&] { return sendCalls(link_, write, attended_); }));
}

Outcome<Done> LinkPrinter::run(std::string_view commandName) {
    foundReply_.reset();
    const auto calls = commands::callsOf(commandName);
    if (!calls) return failure(FailureKind::ArgumentRefused, "unknown command name");
    return done(exchange([&] { return sendCalls(link_, *calls, attended_); }));
}

Outcome<Done> LinkPrinter::setWireless(std::uint8_t mode) {
    if (mode > kLastWirelessMode) return failure(FailureKind::ArgumentRefused, "mode 0 to 3");
    return run(commands::wirelessCommandName(mode));
}

Outcome<Done> LinkPrinter::printLines(std::span<const std::string> lines) {
    foundReply_.reset();
    const auto lineEnd = std::span<const std::uint8_t>(protocol::kLineEnd);
    return done(exchange([&] {
        if (!link_.openSelectedPort() || !link_.write(protocol::kReset)) return false;
        for (const std::string& text : lines)
            if (!link_.write(printable(text)) || !link_.write(lineEnd)) return false;
        for (int i = 0; i < kBlankLinesBeforeCut; ++i)
            if (!link_.write(lineEnd)) return false;
        if (!link_.write(protocol::kCut)) return false;
        link_.waitForDsr();
        link_.closePort();
        link_.pause();
        return true;
    }));
}

}  // namespace tessra::printer
