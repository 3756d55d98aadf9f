#pragma once

#include <QEvent>
#include <QObject>

namespace tessra::app {

// An application event filter that drops the person's input (mouse, keys,
// shortcuts, wheel, touch, input method) and lets every other event through,
// a close of the window included.
class InputDrop final : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override {
        return event->isInputEvent() || event->type() == QEvent::Shortcut ||
               event->type() == QEvent::InputMethod;
    }
};

}  // namespace tessra::app
