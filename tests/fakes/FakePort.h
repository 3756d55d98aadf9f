#pragma once

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "fakes/FakeClock.h"
#include "link/LineSettings.h"
#include "link/SerialPort.h"

namespace tessra::testing {

// A serial port that records every opening and answers as scripted.
class FakePort final : public SerialPort {
public:
    struct Opening {
        int portNumber = 0;
        std::string settings;
        std::vector<Bytes> writes;  // one entry per write call
        Bytes bytes() const {
            Bytes all;
            for (const auto& w : writes) all.insert(all.end(), w.begin(), w.end());
            return all;
        }
    };

    FakePort() = default;
    explicit FakePort(FakeClock& waitClock) : clock(&waitClock) {}

    // Failure and line scripting.
    bool failOpen = false;
    std::string openError = "No such file or directory";
    PortFailure openFailure = PortFailure::NoSuchDevice;
    std::vector<FoundPort> found;            // what foundPorts() reports
    std::string devicePrefix = "/dev/fake";  // port n is devicePrefix + n
    int failWriteAt = -1;  // the n-th write call over the port's life fails (0-based)
    bool dsrAsserted = true;
    // Called after each write with the opening so far; returns bytes the
    // printer sends back (appended to the receive buffer).
    std::function<Bytes(const Opening&, const Bytes& written)> responder;

    // Waiting for input moves this clock by the whole limit; bytes arrive
    // only through the responder or the clock's onSleep.
    FakeClock* clock = nullptr;

    std::vector<Opening> openings;
    Bytes received;  // waiting to be read
    int dsrReads = 0;
    int inputWaits = 0;

    bool open(int portNumber) override {
        if (open_) return false;
        if (failOpen) {
            lastError_ = openError;
            lastFailure_ = openFailure;
            return false;
        }
        open_ = true;
        received.clear();
        openings.push_back({portNumber, settings_, {}});
        return true;
    }
    void close() override { open_ = false; }
    bool isOpen() const override { return open_; }

    bool setSettings(std::string_view s) override {
        if (!parseSettings(s)) return false;
        settings_ = s;
        return true;
    }
    std::string settings() const override { return settings_; }
    void setBinaryMode() override {}

    bool write(std::span<const std::uint8_t> bytes) override {
        if (!open_) return false;
        if (writeCalls_++ == failWriteAt) {
            lastError_ = "Input/output error";
            lastFailure_ = PortFailure::Other;
            return false;
        }
        Bytes w(bytes.begin(), bytes.end());
        openings.back().writes.push_back(w);
        if (responder) {
            const Bytes reply = responder(openings.back(), w);
            received.insert(received.end(), reply.begin(), reply.end());
        }
        return true;
    }
    int bytesWaiting() override { return open_ ? static_cast<int>(received.size()) : 0; }
    void waitForInput(std::chrono::milliseconds limit) override {
        if (!open_) return;
        if (!clock) throw std::logic_error("FakePort needs a clock to wait for input");
        ++inputWaits;
        clock->sleep(limit);
    }
    Bytes readAll() override {
        Bytes out;
        out.swap(received);
        return out;
    }
    bool dsr() override {
        ++dsrReads;
        return dsrAsserted;
    }
    std::string lastError() const override { return lastError_; }
    PortFailure lastFailure() const override { return lastFailure_; }
    std::vector<FoundPort> foundPorts() const override { return found; }
    std::string deviceName(int portNumber) const override {
        return devicePrefix + std::to_string(portNumber);
    }

    // Bytes written per opening, for compact expectations.
    std::vector<Bytes> bytesPerOpening() const {
        std::vector<Bytes> out;
        for (const auto& o : openings) out.push_back(o.bytes());
        return out;
    }

private:
    bool open_ = false;
    std::string settings_ = "9600,n,8,1";
    std::string lastError_;
    PortFailure lastFailure_ = PortFailure::None;
    int writeCalls_ = 0;
};

}  // namespace tessra::testing
