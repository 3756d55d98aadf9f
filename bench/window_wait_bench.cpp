// CPU cost of the real window while it waits for a printer that never
// answers: the window, operator, serial adapter and clock of the utility,
// driven by timers instead of a hand. Run it on a display (Xvfb will do) with
// TESSRA_COM1 naming a silent virtual printer; bench/window_wait_cpu.sh does
// all of that. Prints wall time, CPU time and CPU share per operation.
#include <sys/resource.h>

#include <QApplication>
#include <QButtonGroup>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <functional>

#include "CpuTime.h"
#include "app/Form1.h"
#include "app/QtOperator.h"
#include "link/QtClock.h"
#include "link/QtSerialPort.h"
#include "models/Profiles.h"

namespace {

using SteadyClock = std::chrono::steady_clock;

// One measured click: from the click to the time-out box (or to the end of
// the handler when no box comes).
struct Measurement {
    const char* what = "";
    SteadyClock::time_point wallStart;
    double cpuStart = 0;
    bool done = false;

    void start(const char* name) {
        what = name;
        done = false;
        wallStart = SteadyClock::now();
        cpuStart = cpuSeconds();
    }
    void stop() {
        if (done) return;
        done = true;
        const double cpu = cpuSeconds() - cpuStart;
        const double wall = std::chrono::duration<double>(SteadyClock::now() - wallStart).count();
        std::printf("%-40s wall %.3f s  cpu %.3f s  (%.2f%%)\n", what, wall, cpu,
                    100.0 * cpu / wall);
        std::fflush(stdout);
    }
};

// Answers every message box as soon as it shows.
class BoxCloser final : public QObject {
public:
    explicit BoxCloser(std::function<void()> onBox) : onBox_(std::move(onBox)) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show) {
            if (auto* box = qobject_cast<QMessageBox*>(watched)) {
                onBox_();
                QTimer::singleShot(0, box, &QMessageBox::accept);
            }
        }
        return false;
    }

private:
    std::function<void()> onBox_;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    tessra::QtSerialPort port;
    tessra::QtClock clock;
    tessra::app::QtOperator op;
    tessra::app::Form1 form(port, clock, op);
    op.setWindow(&form);
    form.Opt_PRT_MODEL->button(static_cast<int>(tessra::models::Model::Velda))->click();

    Measurement m;
    // The time-out box ends the measured wait; it is answered at once. An
    // event filter rather than a polling timer, which would cost CPU itself.
    BoxCloser closer{[&] { m.stop(); }};
    app.installEventFilter(&closer);

    const std::vector<std::pair<const char*, std::function<void()>>> clicks{
        {"idle window, 2 s", [] {}},
        {"automatic Read, no answer (21 x 0.3 s)", [&] { form.cmdSelPage[0]->click(); }},
        {"MAC load, no answer (5 s)", [&] { form.Command12->click(); }},
        {"customer code read, no answer (5 s)", [&] { form.Command20[0]->click(); }},
        {"Feeding: DSR at once, 200 ms pause", [&] { form.Command14->click(); }},
    };
    std::size_t next = 0;
    std::function<void()> runNext = [&] {
        if (next == clicks.size()) {
            QApplication::quit();
            return;
        }
        const auto& [what, click] = clicks[next++];
        m.start(what);
        click();
        if (next == 1) {
            QTimer::singleShot(2000, [&] {
                m.stop();
                runNext();
            });
            return;
        }
        m.stop();
        QTimer::singleShot(500, runNext);
    };
    QTimer::singleShot(1000, runNext);  // let the window settle on the display
    return QApplication::exec();
}
