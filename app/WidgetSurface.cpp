#include "app/WidgetSurface.h"

#include <QAbstractButton>
#include <QDebug>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "app/QtText.h"

namespace tessra::app {

QWidget* WidgetSurface::find(std::string_view control) const {
    QWidget* w = root_.findChild<QWidget*>(qstr(control));
    if (!w) qWarning("No control named %s", qPrintable(qstr(control)));
    return w;
}

void WidgetSurface::setCaption(std::string_view control, std::string_view caption) {
    QWidget* w = find(control);
    const QString text = qstr(caption);
    if (auto* b = qobject_cast<QAbstractButton*>(w)) {
        b->setText(text);
    } else if (auto* g = qobject_cast<QGroupBox*>(w)) {
        g->setTitle(text);
    } else if (auto* l = qobject_cast<QLabel*>(w)) {
        l->setText(text);
    } else if (auto* e = qobject_cast<QLineEdit*>(w)) {
        e->setText(text);
    } else if (auto* p = qobject_cast<QPlainTextEdit*>(w)) {
        p->setPlainText(text);
    }
}

void WidgetSurface::setVisible(std::string_view control, bool visible) {
    if (QWidget* w = find(control)) w->setVisible(visible);
}

void WidgetSurface::setEnabled(std::string_view control, bool enabled) {
    if (QWidget* w = find(control)) w->setEnabled(enabled);
}

}  // namespace tessra::app
