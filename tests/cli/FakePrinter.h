#pragma once

#include <algorithm>
#include <string>

#include "fakes/FakePort.h"

namespace tessra::testing {

// The printer behind a FakePort, as far as the tool's commands need it: it
// answers at its own speed only, and keeps what the writes send.
struct FakePrinter {
    std::string speed = "9600";
    Bytes block{0x00, 0x02, 0x01, 0x00};
    Bytes mac{0x0A, 0x5C, 0x3E, 0x00, 0x00, 0x01};
    std::uint8_t code = 1;
    bool keepsWrites = true;  // false: a write changes nothing, read-backs differ

    void attach(FakePort& port) {
        port.responder = [this](const FakePort::Opening& o, const Bytes&) { return answer(o); };
    }

    Bytes answer(const FakePort::Opening& o) {
        if (o.settings.substr(0, o.settings.find(',')) != speed) return {};
        const Bytes sent = o.bytes();
        const auto endsWith = [&](const Bytes& tail, std::size_t extra = 0) {
            return sent.size() >= tail.size() + extra &&
                   std::equal(tail.begin(), tail.end(), sent.end() - (tail.size() + extra));
        };
        if (endsWith({0x1B, 0x40, 0x01, 0x39, 0x36, 0x02, 0x30})) return block;
        if (endsWith({0x01, 0x39, 0x36, 0x02, 0x36})) return mac;
        if (endsWith({0x01, 0x39, 0x36, 0x02, 0x24, 0x00})) return {code};
        if (!keepsWrites) return {};
        if (endsWith({0x01, 0x39, 0x36, 0x02, 0x31}, 4)) {
            block.assign(sent.end() - 4, sent.end());
            speed = std::string(kSpeedTexts[block[1] & 0x07]);
        } else if (endsWith({0x01, 0x39, 0x36, 0x02, 0x25}, 1)) {
            code = sent.back();
        } else if (o.writes.size() == 1 && sent.size() == 8 && sent[0] == 0x0A) {
            mac.assign(sent.begin(), sent.begin() + 6);  // the third command of a MAC save
        }
        return {};
    }
};

}  // namespace tessra::testing
