// ledger_reserver LOCATION N: reserves N addresses of the default range and
// prints one per line, for the tests that run several at once. Exits 3 with
// the reason on a ledger failure, 4 when the range is full.
#include <cstdio>
#include <cstdlib>

#include "ledger/Ledger.h"

int main(int argc, char** argv) {
    using namespace tessra::ledger;
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s LOCATION N\n", argv[0]);
        return 2;
    }
    auto ledger = Ledger::open(QString::fromLocal8Bit(argv[1]));
    if (!ledger.ok()) {
        std::fprintf(stderr, "%s\n", qPrintable(ledger.error));
        return 3;
    }
    const Stamp stamp{QStringLiteral("reserver"), QStringLiteral("COM1"), std::nullopt};
    for (int i = std::atoi(argv[2]); i > 0; --i) {
        const Result<Reservation> reserved = (*ledger)->reserve(stamp);
        if (!reserved.ok()) {
            std::fprintf(stderr, "%s\n", qPrintable(reserved.error));
            return 3;
        }
        if (reserved->rangeFull()) return 4;
        std::printf("%s\n", qPrintable(macText(*reserved->address)));
    }
    return 0;
}
