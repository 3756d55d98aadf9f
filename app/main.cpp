#include <QApplication>

#include "app/Form1.h"
#include "app/MacSaveLedger.h"
#include "app/QtOperator.h"
#include "app/SettingsFileMenu.h"
#include "link/QtClock.h"
#include "link/QtSerialPort.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    tessra::QtSerialPort port;
    tessra::QtClock clock;
    tessra::app::QtOperator op;
    tessra::app::Form1 form(port, clock, op);
    op.setWindow(&form);
    new tessra::app::SettingsFileMenu(form, form.optionPanel());  // owned by the window
    tessra::app::MacSaveLedger macLedger(form.macFrame(), form.lineChoice(), op);
    return QApplication::exec();
}
