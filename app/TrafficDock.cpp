#include "app/TrafficDock.h"

#include <QAction>
#include <QFileDialog>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QScreen>
#include <QSettings>
#include <QTextDocument>
#include <QVBoxLayout>
#include <QWindow>
#include <algorithm>
#include <utility>

namespace tessra::app {

namespace {
constexpr int kPullIntervalMs = 100;
// A floating view beside the window is at least this wide.
constexpr int kFloatingWidth = 360;
const QString kTitle = QStringLiteral("Traffic");
const QString kHeightKey = QStringLiteral("TrafficView/height");

// The utility's own settings, where the Ports dialog keeps the port mapping.
QSettings userSettings() {
    return QSettings(QStringLiteral("Tessra"), QStringLiteral("tessra-printer-utility"));
}
}  // namespace

TrafficDock::TrafficDock(TrafficLog& log, QWidget* parent)
    : QDockWidget(kTitle, parent), log_(log) {
    setObjectName(QStringLiteral("TrafficDock"));
    setAllowedAreas(Qt::BottomDockWidgetArea | Qt::RightDockWidgetArea);

    auto* body = new QWidget;
    auto* saveAsButton = new QPushButton(QStringLiteral("Save As..."));
    saveAsButton->setObjectName(QStringLiteral("TrafficSaveAs"));
    auto* clearButton = new QPushButton(QStringLiteral("Clear"));
    clearButton->setObjectName(QStringLiteral("TrafficClear"));
    dropped_ = new QLabel;
    dropped_->setObjectName(QStringLiteral("TrafficDropped"));

    text_ = new QPlainTextEdit;
    text_->setObjectName(QStringLiteral("TrafficText"));
    text_->setReadOnly(true);
    text_->setUndoRedoEnabled(false);
    text_->setLineWrapMode(QPlainTextEdit::NoWrap);
    text_->setMaximumBlockCount(static_cast<int>(log_.limit()));
    text_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    // Two lines at the least, so that the view docks in what room a screen
    // leaves below the window.
    text_->setMinimumHeight(2 * text_->fontMetrics().lineSpacing() + 2 * text_->frameWidth() +
                            2 * static_cast<int>(text_->document()->documentMargin()));

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(saveAsButton);
    buttons->addWidget(clearButton);
    buttons->addWidget(dropped_, 1);
    auto* column = new QVBoxLayout(body);
    column->setContentsMargins(4, 2, 4, 4);
    column->addLayout(buttons);
    column->addWidget(text_);
    setWidget(body);

    connect(saveAsButton, &QPushButton::clicked, this, [this] { chooseFileAndSave(); });
    connect(clearButton, &QPushButton::clicked, this, [this] { clear(); });
    timer_.setInterval(kPullIntervalMs);
    connect(&timer_, &QTimer::timeout, this, [this] { pull(); });
}

void TrafficDock::pull() {
    const std::vector<std::string> fresh = log_.takeNew(cursor_);
    if (!fresh.empty()) {
        QString batch;
        for (const std::string& line : fresh) {
            if (!batch.isEmpty()) batch += QLatin1Char('\n');
            batch += QString::fromStdString(line);
        }
        // One paragraph per line; the box keeps the newest lines within the
        // log's limit and follows the end if it was there.
        text_->appendPlainText(batch);
    }
    const QString dropped = droppedText();
    if (dropped_->text() != dropped) dropped_->setText(dropped);
}

QString TrafficDock::droppedText() const {
    if (log_.dropped() == 0) return {};
    return QStringLiteral("%1 older lines dropped (the view keeps the last %2)")
        .arg(log_.dropped())
        .arg(log_.limit());
}

QString TrafficDock::shownText() const {
    QString text;
    if (!dropped_->text().isEmpty()) text = dropped_->text() + QLatin1Char('\n');
    const QString lines = text_->toPlainText();
    if (!lines.isEmpty()) text += lines + QLatin1Char('\n');
    return text;
}

bool TrafficDock::saveAs(const QString& path, QString* error) {
    pull();
    QSaveFile file(path);
    const bool saved = file.open(QIODevice::WriteOnly | QIODevice::Text) &&
                       file.write(shownText().toUtf8()) >= 0 && file.commit();
    if (!saved && error) *error = file.errorString();
    return saved;
}

void TrafficDock::clear() {
    log_.clear();
    text_->clear();
    pull();
}

void TrafficDock::chooseFileAndSave() {
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Save Traffic As"),
                                                      QStringLiteral("traffic.txt"),
                                                      QStringLiteral("Text files (*.txt)"));
    if (path.isEmpty()) return;
    QString error;
    if (!saveAs(path, &error))
        QMessageBox::warning(this, kTitle, QStringLiteral("Cannot save %1: %2").arg(path, error));
}

int TrafficDock::openingHeight() const {
    const int kept = userSettings().value(kHeightKey, 0).toInt();
    const QScreen* screen = parentWidget() ? parentWidget()->screen() : this->screen();
    const int screenHeight = screen ? screen->availableGeometry().height() : 0;
    const int wanted = kept > 0 ? kept : screenHeight / 3;
    return std::max(wanted, minimumSizeHint().height());
}

