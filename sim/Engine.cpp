#include "sim/Engine.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "protocol/ServiceCommands.h"
#include "sim/BlockText.h"

namespace tessra::sim {

namespace {
using protocol::ServiceCode;

// The printer's own knowledge, deliberately not taken from the utility's
// encoder: a mistake there must show up here as a refusal.
constexpr std::string_view kMacPassword = "Kovak";
constexpr std::array<std::uint8_t, 3> kMacPrefix{0x0A, 0x5C, 0x3E};
constexpr std::size_t kMaxPasswordLength = 16;
constexpr std::size_t kMaxTextLine = 256;  // wraps like a print line would
constexpr std::size_t kMaxUnknownRun = 32;

constexpr std::uint8_t kEsc = 0x1B;
constexpr std::uint8_t kGs = 0x1D;
constexpr std::uint8_t kLf = 0x0A;
constexpr std::uint8_t kCr = 0x0D;

bool printable(std::uint8_t b) {
    return b >= 0x20 && b <= 0x7E;
}

// Parameter bytes after the service code, or -1 for a code the printer lacks.
int serviceParameterCount(std::uint8_t code) {
    switch (static_cast<ServiceCode>(code)) {
        case ServiceCode::FirmwareRecovery:
        case ServiceCode::CustomerCodeRead:
        case ServiceCode::SettingsRead:
        case ServiceCode::MacRead:
        case ServiceCode::MacWrite:
            return 0;
        case ServiceCode::WirelessMode:
        case ServiceCode::CustomerCodeWrite:
        case ServiceCode::TestPattern:
            return 1;
        case ServiceCode::SettingsWrite:
            return 4;
    }
    return -1;
}

std::string alignment(std::uint8_t n) {
    switch (n) {
        case 0x00:
        case 0x30:
            return "align left";
        case 0x01:
        case 0x31:
            return "align centre";
        case 0x02:
        case 0x32:
            return "align right";
        default:
            return "align " + hexByte(n);
    }
}

std::string testPrint(std::uint8_t n) {
    switch (static_cast<protocol::TestPrint>(n)) {
        case protocol::TestPrint::HexDump:
            return "hex dump print";
        case protocol::TestPrint::SelfTest:
            return "self-test print";
        case protocol::TestPrint::SampleFont:
            return "sample font print";
    }
    return "test print " + hexByte(n);
}

std::string quoted(std::string_view text) {
    std::string q = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') q += '\\';
        q += c;
    }
    return q + '"';
}
}  // namespace

Engine::Engine(PrinterState state, Options options)
    : state_(state), options_(options), speed_(blockSpeed(state.block).value_or(9600)) {}

Output Engine::feed(std::span<const std::uint8_t> bytes, int lineSpeed) {
    Output out;
    for (const std::uint8_t b : bytes) {
        if (lineSpeed != speed_) {
            if (garbled_ > 0 && garbledSpeed_ != lineSpeed) flushGarbled(out);
            // Noise on the line breaks whatever command was under way.
            if (garbled_ == 0) dropPartial(out);
            ++garbled_;
            garbledSpeed_ = lineSpeed;
            continue;
        }
        flushGarbled(out);
        pending_.push_back(b);
        process(out);
    }
    return out;
}

Output Engine::flush() {
    Output out;
    // The utility writes every command in one burst, so a command still
    // incomplete when the line goes quiet never will be. A MAC write is the
    // exception: its three parts come in three openings of the port.
    if (mode_ == Mode::Commands && !pending_.empty()) {
        flushUnknown(out);
        out.lines.push_back(std::to_string(speed_) + ": incomplete command " +
                            hexBytes(std::vector<std::uint8_t>(pending_.begin(), pending_.end())));
        pending_.clear();
    }
    flushUnknown(out);
    flushGarbled(out);
    return out;
}

void Engine::process(Output& out) {
    while (!pending_.empty()) {
        Match m = Match::Done;
        switch (mode_) {
            case Mode::Commands:
                m = matchCommand(out);
                break;
            case Mode::MacPassword:
                takeMacPasswordByte(out);
                break;
            case Mode::MacAddress:
                takeMacAddressByte(out);
                break;
        }
        if (m == Match::NeedMore) return;
        if (m == Match::NoMatch) {
            unknown_.push_back(pending_.front());
            pending_.pop_front();
            if (unknown_.size() >= kMaxUnknownRun) flushUnknown(out);
        }
    }
}

