#pragma once

#include <QDockWidget>
#include <QRect>
#include <QSize>
#include <QString>
#include <QTimer>
#include <cstdint>
#include <optional>

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
    // The height the view opens at: the one the user left it at (kept in
    // the user's settings), else a third of the screen, where a few dozen
    // lines fit. Never less than its controls need.
    int openingHeight() const;
    // The view never takes room from the window's own controls. Docked at the
    // bottom when the window can grow by the view's least height on its
    // screen (the window grows, and moves up if it must); otherwise floating
    // as a window of its own beside the window, or below it at the foot of
    // the screen.
    void setVisible(bool visible) override;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void chooseFileAndSave();
    // Docked or floating, and where, for the window as it stands now.
    void placeForWindow(QMainWindow& window);
    QRect floatingPlace(const QRect& frame, const QRect& available) const;
    // Grows the window by the planned height and gives the view that height.
    void growWindowForView();
    QString droppedText() const;

    TrafficLog& log_;
    QPlainTextEdit* text_ = nullptr;
    QLabel* dropped_ = nullptr;
    QTimer timer_;
    std::uint64_t cursor_ = 0;
    bool sizing_ = false;  // the view is being given its opening height
    // While shown: the central widget's own minimum, the window's height
    // before it grew, the view's planned height, how far the window grew and
    // moved up (undone on hide), and where the view floats.
    std::optional<QSize> centralMinimum_;
    int heightBefore_ = 0;
    int plannedHeight_ = 0;
    int grownBy_ = 0;
    int movedUpBy_ = 0;
    QRect floatingAt_;
};

// Adds the traffic view to the window, hidden, and "Traffic" to the "View"
// menu of the window's menu bar to show it.
TrafficDock* addTrafficView(QMainWindow& window, TrafficLog& log);

}  // namespace tessra::app
