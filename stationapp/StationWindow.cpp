#include "stationapp/StationWindow.h"

#include <QCloseEvent>
#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QSettings>
#include <QSignalBlocker>
#include <QSplitter>
#include <QStatusBar>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "link/PortMap.h"
#include "link/PortOption.h"
#include "station/EventFormat.h"
#include "station/SlotDevices.h"
#include "stationapp/SlotTile.h"

namespace tessra::stationapp {

namespace {

constexpr int kTileColumns = 4;
constexpr int kSlotListWidth = 260;

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
    auto* slotColumn = new QVBoxLayout;
    slotList_ = new QListWidget;
    slotList_->setAccessibleName(QStringLiteral("Slots"));
    // Beside a row of tiles the list would shrink to a few letters of each name.
    slotList_->setMinimumWidth(kSlotListWidth);
    slotList_->setMaximumWidth(2 * kSlotListWidth);
    for (const PortChoice& choice : choices) {
        addSlot(qs(choice.port), false);
        slotList_->item(slotList_->count() - 1)->setText(qs(choice.label));
    }
    connect(slotList_, &QListWidget::itemChanged, this, [this] { showState(); });
    slotColumn->addWidget(slotList_, 1);
    auto* addRow = new QHBoxLayout;
    slotPath_ = new QLineEdit;
    slotPath_->setPlaceholderText(QStringLiteral("/dev/ttyUSB0 or COM3"));
    slotPath_->setAccessibleName(QStringLiteral("Device path of a new slot"));
    addSlotButton_ = new QPushButton(QStringLiteral("Add Slot"));
    connect(addSlotButton_, &QPushButton::clicked, this, [this] { addTypedSlot(); });
    connect(slotPath_, &QLineEdit::returnPressed, this, [this] { addTypedSlot(); });
    addRow->addWidget(slotPath_, 1);
    addRow->addWidget(addSlotButton_);
    slotColumn->addLayout(addRow);
    upperLayout->addLayout(slotColumn);
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
    showState();
}

void StationWindow::addSlot(const QString& port, bool checked) {
    const QSignalBlocker quiet(slotList_);
    auto* item = new QListWidgetItem(port, slotList_);
    item->setData(Qt::UserRole, port);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}

// A device the list does not offer (a fixture's adapter with no stable name,
// or COMn): named as for --port, ticked, and remembered with the slots.
void StationWindow::addTypedSlot() {
    const QString typed = slotPath_->text().trimmed();
    const auto port = parsePortOption(typed.toStdString());
    if (!port) {
        statusBar()->showMessage(
            QStringLiteral("%1: expected COM1 to COM10 or a device path.").arg(typed));
        return;
    }
    const QString name = qs(port->name());
    for (int i = 0; i < slotList_->count(); ++i) {
        if (slotList_->item(i)->data(Qt::UserRole).toString() == name) {
            slotList_->item(i)->setCheckState(Qt::Checked);
            slotPath_->clear();
            return;
        }
    }
    addSlot(name, true);
    slotPath_->clear();
    showState();
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
    for (const QString& port : missing) addSlot(port, true);
    showState();
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
    if (recipe_.isEmpty() || ports.isEmpty()) {
        showState();
        return false;
    }
    std::vector<std::string> portNames;
    for (const QString& port : ports) portNames.push_back(port.toStdString());
    if (const auto shared =
            station::slotsOnOneDevice(portNames, [](int n) { return PortMap().device(n); })) {
        statusBar()->showMessage(qs("Slots " + *shared + ": tick only one of them."));
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
    updateControls();
    return true;
}

void StationWindow::stop() {
    if (!running()) return;
    station_->requestStop();
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
        stoppedOnce_ = true;
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
    QString text = QStringLiteral("Done %1   Failed %2").arg(counters_.done).arg(counters_.failed);
    if (const auto rate = counters_.recentUnitsPerHour(seconds, std::chrono::system_clock::now())) {
        text += QStringLiteral("   Units per hour %1").arg(*rate, 0, 'f', 0);
    }
    return text;
}

void StationWindow::refresh() {
    countersLabel_->setText(countersText());
    for (auto& [port, tile] : tiles_) tile->refresh();
}

void StationWindow::updateControls() {
    startButton_->setEnabled(!running());
    stopButton_->setEnabled(running() && !station_->stopping());
    slotList_->setEnabled(!running());
    slotPath_->setEnabled(!running());
    addSlotButton_->setEnabled(!running());
    showState();
}

void StationWindow::showState() {
    QString text;
    if (running() && station_->stopping()) {
        text = QStringLiteral("Stopping: each unit finishes its current step.");
    } else if (running()) {
        text = QStringLiteral("Running on %1 slots.").arg(tiles_.size());
    } else if (recipe_.isEmpty()) {
        text = QStringLiteral("Open a recipe first.");
    } else if (chosenSlots().isEmpty()) {
        text = QStringLiteral("Choose at least one slot.");
    } else {
        text = stoppedOnce_ ? QStringLiteral("Stopped. Press Start to go on.")
                            : QStringLiteral("Press Start.");
    }
    statusBar()->showMessage(text);
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
