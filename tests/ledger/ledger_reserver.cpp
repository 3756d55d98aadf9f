// ledger_reserver LOCATION N: reserves N addresses of the default range and
// prints one per line, for the tests that run several at once.
// ledger_reserver LOCATION FIRST N: reserves FIRST, FIRST + 1, ... by
// address instead, printing those it got.
// Exits 3 with the reason on a ledger failure, 4 when the range is full.
#include <cstdio>
#include <cstdlib>

#include "ledger/Ledger.h"

int main(int argc, char** argv) {
    using namespace tessra::ledger;
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: %s LOCATION [FIRST] N\n", argv[0]);
        return 2;
    }
    auto ledger = Ledger::open(QString::fromLocal8Bit(argv[1]));
    if (!ledger.ok()) {
        std::fprintf(stderr, "%s\n", qPrintable(ledger.error));
        return 3;
    }
    Stamp stamp;
    stamp.station = QStringLiteral("reserver");
    stamp.port = QStringLiteral("COM1");
    const bool byAddress = argc == 4;
    const Mac first = byAddress ? parseMac(QString::fromLocal8Bit(argv[2])).value_or(0) : 0;
    for (int i = 0, n = std::atoi(argv[argc - 1]); i < n; ++i) {
        if (byAddress) {
            const Status got = (*ledger)->reserveAddress(first + Mac(i), stamp, false);
            if (got.ok()) std::printf("%s\n", qPrintable(macText(first + Mac(i))));
            if (!got.ok() && got.fault != Fault::Held) {
                std::fprintf(stderr, "%s\n", qPrintable(got.error));
                return 3;
            }
            continue;
        }
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