Engine::Match Engine::matchCommand(Output& out) {
    const std::uint8_t b = pending_[0];
    if (b == 0x00 || b == kCr) {  // the spare 00 after every command; LF ends lines
        consume(1);
        return Match::Done;
    }
    if (printable(b)) {
        text_ += static_cast<char>(b);
        consume(1);
        if (text_.size() >= kMaxTextLine) endTextLine(out, "printed");
        return Match::Done;
    }
    if (b == kLf) {
        consume(1);
        if (text_.empty()) {
            emit(out, "feed");
        } else {
            endTextLine(out, "printed");
        }
        return Match::Done;
    }
    if (b == kEsc) {
        if (pending_.size() < 2) return Match::NeedMore;
        switch (pending_[1]) {
            case 0x40:
                consume(2);
                endTextLine(out, "discarded");
                emit(out, "reset");
                return Match::Done;
            case 0x69:
                consume(2);
                ++state_.cuts;
                changed();
                emit(out, "cut");
                return Match::Done;
            case 0x61:
            case 0x21: {
                if (pending_.size() < 3) return Match::NeedMore;
                const std::uint8_t which = pending_[1];
                const std::uint8_t n = pending_[2];
                consume(3);
                emit(out, which == 0x61 ? alignment(n) : "print mode " + hexByte(n));
                return Match::Done;
            }
            default:
                return Match::NoMatch;
        }
    }
    if (b == kGs) {
        const auto& prefix = protocol::kTestPrintPrefix;
        const std::size_t have = std::min(pending_.size(), prefix.size());
        if (!std::equal(prefix.begin(), prefix.begin() + static_cast<std::ptrdiff_t>(have),
                        pending_.begin())) {
            return Match::NoMatch;
        }
        if (pending_.size() <= prefix.size()) return Match::NeedMore;
        const std::uint8_t n = pending_[prefix.size()];
        consume(prefix.size() + 1);
        if (n >= 0x01 && n <= 0x03) {
            ++state_.prints;
            changed();
        }
        emit(out, testPrint(n));
        return Match::Done;
    }
    if (b == protocol::kServiceHeader[0]) return matchService(out);
    return Match::NoMatch;
}

Engine::Match Engine::matchService(Output& out) {
    const auto& header = protocol::kServiceHeader;
    const std::size_t have = std::min(pending_.size(), header.size());
    if (!std::equal(header.begin(), header.begin() + static_cast<std::ptrdiff_t>(have),
                    pending_.begin())) {
        return Match::NoMatch;
    }
    if (pending_.size() <= header.size()) return Match::NeedMore;
    const std::uint8_t code = pending_[header.size()];
    const int count = serviceParameterCount(code);
    if (count < 0) {
        consume(header.size() + 1);
        emit(out, "unknown service command " + hexByte(code));
        return Match::Done;
    }
    const std::size_t length = header.size() + 1 + static_cast<std::size_t>(count);
    if (pending_.size() < length) return Match::NeedMore;
    std::array<std::uint8_t, 4> params{};
    std::copy_n(pending_.begin() + static_cast<std::ptrdiff_t>(header.size() + 1), count,
                params.begin());
    consume(length);
    runService(code, std::span(params).first(static_cast<std::size_t>(count)), out);
    return Match::Done;
}

void Engine::runService(std::uint8_t code, std::span<const std::uint8_t> params, Output& out) {
    switch (static_cast<ServiceCode>(code)) {
        case ServiceCode::FirmwareRecovery:
            endTextLine(out, "discarded");
            emit(out, "firmware recovery");
            return;
        case ServiceCode::WirelessMode:
            if (params[0] > 3) {
                emit(out, "wireless mode " + hexByte(params[0]) + " refused: out of range");
                return;
            }
            state_.wirelessMode = params[0];
            changed();
            emit(out, "wireless mode " + std::to_string(params[0]));
            return;
        case ServiceCode::CustomerCodeRead: {
            const std::array<std::uint8_t, 1> reply{state_.customerCode};
            answer(out, reply, "customer code read " + std::to_string(state_.customerCode));
            return;
        }
        case ServiceCode::CustomerCodeWrite:
            if (params[0] == 0) {
                emit(out, "customer code write 0 refused: out of range");
                return;
            }
            state_.customerCode = params[0];
            changed();
            emit(out, "customer code write " + std::to_string(params[0]));
            return;
        case ServiceCode::SettingsRead:
            answer(out, state_.block, "settings read " + hexBytes(state_.block));
            return;
        case ServiceCode::SettingsWrite:
            settingsWrite({params[0], params[1], params[2], params[3]}, out);
            return;
        case ServiceCode::MacRead:
            answer(out, state_.mac, "MAC read " + hexBytes(state_.mac));
            return;
        case ServiceCode::MacWrite:
            mode_ = Mode::MacPassword;
            macPassword_.clear();
            macAddress_.clear();
            return;
        case ServiceCode::TestPattern:
            if (params[0] > 3) {
                emit(out, "test pattern " + hexByte(params[0]) + " refused: out of range");
                return;
            }
            ++state_.prints;
            changed();
            emit(out, "test pattern " + std::to_string(params[0]));
            return;
    }
}

