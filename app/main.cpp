#include <QApplication>

#include "app/Form1.h"
#include "app/PortsDialog.h"
#include "app/QtOperator.h"
#include "link/QtClock.h"
#include "link/QtSerialPort.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    tessra::QtSerialPort port;
    tessra::QtClock clock;
    tessra::app::QtOperator op;
    tessra::app::Form1 form(port, clock, op);
    op.setWindow(&form);
    tessra::app::addPortsMenu(form, port.portMap());
    return QApplication::exec();
}
