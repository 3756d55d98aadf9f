#include "ledger/LedgerLocation.h"

#include <QByteArray>
#include <QStandardPaths>
#include <algorithm>

#include "link/QuotedText.h"

namespace tessra::ledger {

namespace {

constexpr QLatin1StringView kSchemes[] = {QLatin1StringView("postgresql://"),
                                          QLatin1StringView("postgres://")};

constexpr QLatin1StringView kSslModes[] = {
    QLatin1StringView("disable"), QLatin1StringView("allow"),     QLatin1StringView("prefer"),
    QLatin1StringView("require"), QLatin1StringView("verify-ca"), QLatin1StringView("verify-full")};

// The only query keys taken; libpq sees nothing else.
const QStringList kQueryKeys{"host",     "port",    "dbname",          "user",
                             "password", "sslmode", "connect_timeout", "application_name"};

constexpr int kMaxConnectTimeout = 3600;
// PostgreSQL keeps the first 63 bytes of an application name.
constexpr qsizetype kMaxApplicationName = 63;

QString decoded(QStringView part) {
    return QString::fromUtf8(QByteArray::fromPercentEncoding(part.toUtf8()));
}

QString quoted(const QString& text) {
    return QString::fromStdString(quotedInput(text.toStdString()));
}

qsizetype schemeLength(QStringView text) {
    for (QLatin1StringView scheme : kSchemes)
        if (text.startsWith(scheme, Qt::CaseInsensitive)) return scheme.size();
    return 0;
}

// A key that may carry a secret, also one refused or spelled in %-escapes.
bool secretKey(QStringView pair) {
    const qsizetype equals = pair.indexOf(u'=');
    return decoded(pair.left(equals)).contains(QLatin1StringView("pass"), Qt::CaseInsensitive);
}

// The text with every password as ***, however malformed the rest. A
// password may hold '/', '?', '#' or '@' unescaped, so everything from the
// first ':' to the last '@' goes; then the value of every query key that
// names a password.
QString hidePasswords(const QString& text) {
    const qsizetype scheme = schemeLength(text);
    if (scheme == 0) return text;
    QString shown = text.left(scheme);
    QStringView rest = QStringView(text).mid(scheme);
    const qsizetype at = rest.lastIndexOf(u'@');
    bool inQuery = false;  // the cut above took the '?' that starts the query
    if (const qsizetype colon = rest.left(std::max<qsizetype>(at, 0)).indexOf(u':'); colon >= 0) {
        shown += rest.left(colon + 1).toString() + QStringLiteral("***@");
        inQuery = rest.left(at).contains(u'?');
        rest = rest.mid(at + 1);
    }
    const qsizetype mark = inQuery ? -1 : rest.indexOf(u'?');
    if (mark < 0 && !inQuery) return shown + rest.toString();
    shown += rest.left(mark + 1);
    QStringList pairs;
    for (QStringView pair : rest.mid(mark + 1).split(u'&')) {
        const qsizetype equals = pair.indexOf(u'=');
        pairs << (secretKey(pair) && equals >= 0
                      ? pair.left(equals + 1).toString() + QStringLiteral("***")
                      : pair.toString());
    }
    return shown + pairs.join(u'&');
}

Result<LedgerLocation> refused(const QString& text, const QString& why) {
    return Result<LedgerLocation>::failure(
        QStringLiteral("bad ledger location \"%1\": %2").arg(shownLocation(text), why));
}

bool hasControl(const QString& value) {
    return std::ranges::any_of(value, [](QChar c) { return c.unicode() < 0x20 || c == u'\x7F'; });
}

bool setPort(LedgerLocation& location, const QString& text) {
    bool ok = false;
    const int port = text.toInt(&ok);
    if (!ok || port < 1 || port > 65535 || !text.front().isDigit()) return false;
    location.port = port;
    return true;
}

bool wholeNumberUpTo(const QString& text, int maximum) {
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok && !text.isEmpty() && text.front().isDigit() && value >= 0 && value <= maximum;
}

// libpq's quoting for a connection-string value.
QString quotedOption(const QString& key, QString value) {
    value.replace(u'\\', QStringLiteral("\\\\")).replace(u'\'', QStringLiteral("\\'"));
    return QStringLiteral("%1='%2'").arg(key, value);
}

// The location again, in the URL form with the password as ***.
QString shownPostgres(const LedgerLocation& location) {
    QString text = QStringLiteral("postgresql://");
    if (!location.password.isEmpty())
        text += location.user + QStringLiteral(":***@");
    else if (!location.user.isEmpty())
        text += location.user + u'@';
    const bool socket = location.host.startsWith(u'/');
    if (!socket) text += location.host.contains(u':') ? u'[' + location.host + u']' : location.host;
    if (location.port >= 0) text += u':' + QString::number(location.port);
    text += u'/' + location.database;
    if (socket) text += QStringLiteral("?host=") + location.host;
    return quoted(text);
}

// One checked query key; an empty reason when it is taken.
QString takeQueryKey(LedgerLocation& location, const QString& key, const QString& value) {
    if (!kQueryKeys.contains(key))
        return QStringLiteral("the option \"%1\" is not accepted; accepted: %2")
            .arg(quoted(key), kQueryKeys.join(QStringLiteral(", ")));
    if (hasControl(value))
        return QStringLiteral("the value of %1 holds a control character").arg(key);
    if (key == u"host") {
        location.host = value;
    } else if (key == u"port") {
        if (!setPort(location, value))
            return QStringLiteral("the port is not a number from 1 to 65535");
    } else if (key == u"user") {
        location.user = value;
    } else if (key == u"password") {
        location.password = value;
    } else if (key == u"dbname") {
        location.database = value;
    } else if (key == u"sslmode") {
        if (std::ranges::find(kSslModes, value) == std::end(kSslModes))
            return QStringLiteral(
                "sslmode must be disable, allow, prefer, require, verify-ca or "
                "verify-full");
        location.options << quotedOption(key, value);
    } else if (key == u"connect_timeout") {
        if (!wholeNumberUpTo(value, kMaxConnectTimeout))
            return QStringLiteral("connect_timeout must be a whole number of seconds up to %1")
                .arg(kMaxConnectTimeout);
        location.options << quotedOption(key, value);
    } else {
        // The driver turns ';' into blanks before libpq sees the options.
        if (value.size() > kMaxApplicationName || value.contains(u';'))
            return QStringLiteral("application_name must be at most %1 characters, without ';'")
                .arg(kMaxApplicationName);
        location.options << quotedOption(key, value);
    }
    return {};
}

Result<LedgerLocation> parsePostgres(const QString& text, QStringView rest) {
    LedgerLocation location;
    location.engine = Engine::Postgres;

    QStringView query;
    if (const qsizetype mark = rest.indexOf(u'?'); mark >= 0) {
        query = rest.mid(mark + 1);
        rest = rest.left(mark);
    }
    QStringView authority = rest;
    if (const qsizetype slash = rest.indexOf(u'/'); slash >= 0) {
        authority = rest.left(slash);
        location.database = decoded(rest.mid(slash + 1));
    }
    if (const qsizetype at = authority.lastIndexOf(u'@'); at >= 0) {
        const QStringView userInfo = authority.left(at);
        const qsizetype colon = userInfo.indexOf(u':');
        location.user = decoded(userInfo.left(colon));
        if (colon >= 0) location.password = decoded(userInfo.mid(colon + 1));
        authority = authority.mid(at + 1);
    }
    QStringView host = authority;
    QStringView port;
    if (authority.startsWith(u'[')) {
        const qsizetype close = authority.indexOf(u']');
        if (close < 0) return refused(text, QStringLiteral("unclosed [ in the host"));
        host = authority.mid(1, close - 1);
        const QStringView after = authority.mid(close + 1);
        if (!after.isEmpty() && !after.startsWith(u':'))
            return refused(text, QStringLiteral("unexpected text after the host"));
        port = after.mid(1);
    } else if (const qsizetype colon = authority.lastIndexOf(u':'); colon >= 0) {
        host = authority.left(colon);
        port = authority.mid(colon + 1);
    }
    location.host = decoded(host);
    if (!port.isEmpty() && !setPort(location, port.toString()))
        return refused(text, QStringLiteral("the port is not a number from 1 to 65535"));
    for (const QString* part :
         {&location.host, &location.user, &location.password, &location.database})
        if (hasControl(*part))
            return refused(text, QStringLiteral("a part of the address holds a control character"));

    QStringList given;
    for (QStringView pair : query.split(u'&', Qt::SkipEmptyParts)) {
        const qsizetype equals = pair.indexOf(u'=');
        if (equals <= 0) return refused(text, QStringLiteral("a query part is not key=value"));
        const QString key = decoded(pair.left(equals));
        if (given.contains(key))
            return refused(text,
                           QStringLiteral("the option \"%1\" is given twice").arg(quoted(key)));
        given << key;
        const QString why = takeQueryKey(location, key, decoded(pair.mid(equals + 1)));
        if (!why.isEmpty()) return refused(text, why);
    }
    if (!given.contains(QStringLiteral("connect_timeout")))
        location.options << quotedOption(QStringLiteral("connect_timeout"), "10");
    location.shown = shownPostgres(location);
    return Result<LedgerLocation>::success(std::move(location));
}

}  // namespace

QString shownLocation(const QString& text) {
    return quoted(hidePasswords(text));
}

Result<LedgerLocation> parseLedgerLocation(const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return Result<LedgerLocation>::failure(
            QStringLiteral("no ledger location: pass --ledger PATH or set %1")
                .arg(QLatin1StringView(kLedgerVariable)));
    if (const qsizetype scheme = schemeLength(trimmed); scheme > 0)
        return parsePostgres(trimmed, QStringView(trimmed).mid(scheme));
    if (trimmed.contains(QLatin1StringView("://")))
        return refused(trimmed, QStringLiteral("use a file path or postgresql://..."));
    // SQLite would open the path cut at the NUL: another file.
    if (trimmed.contains(QChar(0))) return refused(trimmed, QStringLiteral("the path holds a NUL"));
    LedgerLocation location;
    location.path = trimmed;
    location.shown = quoted(trimmed);
    return Result<LedgerLocation>::success(std::move(location));
}

QString defaultLedgerPath() {
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return data.isEmpty() ? QString() : data + QStringLiteral("/tessra/ledger.sqlite");
}

QString resolveLedgerLocation(const QString& explicitLocation) {
    if (!explicitLocation.isEmpty()) return explicitLocation;
    const QString fromEnvironment = qEnvironmentVariable(kLedgerVariable);
    if (!fromEnvironment.isEmpty()) return fromEnvironment;
    return defaultLedgerPath();
}

}  // namespace tessra::ledger
