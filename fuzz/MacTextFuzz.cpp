// libFuzzer target: address text reads as an address that writes and reads
// back the same, and a range never runs backwards.
#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "FuzzCheck.h"
#include "ledger/MacText.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tessra::ledger;
    using tessra::fuzz::check;
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    if (const auto mac = parseMac(text)) {
        check(*mac <= kLastMac, "an address has 48 bits");
        check(parseMac(macText(*mac)) == mac, "an address reads back");
    }
    if (const auto range = parseMacRange(text)) {
        check(range->first <= range->last && range->last <= kLastMac, "a range runs forwards");
        check(parseMacRange(macText(range->first) + u'-' + macText(range->last)) == range,
              "a range reads back");
    }
    if (size >= 6) {
        Mac any = 0;
        for (std::size_t i = 0; i < 6; ++i) any = any << 8 | data[i];
        check(parseMac(macText(any)) == any, "every address writes and reads back");
    }
    return 0;
}
