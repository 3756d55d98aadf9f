#pragma once

// A printer held as its state: what a verb writes, the next read gives.
// A test queues failures per verb, earlier replies that reach the next MAC
// read first, and hooks that run as the MAC write starts and as any verb does. Given a bench,
// it answers only while a unit is present, at the unit's line, and not at
// all while the port is held.

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "printer/Printer.h"

namespace tessra::testing {

// What is on one fake port at this moment; a test changes it as the fake
// clock moves.
struct FakeBench {
    bool present = false;
    std::optional<PortFailure> portFault;                   // the port cannot be opened
    printer::Line unitLine{};                               // the line the unit answers at
    printer::MacAddress mac{0x0A, 0x5C, 0x3E, 0xF0, 0, 0};  // the unit's address
    int unit = -1;  // which unit of a test's script is on the port
};

class FakePrinter : public printer::Printer {
public:
    FakePrinter() = default;
    explicit FakePrinter(FakeBench& bench) : bench_(&bench) {}

    printer::Line onLine{};
    printer::SettingsBlock block{};
    printer::MacAddress mac{0x0A, 0x5C, 0x3E, 0, 0, 0};
    printer::CustomerCode code = 1;
    std::map<std::string, std::deque<printer::FailureKind>> failures;
    std::deque<printer::MacAddress> lateReplies;
    std::function<void()> onWriteMac;
    std::function<void()> onCall;
    std::vector<std::string> calls;

    printer::Outcome<printer::Line> find() override {
        auto found = answer("find", bench_ ? bench_->unitLine : onLine);
        if (found) onLine = *found;
        return found;
    }
    void useLine(printer::Line line) override { onLine = line; }
    printer::Line line() const override { return onLine; }
    printer::Outcome<printer::SettingsBlock> readBlock() override {
        return answer("readBlock", block);
    }
    printer::Outcome<printer::Done> writeBlock(const printer::SettingsBlock& b,
                                               std::string_view) override {
        return set("writeBlock", block, b);
    }
    printer::Outcome<printer::MacAddress> readMac() override {
        if (lateReplies.empty()) return answer("readMac", bench_ ? bench_->mac : mac);
        const auto late = lateReplies.front();
        lateReplies.pop_front();
        return answer("readMac", late);
    }
    printer::Outcome<printer::Done> writeMac(const printer::MacAddress& a,
                                             std::string_view) override {
        if (onWriteMac) onWriteMac();
        return set("writeMac", bench_ ? bench_->mac : mac, a);
    }
    printer::Outcome<printer::CustomerCode> readCustomerCode() override {
        return answer("readCustomerCode", code);
    }
    printer::Outcome<printer::Done> writeCustomerCode(printer::CustomerCode c) override {
        return set("writeCustomerCode", code, c);
    }
    printer::Outcome<printer::Done> run(std::string_view name) override {
        return answer("run " + std::string(name), printer::Done{});
    }
    printer::Outcome<printer::Done> printLines(std::span<const std::string> lines) override {
        printed.assign(lines.begin(), lines.end());
        return answer("printLines", printer::Done{});
    }
    std::vector<std::string> printed;

private:
    template <class T>
    printer::Outcome<T> answer(const std::string& verb, T value) {
        calls.push_back(verb);
        if (onCall) onCall();
        if (bench_ && bench_->portFault)
            return printer::Failure{printer::FailureKind::PortUnavailable, *bench_->portFault, "",
                                    ""};
        if (bench_ && (!bench_->present || (verb != "find" && onLine != bench_->unitLine)))
            return printer::Failure{printer::FailureKind::NoReply, PortFailure::None, "", ""};
        auto& queued = failures[verb];
        if (queued.empty()) return value;
        const printer::FailureKind kind = queued.front();
        queued.pop_front();
        return printer::Failure{kind, {}, "/dev/ttyFAKE", {}};
    }
    template <class T>
    printer::Outcome<printer::Done> set(const std::string& verb, T& field, const T& value) {
        auto done = answer(verb, printer::Done{});
        if (done) field = value;
        return done;
    }

    FakeBench* bench_ = nullptr;
};

}  // namespace tessra::testing
