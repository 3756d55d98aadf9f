#pragma once

#include <QCoreApplication>

namespace tessra::testing {

// One application object for the whole test program, made on first use:
// QSerialPort and the event loop need it, and Qt allows only one.
inline QCoreApplication& testApplication() {
    static int argc = 1;
    static char name[] = "tessra_test";
    static char* argv[] = {name, nullptr};
    static QCoreApplication instance(argc, argv);
    return instance;
}

}  // namespace tessra::testing