void TrafficDock::setVisible(bool visible) {
    auto* window = qobject_cast<QMainWindow*>(parentWidget());
    const bool opening = visible && !isVisible() && window && window->isVisible();
    const bool closing = !visible && isVisible() && window;
    if (opening) placeForWindow(*window);
    QDockWidget::setVisible(visible);
    if (!closing) return;
    // The window goes back to the size and place it had, once its layout
    // no longer asks room for the view.
    if (QWidget* central = window->centralWidget(); central && centralMinimum_)
        central->setMinimumSize(*centralMinimum_);
    centralMinimum_.reset();
    window->layout()->activate();
    if (grownBy_ > 0) window->resize(window->width(), window->height() - grownBy_);
    if (movedUpBy_ > 0) window->move(window->x(), window->y() + movedUpBy_);
    grownBy_ = movedUpBy_ = 0;
}

void TrafficDock::placeForWindow(QMainWindow& window) {
    // Held at its present size, the central widget cannot give the view any
    // room: docked, the view takes only what the window gains.
    if (QWidget* central = window.centralWidget(); central && !centralMinimum_) {
        centralMinimum_ = central->minimumSize();
        central->setMinimumSize(central->size());
    }
    grownBy_ = movedUpBy_ = 0;
    heightBefore_ = window.height();
    const QScreen* screen = window.screen();
    if (!screen) return;
    const QRect available = screen->availableGeometry();
    const QRect frame = window.frameGeometry();
    plannedHeight_ = std::min(openingHeight(), available.height() - frame.height());
    const bool docked = !window.isMaximized() && !window.isFullScreen() &&
                        plannedHeight_ >= minimumSizeHint().height();
    setFloating(!docked);
    if (docked) return;
    plannedHeight_ = 0;
    floatingAt_ = floatingPlace(frame, available);
}

QRect TrafficDock::floatingPlace(const QRect& frame, const QRect& available) const {
    const int width = std::max(minimumSizeHint().width(), kFloatingWidth);
    if (available.right() - frame.right() >= width)
        return {frame.right() + 1, frame.top(), width, frame.height()};
    if (frame.left() - available.left() >= width)
        return {frame.left() - width, frame.top(), width, frame.height()};
    // Below, at the foot of the screen; only a screen with no room there
    // either has it over the window's lower edge.
    const int height = std::max(available.bottom() - frame.bottom(), minimumSizeHint().height());
    return {frame.left(), available.bottom() + 1 - height, frame.width(), height};
}

void TrafficDock::showEvent(QShowEvent* event) {
    QDockWidget::showEvent(event);
    if (isFloating() && floatingAt_.isValid()) {
        sizing_ = true;
        const QMargins frame = windowHandle() ? windowHandle()->frameMargins() : QMargins();
        setGeometry(std::exchange(floatingAt_, QRect()).marginsRemoved(frame));
        sizing_ = false;
    } else if (plannedHeight_ > 0) {
        // Once the window's layout has made room for the view.
        sizing_ = true;
        QTimer::singleShot(0, this, [this] { growWindowForView(); });
    }
    pull();
    timer_.start();
}

void TrafficDock::growWindowForView() {
    auto* window = qobject_cast<QMainWindow*>(parentWidget());
    const int planned = std::exchange(plannedHeight_, 0);
    const QScreen* screen = window ? window->screen() : nullptr;
    if (!window || !screen || isFloating() || planned <= 0) {
        sizing_ = false;
        return;
    }
    // placeForWindow docked the view because the window can grow by this much.
    const QRect available = screen->availableGeometry();
    window->resize(window->width(), std::max(heightBefore_ + planned, window->minimumHeight()));
    grownBy_ = window->height() - heightBefore_;
    if (const int over = window->frameGeometry().bottom() - available.bottom(); over > 0) {
        movedUpBy_ = std::min(over, window->frameGeometry().top() - available.top());
        window->move(window->x(), window->y() - movedUpBy_);
    }
    window->resizeDocks({this}, {planned}, Qt::Vertical);
    sizing_ = false;
}

void TrafficDock::resizeEvent(QResizeEvent* event) {
    QDockWidget::resizeEvent(event);
    // Only a height the user chose is kept, not one the layout passed through.
    if (isVisible() && !sizing_ && height() > 0) userSettings().setValue(kHeightKey, height());
}

void TrafficDock::hideEvent(QHideEvent* event) {
    timer_.stop();
    QDockWidget::hideEvent(event);
}

TrafficDock* addTrafficView(QMainWindow& window, TrafficLog& log) {
    auto* dock = new TrafficDock(log, &window);
    window.addDockWidget(Qt::BottomDockWidgetArea, dock);
    dock->hide();
    QMenu* view = window.menuBar()->addMenu(QStringLiteral("&View"));
    view->setObjectName(QStringLiteral("menuView"));
    QAction* show = dock->toggleViewAction();
    show->setText(QStringLiteral("&Traffic"));
    show->setObjectName(QStringLiteral("actionTraffic"));
    view->addAction(show);
    return dock;
}

}  // namespace tessra::app
