// libFuzzer target: a ledger location either is refused with a short, clean
// reason or gives checked parts and options libpq reads as exactly the
// allowed keys; a password never shows, in the reason or in the location
// shown.
#include <QString>
#include <QStringList>
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzCheck.h"
#include "ledger/LedgerLocation.h"

namespace {

using tessra::fuzz::check;

constexpr char kSecret[] = "Zq7SECRETpw";

bool clean(const QString& text) {
    return tessra::fuzz::fitForTerminal(text.toStdString(), 1000);
}

// libpq reads "key='value'" with backslash escapes; the option must be one
// pair of an allowed key, nothing after it.
bool onePair(const QString& option) {
    const qsizetype equals = option.indexOf(u'=');
    if (equals < 0) return false;
    const QString key = option.left(equals);
    if (key != u"sslmode" && key != u"connect_timeout" && key != u"application_name") return false;
    qsizetype at = equals + 1;
    if (at >= option.size() || option[at] != u'\'') return false;
    for (++at; at < option.size(); ++at) {
        if (option[at] == u'\\') {
            ++at;
        } else if (option[at] == u'\'') {
            return at == option.size() - 1;
        }
    }
    return false;
}

}  // namespace

// The first byte puts a password into the location, as user information or
// as a query key, so that the check below has one to look for.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tessra::ledger;
    if (size == 0) return 0;
    const QString rest = QString::fromUtf8(reinterpret_cast<const char*>(data + 1),
                                           static_cast<qsizetype>(size - 1));
    QString text = rest;
    const bool secretGiven = !rest.contains(QLatin1StringView(kSecret));
    switch (data[0] % 3) {
        case 1:
            text = QStringLiteral("postgresql://u:") + kSecret + u'@' + rest;
            break;
        case 2:
            text = QStringLiteral("postgresql://") + rest + (rest.contains(u'?') ? u'&' : u'?') +
                   QStringLiteral("password=") + kSecret;
            break;
        default:
            break;
    }
    const auto location = parseLedgerLocation(text);
    const QString said = location.ok() ? location->shown : location.error;
    check(clean(said), "what is shown is clean");
    if (secretGiven && data[0] % 3 != 0)
        check(!said.contains(QLatin1StringView(kSecret)), "the password never shows");
    if (!location.ok()) return 0;
    for (const QString& option : location->options) check(onePair(option), "one allowed option");
    for (const QString* part :
         {&location->host, &location->user, &location->password, &location->database})
        for (const QChar c : *part) check(c.unicode() >= 0x20 && c != u'\x7F', "parts are clean");
    return 0;
}
