#include "ledger/LedgerReport.h"

#include <QMap>
#include <QTimeZone>
#include <algorithm>
#include <tuple>

#include "ledger/MacText.h"
#include "link/QuotedText.h"

namespace tessra::ledger {

namespace {

constexpr QLatin1StringView kNoReason("(no reason recorded)");

QString timeText(const QDateTime& time) {
    return time.isValid() ? time.toString(Qt::ISODateWithMs) : QString();
}

QString hourText(const QDateTime& hour) {
    return hour.toString(QStringLiteral("yyyy-MM-ddTHH:00Z"));
}

QString codeText(const std::optional<int>& code) {
    return code ? QString::number(*code) : QString();
}

QStringList listHeader() {
    return {QStringLiteral("address"), QStringLiteral("state"),    QStringLiteral("time"),
            QStringLiteral("station"), QStringLiteral("port"),     QStringLiteral("device"),
            QStringLiteral("recipe"),  QStringLiteral("customer"), QStringLiteral("settings"),
            QStringLiteral("unit"),    QStringLiteral("factory"),  QStringLiteral("owner"),
            QStringLiteral("note")};
}

QStringList listColumns(const MacRecord& r) {
    return {macText(r.address),
            r.stateName,
            timeText(r.time),
            r.station,
            r.port,
            r.device,
            r.recipe,
            codeText(r.customerCode),
            r.settingsBlock,
            r.steps.isEmpty() ? r.unit : r.unit + QStringLiteral(": ") + r.steps,
            r.factory ? QStringLiteral("yes") : QString(),
            r.owner.text(),
            r.note};
}

// A field as a terminal may show it: a station, a recipe or a note that
// came from outside cannot break a row or reach the terminal as a control.
QString shown(const QString& text) {
    return QString::fromStdString(shownText(text.toStdString()));
}

// Columns padded to their widest entry, the last one not.
QStringList aligned(QList<QStringList> rows) {
    for (QStringList& row : rows) {
        for (QString& f : row) f = shown(f);
    }
    QList<qsizetype> widths;
    for (const QStringList& row : rows) {
        widths.resize(std::max(widths.size(), row.size()));
        for (qsizetype i = 0; i < row.size(); ++i) widths[i] = std::max(widths[i], row[i].size());
    }
    QStringList lines;
    for (const QStringList& row : rows) {
        QString line;
        for (qsizetype i = 0; i < row.size(); ++i)
            line += i + 1 < row.size() ? row[i].leftJustified(widths[i] + 2) : row[i];
        lines << line.trimmed();
    }
    return lines;
}

QStringList csv(const QList<QStringList>& rows) {
    QStringList lines;
    for (const QStringList& row : rows) {
        QStringList fields;
        for (const QString& f : row) fields << QString::fromStdString(csvField(f.toStdString()));
        lines << fields.join(u',');
    }
    return lines;
}

QList<QStringList> unitRows(const LedgerReport& report) {
    QList<QStringList> rows{{QStringLiteral("hour"), QStringLiteral("recipe"),
                             QStringLiteral("station"), QStringLiteral("done"),
                             QStringLiteral("not-done")}};
    for (const UnitCount& u : report.units)
        rows << QStringList{hourText(u.hour), u.recipe, u.station, QString::number(u.done),
                            QString::number(u.notDone)};
    return rows;
}

}  // namespace

std::optional<QDateTime> parseFilterTime(const QString& text, bool endOfDay) {
    const QString trimmed = text.trimmed();
    // QDate also takes the date of a date and time: only a bare day is one.
    const QDate day = trimmed.size() == 10 ? QDate::fromString(trimmed, Qt::ISODate) : QDate();
    if (day.isValid())
        return QDateTime(endOfDay ? day.addDays(1) : day, QTime(0, 0), QTimeZone::utc());
    QDateTime time = QDateTime::fromString(trimmed, Qt::ISODateWithMs);
    if (!time.isValid()) return std::nullopt;
    if (time.timeSpec() == Qt::LocalTime) time.setTimeZone(QTimeZone::utc());
    return time.toUTC();
}

bool matches(const MacRecord& r, const RecordFilter& f) {
    return (!f.since || r.time >= *f.since) && (!f.until || r.time < *f.until) &&
           (f.station.isEmpty() || r.station == f.station) &&
           (f.recipe.isEmpty() || r.recipe == f.recipe);
}

QList<MacRecord> filtered(const QList<MacRecord>& records, const RecordFilter& filter) {
    QList<MacRecord> kept;
    for (const MacRecord& r : records) {
        if (matches(r, filter)) kept << r;
    }
    return kept;
}

LedgerReport buildReport(const QList<MacRecord>& records) {
    using Key = std::tuple<QDateTime, QString, QString>;
    QMap<Key, UnitCount> units;
    QMap<QString, int> reasons;
    for (const MacRecord& r : records) {
        if (r.state != MacState::Verified && r.state != MacState::Failed) continue;
        const bool done = r.state == MacState::Verified && r.unit != u"unfinished";
        QDateTime hour = r.time;
        hour.setTime(QTime(r.time.time().hour(), 0));
        UnitCount& u = units[{hour, r.recipe, r.station}];
        u.hour = hour;
        u.recipe = r.recipe;
        u.station = r.station;
        if (done) {
            ++u.done;
        } else {
            ++u.notDone;
            ++reasons[r.note.isEmpty() ? QString(kNoReason) : r.note];
        }
    }
    LedgerReport report;
    report.units = units.values();
    for (auto it = reasons.cbegin(); it != reasons.cend(); ++it)
        report.failures << FailureCount{it.key(), it.value()};
    std::stable_sort(
        report.failures.begin(), report.failures.end(),
        [](const FailureCount& a, const FailureCount& b) { return a.count > b.count; });
    return report;
}

QStringList listText(const QList<MacRecord>& records) {
    QList<QStringList> rows{listHeader()};
    for (const MacRecord& r : records) rows << listColumns(r);
    return aligned(rows);
}

QStringList listCsv(const QList<MacRecord>& records) {
    QList<QStringList> rows{listHeader()};
    for (const MacRecord& r : records) rows << listColumns(r);
    return csv(rows);
}

QJsonArray listJson(const QList<MacRecord>& records) {
    QJsonArray list;
    for (const MacRecord& r : records)
        list.append(QJsonObject{
            {"address", macText(r.address)},
            {"state", r.stateName},
            {"time", timeText(r.time)},
            {"reservedTime", timeText(r.reservedTime)},
            {"writtenTime", timeText(r.writtenTime)},
            {"station", r.station},
            {"port", r.port},
            {"device", r.device},
            {"owner", r.owner.text()},
            {"customerCode", r.customerCode ? QJsonValue(*r.customerCode) : QJsonValue()},
            {"recipe", r.recipe},
            {"recipeHash", r.recipeHash},
            {"settingsBlock", r.settingsBlock},
            {"unit", r.unit},
            {"steps", r.steps},
            {"factory", r.factory},
            {"note", r.note}});
    return list;
}

QStringList reportText(const LedgerReport& report) {
    QStringList lines = aligned(unitRows(report));
    if (report.failures.isEmpty()) return lines;
    lines << QString() << QStringLiteral("units not done by reason:");
    for (const FailureCount& f : report.failures)
        lines << QStringLiteral("%1  %2").arg(f.count, 6).arg(shown(f.reason));
    return lines;
}

QStringList reportCsv(const LedgerReport& report) {
    QList<QStringList> rows{{QStringLiteral("kind"), QStringLiteral("hour"),
                             QStringLiteral("recipe"), QStringLiteral("station"),
                             QStringLiteral("done"), QStringLiteral("not-done"),
                             QStringLiteral("reason")}};
    const QList<QStringList> units = unitRows(report);
    for (qsizetype i = 1; i < units.size(); ++i)
        rows << (QStringList{QStringLiteral("units")} + units[i] + QStringList{QString()});
    for (const FailureCount& f : report.failures)
        rows << QStringList{QStringLiteral("failure"), {},      {}, {}, {},
                            QString::number(f.count),  f.reason};
    return csv(rows);
}

QJsonObject reportJson(const LedgerReport& report) {
    QJsonArray units;
    for (const UnitCount& u : report.units)
        units.append(QJsonObject{{"hour", hourText(u.hour)},
                                 {"recipe", u.recipe},
                                 {"station", u.station},
                                 {"done", u.done},
                                 {"notDone", u.notDone}});
    QJsonArray failures;
    for (const FailureCount& f : report.failures)
        failures.append(QJsonObject{{"reason", f.reason}, {"count", f.count}});
    return {{"units", units}, {"failures", failures}};
}

}  // namespace tessra::ledger
