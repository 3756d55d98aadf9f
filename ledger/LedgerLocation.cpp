#include "ledger/LedgerLocation.h"

#include <QByteArray>
#include <QStandardPaths>

namespace tessra::ledger {

namespace {

constexpr QLatin1StringView kSchemes[] = {QLatin1StringView("postgresql://"),
                                          QLatin1StringView("postgres://")};

QString decoded(QStringView part) {
    return QString::fromUtf8(QByteArray::fromPercentEncoding(part.toUtf8()));
}

Result<LedgerLocation> refused(const QString& text, const QString& why) {
    return Result<LedgerLocation>::failure(
        QStringLiteral("bad ledger location \"%1\": %2").arg(text, why));
}

bool setPort(LedgerLocation& location, const QString& text) {
    bool ok = false;
    const int port = text.toInt(&ok);
    if (!ok || port < 1 || port > 65535 || text.startsWith(u'+')) return false;
    location.port = port;
    return true;
}

// libpq's quoting for a connection-string value.
QString quotedOption(const QString& key, QString value) {
    value.replace(u'\\', QStringLiteral("\\\\")).replace(u'\'', QStringLiteral("\\'"));
    return QStringLiteral("%1='%2'").arg(key, value);
}

// The location again, in the URL form with the password left out.
QString shownPostgres(const LedgerLocation& location) {
    QString text = QStringLiteral("postgresql://");
    if (!location.user.isEmpty()) text += location.user + u'@';
    const bool socket = location.host.startsWith(u'/');
    if (!socket) text += location.host.contains(u':') ? u'[' + location.host + u']' : location.host;
    if (location.port >= 0) text += u':' + QString::number(location.port);
    text += u'/' + location.database;
    if (socket) text += QStringLiteral("?host=") + location.host;
    return text;
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

    bool timeoutGiven = false;
    for (QStringView pair : query.split(u'&', Qt::SkipEmptyParts)) {
        const qsizetype equals = pair.indexOf(u'=');
        if (equals <= 0) return refused(text, QStringLiteral("a query part is not key=value"));
        const QString key = decoded(pair.left(equals));
        const QString value = decoded(pair.mid(equals + 1));
        if (key == u"host") {
            location.host = value;
        } else if (key == u"port") {
            if (!setPort(location, value))
                return refused(text, QStringLiteral("the port is not a number from 1 to 65535"));
        } else if (key == u"user") {
            location.user = value;
        } else if (key == u"password") {
            location.password = value;
        } else if (key == u"dbname") {
            location.database = value;
        } else {
            // The driver turns ';' into blanks before libpq sees the options.
            if (value.contains(u';') || key.contains(u';') || key.contains(u' '))
                return refused(text, QStringLiteral("the option %1 cannot be passed on").arg(key));
            timeoutGiven = timeoutGiven || key == u"connect_timeout";
            location.options << quotedOption(key, value);
        }
    }
    if (!timeoutGiven) location.options << quotedOption(QStringLiteral("connect_timeout"), "10");
    location.shown = shownPostgres(location);
    return Result<LedgerLocation>::success(std::move(location));
}

}  // namespace

Result<LedgerLocation> parseLedgerLocation(const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return Result<LedgerLocation>::failure(
            QStringLiteral("no ledger location: pass --ledger PATH or set %1")
                .arg(QLatin1StringView(kLedgerVariable)));
    for (QLatin1StringView scheme : kSchemes) {
        if (trimmed.startsWith(scheme, Qt::CaseInsensitive))
            return parsePostgres(trimmed, QStringView(trimmed).mid(scheme.size()));
    }
    if (trimmed.contains(QLatin1StringView("://")))
        return refused(trimmed, QStringLiteral("use a file path or postgresql://..."));
    LedgerLocation location;
    location.path = trimmed;
    location.shown = trimmed;
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
