#pragma once

#include <functional>
#include <optional>
#include <string>

#include "printer/Printer.h"

namespace tessra::testing {

// What is on one fake port at this moment; a test changes it as the fake
// clock moves.
struct FakeBench {
    bool present = false;
    std::optional<PortFailure> portFault;  // the port cannot be opened
    printer::Line unitLine{};              // the line the unit answers at
    int finds = 0;
};

// A printer core whose verbs answer from the bench at once.
class FakePrinter final : public printer::Printer {
public:
    explicit FakePrinter(FakeBench& bench) : bench_(bench) {}

    printer::Outcome<printer::Line> find() override {
        ++bench_.finds;
        if (auto f = failure(true)) return *f;
        line_ = bench_.unitLine;
        return line_;
    }
    void useLine(printer::Line line) override { line_ = line; }
    printer::Line line() const override { return line_; }
    printer::Outcome<printer::SettingsBlock> readBlock() override {
        if (auto f = failure(false)) return *f;
        return printer::SettingsBlock{};
    }
    printer::Outcome<printer::Done> writeBlock(const printer::SettingsBlock&,
                                               std::string_view) override {
        return done();
    }
    printer::Outcome<printer::MacAddress> readMac() override {
        if (auto f = failure(false)) return *f;
        return printer::MacAddress{};
    }
    printer::Outcome<printer::Done> writeMac(const printer::MacAddress&,
                                             std::string_view) override {
        return done();
    }
    printer::Outcome<printer::CustomerCode> readCustomerCode() override {
        if (auto f = failure(false)) return *f;
        return printer::CustomerCode{1};
    }
    printer::Outcome<printer::Done> writeCustomerCode(printer::CustomerCode) override {
        return done();
    }
    printer::Outcome<printer::Done> run(std::string_view) override { return done(); }
    printer::Outcome<printer::Done> printLines(std::span<const std::string>) override {
        return done();
    }

private:
    std::optional<printer::Failure> failure(bool anyLine) const {
        if (bench_.portFault) {
            return printer::Failure{printer::FailureKind::PortUnavailable, *bench_.portFault, "",
                                    ""};
        }
        if (!bench_.present || (!anyLine && line_ != bench_.unitLine)) {
            return printer::Failure{printer::FailureKind::NoReply, PortFailure::None, "", ""};
        }
        return std::nullopt;
    }
    printer::Outcome<printer::Done> done() const {
        if (auto f = failure(false)) return *f;
        return printer::Done{};
    }

    FakeBench& bench_;
    printer::Line line_{};
};

}  // namespace tessra::testing
