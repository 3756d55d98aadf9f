#pragma once

#include <QScrollBar>

namespace tessra::app {

// A vertical scroll bar used as an octet spinner: 0 to 255 in steps of one,
// the upper arrow raising the value and the lower arrow lowering it (a plain
// scroll bar does the reverse). Keys and wheel also raise the value upwards.
class OctetSpinner final : public QScrollBar {
public:
    explicit OctetSpinner(QWidget* parent = nullptr);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void mirrorMouseStep(int action);

    bool mouseDown_ = false;
};

}  // namespace tessra::app
