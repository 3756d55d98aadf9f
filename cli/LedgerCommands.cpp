// ledger list.
#include <QJsonArray>
#include <algorithm>

#include "cli/ToolContext.h"
#include "ledger/Ledger.h"

namespace tessra::cli {

namespace {

QString csvField(QString field) {
    if (!field.contains(u',') && !field.contains(u'"') && !field.contains(u'\n')) return field;
    return u'"' + field.replace(u'"', QStringLiteral("\"\"")) + u'"';
}

QStringList columns(const ledger::MacRecord& r) {
    return {ledger::macText(r.address), ledger::stateText(r.state),
            r.time.toString(Qt::ISODateWithMs), r.station, r.port};
}

}  // namespace

ExitCode ledgerList(ToolContext& c) {
    const auto opened = ledger::Ledger::open(ledger::resolveLedgerLocation(c.commandLine.ledger));
    if (!opened.ok()) {
        c.report.error(opened.error.toStdString());
        return ExitCode::Unreachable;
    }
    const auto records = (*opened)->records();
    if (!records.ok()) {
        c.report.error(records.error.toStdString());
        return ExitCode::Unreachable;
    }
    const QStringList header{"address", "state", "time", "station", "port"};
    std::vector<QStringList> rows{header};
    QJsonArray list;
    for (const ledger::MacRecord& r : *records) {
        rows.push_back(columns(r));
        list.append(QJsonObject{
            {"address", ledger::macText(r.address)},
            {"state", ledger::stateText(r.state)},
            {"time", r.time.toString(Qt::ISODateWithMs)},
            {"station", r.station},
            {"port", r.port},
            {"customerCode", r.customerCode ? QJsonValue(*r.customerCode) : QJsonValue()}});
    }
    c.report.set("records", list);

    if (c.commandLine.csv) {
        for (const QStringList& row : rows) {
            QStringList fields;
            for (const QString& f : row) fields << csvField(f);
            c.report.line(fields.join(u',').toStdString());
        }
        return ExitCode::Done;
    }
    std::vector<qsizetype> widths(header.size(), 0);
    for (const QStringList& row : rows)
        for (qsizetype i = 0; i < row.size(); ++i)
            widths[static_cast<std::size_t>(i)] =
                std::max(widths[static_cast<std::size_t>(i)], row[i].size());
    for (const QStringList& row : rows) {
        QString line;
        for (qsizetype i = 0; i < row.size(); ++i)
            line += i + 1 < row.size()
                        ? row[i].leftJustified(widths[static_cast<std::size_t>(i)] + 2)
                        : row[i];
        c.report.line(line.toStdString());
    }
    return ExitCode::Done;
}

}  // namespace tessra::cli