void Engine::settingsWrite(const std::array<std::uint8_t, 4>& block, Output& out) {
    const std::optional<int> newSpeed = blockSpeed(block);
    if (!newSpeed) {
        // The printer could listen at no speed at all afterwards.
        emit(out, "settings write " + hexBytes(block) + " refused: baud rate field " +
                      hexByte(block[1] & kBaudMask) + " unassigned");
        return;
    }
    state_.block = block;
    changed();
    emit(out, "settings write " + hexBytes(block) + " (" + describeBlock(block) + ")");
    if (*newSpeed != speed_) {
        speed_ = *newSpeed;
        emit(out, "listening at " + std::to_string(speed_) + " bps");
    }
}

// "Kovak" 00 00 after the command's own 00. The password is printable; any
// other byte means this is no MAC write after all.
void Engine::takeMacPasswordByte(Output& out) {
    const std::uint8_t b = pending_.front();
    if (b == 0x00) {
        consume(1);
        if (!macPassword_.empty()) mode_ = Mode::MacAddress;
        return;
    }
    if (printable(b) && macPassword_.size() < kMaxPasswordLength) {
        macPassword_ += static_cast<char>(b);
        consume(1);
        return;
    }
    abandonMacWrite(out);
}

// 0A 5C 3E o4 o5 o6: exactly six bytes once the prefix matches, whatever the
// octets are, so that an octet such as 1B or 01 is never read as a command.
void Engine::takeMacAddressByte(Output& out) {
    const std::uint8_t b = pending_.front();
    if (macAddress_.empty() && b == 0x00) {
        consume(1);
        return;
    }
    const std::size_t at = macAddress_.size();
    if (at < kMacPrefix.size() && b != kMacPrefix[at]) {
        abandonMacWrite(out);
        return;
    }
    macAddress_.push_back(b);
    consume(1);
    if (macAddress_.size() < state_.mac.size()) return;
    mode_ = Mode::Commands;
    if (macPassword_ != kMacPassword) {
        emit(out, "MAC write refused: wrong password");
        return;
    }
    std::copy(macAddress_.begin(), macAddress_.end(), state_.mac.begin());
    changed();
    emit(out, "MAC write " + hexBytes(state_.mac));
}

// The bytes taken for an address prefix go back to be read as commands.
void Engine::abandonMacWrite(Output& out) {
    mode_ = Mode::Commands;
    emit(out, "MAC write refused: incomplete");
    pending_.insert(pending_.begin(), macAddress_.begin(), macAddress_.end());
    macAddress_.clear();
    macPassword_.clear();
}

void Engine::dropPartial(Output& out) {
    if (mode_ != Mode::Commands) {
        mode_ = Mode::Commands;
        macAddress_.clear();
        macPassword_.clear();
        emit(out, "MAC write refused: incomplete");
    }
    unknown_.insert(unknown_.end(), pending_.begin(), pending_.end());
    pending_.clear();
    flushUnknown(out);
}

void Engine::consume(std::size_t count) {
    pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(count));
}

void Engine::emit(Output& out, const std::string& text) {
    flushUnknown(out);
    out.lines.push_back(std::to_string(speed_) + ": " + text);
}

void Engine::answer(Output& out, std::span<const std::uint8_t> bytes, const std::string& text) {
    if (!options_.answer) {
        emit(out, text + " (no reply)");
        return;
    }
    out.reply.insert(out.reply.end(), bytes.begin(), bytes.end());
    emit(out, text);
}

void Engine::endTextLine(Output& out, const char* verb) {
    if (text_.empty()) return;
    const std::string line = std::string(verb) + " " + quoted(text_);
    text_.clear();
    if (std::string_view(verb) == "printed") {
        ++state_.prints;
        changed();
    }
    emit(out, line);
}

void Engine::flushUnknown(Output& out) {
    if (unknown_.empty()) return;
    out.lines.push_back(std::to_string(speed_) + ": unknown bytes " + hexBytes(unknown_));
    unknown_.clear();
}

void Engine::flushGarbled(Output& out) {
    if (garbled_ == 0) return;
    flushUnknown(out);
    out.lines.push_back(std::to_string(speed_) + ": not understood: " + std::to_string(garbled_) +
                        " bytes at " + std::to_string(garbledSpeed_) + " bps");
    garbled_ = 0;
}

}  // namespace tessra::sim
