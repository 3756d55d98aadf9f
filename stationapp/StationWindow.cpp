#include "stationapp/StationWindow.h"

#include <QCloseEvent>
#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QSettings>
#include <QSplitter>
#include <QStatusBar>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "station/EventFormat.h"
#include "stationapp/SlotTile.h"

namespace tessra::stationapp {

namespace {

constexpr int kTileColumns = 4;

QSettings settings() {
    return QSettings(QStringLiteral("Tessra"), QStringLiteral("tessra-station"));
}

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

}  // namespace

StationWindow::StationWindow(SetupMaker maker, std::vector<PortChoice> choices, QWidget* parent)
    : QMainWindow(parent), maker_(std::move(maker)) {
    setWindowTitle(QStringLiteral("Tessra Production Station"));
    auto* fileMenu = menuBar()->addMenu(QStringLiteral("&File"));
    fileMenu->addAction(QStringLiteral("&Open Recipe..."), this, [this] { openRecipe(); });
    fileMenu->addAction(QStringLiteral("&Save Events As CSV..."), this, [this] { saveCsvAs(); });
    fileMenu->addSeparator();
    fileMenu->addAction(QStringLiteral("&Quit"), this, [this] { close(); });

    auto* central = new QWidget;
    auto* top = new QVBoxLayout(central);
    auto* controls = new QHBoxLayout;
    auto* openButton = new QPushButton(QStringLiteral("Open Recipe..."));
    connect(openButton, &QPushButton::clicked, this, [this] { openRecipe(); });
    recipeLabel_ = new QLabel(QStringLiteral("no recipe"));
    startButton_ = new QPushButton(QStringLiteral("Start"));
    stopButton_ = new QPushButton(QStringLiteral("Stop"));
    connect(startButton_, &QPushButton::clicked, this, [this] { start(); });
    connect(stopButton_, &QPushButton::clicked, this, [this] { stop(); });
    countersLabel_ = new QLabel;
    QFont big = countersLabel_->font();
    big.setPointSize(16);
    countersLabel_->setFont(big);
    controls->addWidget(openButton);
    controls->addWidget(recipeLabel_, 1);
    controls->addWidget(startButton_);
    controls->addWidget(stopButton_);
    controls->addWidget(countersLabel_);
    top->addLayout(controls);

    auto* splitter = new QSplitter(Qt::Vertical);
    auto* upper = new QWidget;
    auto* upperLayout = new QHBoxLayout(upper);
    slotList_ = new QListWidget;
    slotList_->setAccessibleName(QStringLiteral("Slots"));
    slotList_->setMaximumWidth(360);
    for (const PortChoice& choice : choices) {
        auto* item = new QListWidgetItem(qs(choice.label), slotList_);
        item->setData(Qt::UserRole, qs(choice.port));
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    upperLayout->addWidget(slotList_);
    auto* tileArea = new QWidget;
    tileGrid_ = new QGridLayout(tileArea);
    upperLayout->addWidget(tileArea, 1);
    splitter->addWidget(upper);

    eventTable_ = new QTableWidget(0, 4);
    eventTable_->setAccessibleName(QStringLiteral("Events"));
    eventTable_->setHorizontalHeaderLabels({QStringLiteral("Time"), QStringLiteral("Slot"),
                                            QStringLiteral("Event"), QStringLiteral("Details")});
    eventTable_->horizontalHeader()->setStretchLastSection(true);
    eventTable_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    splitter->addWidget(eventTable_);
    top->addWidget(splitter, 1);
    setCentralWidget(central);

    auto* ticker = new QTimer(this);
    connect(ticker, &QTimer::timeout, this, [this] { refresh(); });
    ticker->start(1000);

    QSettings s = settings();
    const QString recipe = s.value(QStringLiteral("recipe")).toString();
    if (!recipe.isEmpty()) setRecipe(recipe);
    setChosenSlots(s.value(QStringLiteral("slots")).toStringList());
    refresh();
    updateControls();
}

StationWindow::~StationWindow() {
    // The slots finish their step; their last events go nowhere.
    station_.reset();
}

void StationWindow::setRecipe(const QString& path) {
    recipe_ = path;
    recipeLabel_->setText(path.isEmpty() ? QStringLiteral("no recipe") : path);
}

void StationWindow::setChosenSlots(const QStringList& ports) {
    QStringList missing = ports;
    for (int i = 0; i < slotList_->count(); ++i) {
        QListWidgetItem* item = slotList_->item(i);
        const QString port = item->data(Qt::UserRole).toString();
        item->setCheckState(ports.contains(port) ? Qt::Checked : Qt::Unchecked);
        missing.removeAll(port);
    }
    // A remembered slot whose device is not plugged in now stays a choice.
    for (const QString& port : missing) {
        auto* item = new QListWidgetItem(port, slotList_);
        item->setData(Qt::UserRole, port);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Checked);
    }
}

QStringList StationWindow::chosenSlots() const {
    QStringList ports;
    for (int i = 0; i < slotList_->count(); ++i) {
        if (slotList_->item(i)->checkState() == Qt::Checked) {
            ports << slotList_->item(i)->data(Qt::UserRole).toString();
        }
    }
    return ports;
}

bool StationWindow::start() {
    if (running()) return false;
    const QStringList ports = chosenSlots();
    if (recipe_.isEmpty()) {
        statusBar()->showMessage(QStringLiteral("Open a recipe first."));
        return false;
    }
    if (ports.isEmpty()) {
        statusBar()->showMessage(QStringLiteral("Choose at least one slot."));
        return false;
    }
    QSettings s = settings();
    s.setValue(QStringLiteral("recipe"), recipe_);
    s.setValue(QStringLiteral("slots"), ports);

    for (auto& [port, tile] : tiles_) delete tile;
    tiles_.clear();
    station::StationSetup setup = maker_(recipe_.toStdString());
    setup.ports.clear();
    for (const QString& port : ports) {
        auto* tile = new SlotTile(port.toStdString());
        const int n = static_cast<int>(tiles_.size());
        tileGrid_->addWidget(tile, n / kTileColumns, n % kTileColumns);
        tiles_[port.toStdString()] = tile;
        setup.ports.push_back(port.toStdString());
    }
    counters_ = {};
    stoppedSlots_ = 0;
    runTime_.start();
    // The slots' threads hand each event to the window's thread.
    station_ =
        std::make_unique<station::Station>(std::move(setup), [this](const station::Event& e) {
            QMetaObject::invokeMethod(
                this, [this, e] { take(e); }, Qt::QueuedConnection);
        });
    station_->start();
    statusBar()->showMessage(QStringLiteral("Running on %1 slots.").arg(ports.size()));
    updateControls();
    return true;
}

void StationWindow::stop() {
    if (!running()) return;
    station_->requestStop();
    statusBar()->showMessage(QStringLiteral("Stopping: each unit finishes its current step."));
    updateControls();
}

void StationWindow::take(const station::Event& event) {
    events_.push_back(event);
    counters_.count(event);
    const int row = eventTable_->rowCount();
    eventTable_->insertRow(row);
    const std::string text = station::formatText(event);
    const QStringList cells{qs(text.substr(0, 8)), qs(event.slot),
                            qs(std::string(station::eventName(event.kind))),
                            qs(station::formatDetails(event))};
    for (int c = 0; c < cells.size(); ++c)
        eventTable_->setItem(row, c, new QTableWidgetItem(cells[c]));
    eventTable_->scrollToBottom();
    if (SlotTile* t = tile(event.slot)) t->follow(event);
    if (event.kind == station::EventKind::Stopped &&
        ++stoppedSlots_ == static_cast<int>(tiles_.size())) {
        station_.reset();
        statusBar()->showMessage(QStringLiteral("Stopped."));
        updateControls();
        if (closeAfterStop_) close();
    }
    refresh();
}

SlotTile* StationWindow::tile(const std::string& port) const {
    const auto it = tiles_.find(port);
    return it == tiles_.end() ? nullptr : it->second;
}

QString StationWindow::countersText() const {
    const double seconds =
        runTime_.isValid() ? static_cast<double>(runTime_.elapsed()) / 1000.0 : 0.0;
    return QStringLiteral("Done %1   Failed %2   Units per hour %3")
        .arg(counters_.done)
        .arg(counters_.failed)
        .arg(counters_.unitsPerHour(seconds), 0, 'f', 0);
}

void StationWindow::refresh() {
    countersLabel_->setText(countersText());
    for (auto& [port, tile] : tiles_) tile->refresh();
}

void StationWindow::updateControls() {
    startButton_->setEnabled(!running());
    stopButton_->setEnabled(running() && !station_->stopping());
    slotList_->setEnabled(!running());
}

bool StationWindow::saveCsv(const QString& path) const {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    std::string text = station::csvHeader() + "\r\n";
    for (const station::Event& e : events_) text += station::formatCsv(e) + "\r\n";
    return file.write(text.data(), static_cast<qint64>(text.size())) ==
           static_cast<qint64>(text.size());
}

void StationWindow::openRecipe() {
    const QString path =
        QFileDialog::getOpenFileName(this, QStringLiteral("Open Recipe"), recipe_,
                                     QStringLiteral("Recipes (*.recipe *.txt);;All files (*)"));
    if (!path.isEmpty()) setRecipe(path);
}

void StationWindow::saveCsvAs() {
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Save Events As CSV"),
                                                      QStringLiteral("station-events.csv"),
                                                      QStringLiteral("CSV files (*.csv)"));
    if (path.isEmpty()) return;
    if (!saveCsv(path)) statusBar()->showMessage(QStringLiteral("Cannot write %1.").arg(path));
}

// Closing lets every unit finish its current step first; the window closes
// once the last slot has stopped.
void StationWindow::closeEvent(QCloseEvent* event) {
    if (!running()) {
        event->accept();
        return;
    }
    closeAfterStop_ = true;
    stop();
    event->ignore();
}

}  // namespace tessra::stationapp
