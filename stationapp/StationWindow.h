#pragma once

#include <QElapsedTimer>
#include <QMainWindow>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "station/Counters.h"
#include "station/Event.h"
#include "station/Station.h"
#include "stationapp/PortChoices.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QGridLayout;
class QTableWidget;

namespace tessra::stationapp {

class SlotTile;

// Makes the station's printers, unit work and clocks for a recipe; the
// window fills in the ports.
using SetupMaker = std::function<station::StationSetup(const std::string& recipePath)>;

// The production station's window: the recipe, the slots, Start and Stop,
// one tile per slot, the counters and the event list.
class StationWindow final : public QMainWindow {
public:
    StationWindow(SetupMaker maker, std::vector<PortChoice> choices, QWidget* parent = nullptr);
    ~StationWindow() override;

    void setRecipe(const QString& path);
    void setChosenSlots(const QStringList& ports);
    bool start();
    void stop();
    bool running() const { return station_ != nullptr; }
    bool saveCsv(const QString& path) const;

    // One event, on the window's thread.
    void take(const station::Event& event);
    SlotTile* tile(const std::string& port) const;
    QString countersText() const;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void openRecipe();
    void saveCsvAs();
    void refresh();
    void updateControls();
    // The status line when nothing else is to be said: what the next step is.
    void showState();
    QStringList chosenSlots() const;
    void addSlot(const QString& port, bool checked);
    void addTypedSlot();

    SetupMaker maker_;
    QString recipe_;
    std::unique_ptr<station::Station> station_;
    std::map<std::string, SlotTile*> tiles_;
    std::vector<station::Event> events_;
    station::Counters counters_;
    QElapsedTimer runTime_;
    int stoppedSlots_ = 0;
    bool stoppedOnce_ = false;
    bool closeAfterStop_ = false;

    QLabel* recipeLabel_;
    QListWidget* slotList_;
    QLineEdit* slotPath_;
    QPushButton* addSlotButton_;
    QPushButton* startButton_;
    QPushButton* stopButton_;
    QLabel* countersLabel_;
    QGridLayout* tileGrid_;
    QTableWidget* eventTable_;
};

}  // namespace tessra::stationapp
