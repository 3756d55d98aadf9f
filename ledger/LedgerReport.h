#pragma once

#include <QDateTime>
#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

#include "ledger/MacRecord.h"

namespace tessra::ledger {

// Which rows `ledger list` and `ledger report` take, by the time of their
// latest change: since <= time < until. Empty texts match everything.
struct RecordFilter {
    std::optional<QDateTime> since;
    std::optional<QDateTime> until;
    QString station;
    QString recipe;
};

// "2026-12-07" (the start of that day in UTC; with endOfDay the start of
// the next one) or an ISO date and time ("2026-12-07T13:00", "...Z",
// "...+01:00"; without a zone it is UTC).
std::optional<QDateTime> parseFilterTime(const QString& text, bool endOfDay);

bool matches(const MacRecord& record, const RecordFilter& filter);
QList<MacRecord> filtered(const QList<MacRecord>& records, const RecordFilter& filter);

// Units done and not done per hour (UTC), recipe and station, in that order.
// Done: the address verified and, for a provisioned unit, every step of its
// recipe. Not done: the address failed, or verified with the unit unfinished.
// Other rows (reserved, written, abandoned, replaced, factory) are no unit's
// outcome and are not counted.
struct UnitCount {
    QDateTime hour;
    QString recipe;
    QString station;
    int done = 0;
    int notDone = 0;
};

// Units not done grouped by their row's note, most frequent first.
struct FailureCount {
    QString reason;
    int count = 0;
};

struct LedgerReport {
    QList<UnitCount> units;
    QList<FailureCount> failures;
};

LedgerReport buildReport(const QList<MacRecord>& records);

// The formats of both commands; every text ends without a newline, lines
// are list entries. Text and CSV show controls escaped, one row per line;
// CSV fields are made by csvField (link/QuotedText.h), with a header line.
QStringList listText(const QList<MacRecord>& records);
QStringList listCsv(const QList<MacRecord>& records);
QJsonArray listJson(const QList<MacRecord>& records);
QStringList reportText(const LedgerReport& report);
QStringList reportCsv(const LedgerReport& report);
QJsonObject reportJson(const LedgerReport& report);

}  // namespace tessra::ledger
