// Holds a serial line open through the real adapter, as another program
// would, until its standard input closes. Says "holding" once it does.
// Usage: tessra_port_holder DEVICE
#include <unistd.h>

#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>

#include "link/QtSerialPort.h"

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    QCoreApplication app(argc, argv);
    ::setenv("TESSRA_COM1", argv[1], 1);
    tessra::QtSerialPort port;
    if (!port.open(1)) {
        std::fprintf(stderr, "%s\n", port.lastError().c_str());
        return 1;
    }
    std::puts("holding");
    std::fflush(stdout);
    char c = 0;
    while (::read(STDIN_FILENO, &c, 1) > 0) {
    }
    return 0;
}
