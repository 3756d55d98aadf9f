#include <QApplication>

#include "Form1.h"
#include "QtClock.h"
#include "QtOperator.h"
#include "QtSerialPort.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    tessra::QtSerialPort port;
    tessra::QtClock clock;
    tessra::app::QtOperator op;
    tessra::app::Form1 form(port, clock, op);
    op.setWindow(&form);
    return QApplication::exec();
}
