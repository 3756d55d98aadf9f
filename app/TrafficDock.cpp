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
#include <QVBoxLayout>
#include <algorithm>

namespace tessra::app {

namespace {
constexpr int kPullIntervalMs = 100;
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

void TrafficDock::placeFor(const QMainWindow& window) {
    const QScreen* screen = window.screen();
    if (!screen) return;
    const int titleBar = window.frameGeometry().height() - window.geometry().height();
    const int needed = window.sizeHint().height() + titleBar + openingHeight();
    setFloating(needed > screen->availableGeometry().height());
}

void TrafficDock::showEvent(QShowEvent* event) {
    QDockWidget::showEvent(event);
    sizing_ = true;
    if (isFloating() && parentWidget()) {
        // Over the lower part of the window, where it covers the fewest controls.
        const QRect window = parentWidget()->geometry();
        const int height = std::min(openingHeight(), window.height() / 2);
        setGeometry(window.left(), window.bottom() + 1 - height, window.width(), height);
        sizing_ = false;
    } else {
        // Once the window's layout has made room for the view.
        QTimer::singleShot(0, this, [this] { growWindowForView(); });
    }
    pull();
    timer_.start();
}

void TrafficDock::growWindowForView() {
    auto* window = qobject_cast<QMainWindow*>(parentWidget());
    const QScreen* screen = window ? window->screen() : nullptr;
    if (!window || !screen || isFloating()) {
        sizing_ = false;
        return;
    }
    // placeFor docked the view because window and view fit on the screen together.
    const QRect available = screen->availableGeometry();
    const int titleBar = window->frameGeometry().height() - window->geometry().height();
    const int wanted = openingHeight();
    const int height = std::min(window->height() + std::max(0, wanted - this->height()),
                                available.height() - titleBar);
    window->resize(window->width(), height);
    if (window->frameGeometry().bottom() > available.bottom())
        window->move(window->x(),
                     std::max(available.top(), available.bottom() + 1 - height - titleBar));
    window->resizeDocks({this}, {wanted}, Qt::Vertical);
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
    dock->placeFor(window);
    QMenu* view = window.menuBar()->addMenu(QStringLiteral("&View"));
    view->setObjectName(QStringLiteral("menuView"));
    QAction* show = dock->toggleViewAction();
    show->setText(QStringLiteral("&Traffic"));
    show->setObjectName(QStringLiteral("actionTraffic"));
    view->addAction(show);
    return dock;
}

}  // namespace tessra::app
