#pragma once

#include <QLabel>
#include <QString>

class QMainWindow;

namespace tessra::app {

// The status bar's lasting line: the last progress or failure of an
// operation, with its advice. A permanent part of the status bar, so that
// the status tips of a menu (temporary messages) never wipe out the advice
// that sends the user to that very menu. It stays until the next operation.
class StatusLine final : public QLabel {
    Q_OBJECT

public:
    explicit StatusLine(QWidget* parent = nullptr);
    void showLine(const QString& text);

signals:
    void shown(const QString& text);
};

// The window's status line, added to its status bar on first use.
StatusLine& statusLine(QMainWindow& window);

}  // namespace tessra::app
