#pragma once

#include <QDockWidget>
#include <QString>
#include <QTimer>
#include <cstdint>

#include "link/TrafficLog.h"

class QLabel;
class QMainWindow;
class QPlainTextEdit;

namespace tessra::app {

// The traffic view: the log's lines in a read-only text box. While shown it
// pulls the new lines from the log a few times a second, in one batch, so
// that logging a byte never waits for the widget and a hidden view costs
// nothing.
class TrafficDock final : public QDockWidget {
public:
    explicit TrafficDock(TrafficLog& log, QWidget* parent = nullptr);

    // Shows the lines the log gained since the last pull.
    void pull();
    // What the view shows, as Save As writes it: first a line saying how many
    // older lines were dropped, if any.
    QString shownText() const;
    // Brings the view up to date and writes what it shows to the file. On
    // failure returns false and puts the reason into error.
    bool saveAs(const QString& path, QString* error = nullptr);
    // Forgets every line, in the view and in the log.
    void clear();
    // Docked at the bottom when the window and the view fit on the window's
    // screen together; otherwise floating over the lower part of the window,
    // so that the window keeps its size and stays on the screen.
    void placeFor(const QMainWindow& window);
    // The height the view opens at: the one the user left it at (kept in
    // the user's settings), else a third of the screen, where a few dozen
    // lines fit. Never less than its controls need.
    int openingHeight() const;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void chooseFileAndSave();
    // Makes the window taller by what the view still lacks of its opening
    // height, within the screen, and gives the view that height.
    void growWindowForView();
    QString droppedText() const;

    TrafficLog& log_;
    QPlainTextEdit* text_ = nullptr;
    QLabel* dropped_ = nullptr;
    QTimer timer_;
    std::uint64_t cursor_ = 0;
    bool sizing_ = false;  // the view is being given its opening height
};

// Adds the traffic view to the window, placed for its screen and hidden, and
// "Traffic" to the "View" menu of the window's menu bar to show it.
TrafficDock* addTrafficView(QMainWindow& window, TrafficLog& log);

}  // namespace tessra::app
