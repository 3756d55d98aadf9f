#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "link/Operator.h"

namespace tessra::testing {

class FakeOperator final : public Operator {
public:
    struct Message {
        std::string text;
        std::string title;
        bool operator==(const Message&) const = default;
    };
    std::vector<Message> messages;
    std::vector<std::string> statusLines;
    std::deque<std::string> answers;  // input box replies; empty deque = cancelled
    std::vector<std::pair<std::string, std::string>> questions;
    int eventPasses = 0;
    int repaints = 0;
    int busyDepth = 0;
    int maxBusyDepth = 0;
    // Runs inside processEvents: a click the user makes while the window waits.
    std::function<void()> onProcessEvents;
    // The person closes the window in this poll (1-based, repaints and event
    // passes counted alike); 0 = never. Only an operation's polls count.
    int closeAtPoll = 0;
    int polls = 0;
    bool windowClosed = false;  // the window closed once the operation returned
    std::function<void(const Message&)> onMessage;

    void message(std::string_view text, std::string_view title) override {
        messages.push_back({std::string(text), std::string(title)});
        if (onMessage) onMessage(messages.back());
    }
    std::string input(std::string_view prompt, std::string_view title) override {
        questions.emplace_back(prompt, title);
        if (answers.empty()) return {};
        std::string a = answers.front();
        answers.pop_front();
        return a;
    }
    void processEvents() override {
        ++eventPasses;
        poll();
        if (onProcessEvents) {
            auto hook = onProcessEvents;
            hook();
        }
    }
    void repaint() override {
        ++repaints;
        poll();
    }
    void setBusy(bool busy) override {
        busyDepth += busy ? 1 : -1;
        if (busyDepth > maxBusyDepth) maxBusyDepth = busyDepth;
        if (busyDepth == 0 && closeRequested_) {
            closeRequested_ = false;
            windowClosed = true;
        }
    }
    bool closeRequested() const override { return closeRequested_; }
    void status(std::string_view text) override { statusLines.emplace_back(text); }

    std::vector<std::string> messageTexts() const {
        std::vector<std::string> out;
        for (const auto& m : messages) out.push_back(m.text);
        return out;
    }

private:
    void poll() {
        if (busyDepth > 0 && ++polls == closeAtPoll) closeRequested_ = true;
    }
    bool closeRequested_ = false;
};

}  // namespace tessra::testing
