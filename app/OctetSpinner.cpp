#include "app/OctetSpinner.h"

namespace tessra::app {

OctetSpinner::OctetSpinner(QWidget* parent) : QScrollBar(Qt::Vertical, parent) {
    setRange(0, 255);
    setSingleStep(1);
    setPageStep(1);
    setValue(0);
    // High values sit at the top, so a drag upwards raises the value too.
    setInvertedAppearance(true);
    // Scroll bars invert keys and wheel by default; a spinner counts up with them.
    setInvertedControls(false);
    connect(this, &QAbstractSlider::actionTriggered, this, &OctetSpinner::mirrorMouseStep);
}

void OctetSpinner::mousePressEvent(QMouseEvent* event) {
    mouseDown_ = true;
    QScrollBar::mousePressEvent(event);
}

void OctetSpinner::mouseReleaseEvent(QMouseEvent* event) {
    QScrollBar::mouseReleaseEvent(event);
    mouseDown_ = false;
}

// Arrows and the groove step against the drawn direction; turn the pending
// step round before it reaches the value.
void OctetSpinner::mirrorMouseStep(int action) {
    if (!mouseDown_) return;
    switch (action) {
        case SliderSingleStepAdd:
            setSliderPosition(value() - singleStep());
            break;
        case SliderSingleStepSub:
            setSliderPosition(value() + singleStep());
            break;
        case SliderPageStepAdd:
            setSliderPosition(value() - pageStep());
            break;
        case SliderPageStepSub:
            setSliderPosition(value() + pageStep());
            break;
        default:
            break;
    }
}

}  // namespace tessra::app
