#include "app/StatusLine.h"

#include <QMainWindow>
#include <QStatusBar>

namespace tessra::app {

StatusLine::StatusLine(QWidget* parent) : QLabel(parent) {
    setObjectName(QStringLiteral("statusLine"));
    setTextInteractionFlags(Qt::TextSelectableByMouse);  // advice is often copied
    // A long line must not widen the window; it is cut at the right instead.
    setMinimumWidth(1);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
}

void StatusLine::showLine(const QString& text) {
    setText(text);
    setToolTip(text);  // the whole line, where the window is too narrow for it
    emit shown(text);
}

StatusLine& statusLine(QMainWindow& window) {
    if (auto* line = window.statusBar()->findChild<StatusLine*>()) return *line;
    auto* line = new StatusLine;
    window.statusBar()->addPermanentWidget(line, 1);
    return *line;
}

}  // namespace tessra::app
