// ledger list and ledger report, read-only, with the same filters; ledger
// factory, which declares addresses printers carry from the factory.
#include "cli/LedgerAccess.h"
#include "cli/ToolContext.h"
#include "ledger/LedgerReport.h"
#include "link/QuotedText.h"

namespace tessra::cli {

namespace {

// The filters of --since, --until, --station and --recipe, or nothing after
// telling which date is wrong.
std::optional<ledger::RecordFilter> filterOf(ToolContext& c) {
    ledger::RecordFilter filter;
    filter.station = c.commandLine.station;
    filter.recipe = c.commandLine.recipe;
    for (const auto& [text, endOfDay, option] :
         {std::tuple{c.commandLine.since, false, "--since"},
          std::tuple{c.commandLine.until, true, "--until"}}) {
        if (text.isEmpty()) continue;
        const auto time = ledger::parseFilterTime(text, endOfDay);
        if (!time) {
            c.report.error(std::string(option) + " " + quotedInput(text.toStdString()) +
                           ": expected a date (2026-12-07) or an ISO date and time");
            return std::nullopt;
        }
        (endOfDay ? filter.until : filter.since) = time;
    }
    // An empty window is a mistake, not a report of nothing.
    if (filter.since && filter.until && *filter.until <= *filter.since) {
        c.report.error("--until " + quotedInput(c.commandLine.until.toStdString()) +
                       " is not after --since " + quotedInput(c.commandLine.since.toStdString()));
        return std::nullopt;
    }
    return filter;
}

// The ledger's rows that pass the filters, or nothing after telling why.
std::optional<QList<ledger::MacRecord>> filteredRecords(ToolContext& c, ExitCode& code) {
    const auto filter = filterOf(c);
    if (!filter) {
        code = ExitCode::BadInput;
        return std::nullopt;
    }
    code = ExitCode::Unreachable;
    const auto ledger = openLedger(c, ledger::kReadOnly);
    if (!ledger) return std::nullopt;
    const auto records = ledger->records();
    if (!records.ok()) {
        c.report.error(records.error.toStdString());
        return std::nullopt;
    }
    code = ExitCode::Done;
    return ledger::filtered(*records, *filter);
}

void lines(ToolContext& c, const QStringList& texts) {
    for (const QString& text : texts) c.report.line(text.toStdString());
}

}  // namespace

ExitCode ledgerList(ToolContext& c) {
    ExitCode code = ExitCode::Done;
    const auto records = filteredRecords(c, code);
    if (!records) return code;
    c.report.set("records", ledger::listJson(*records));
    lines(c, c.commandLine.csv ? ledger::listCsv(*records) : ledger::listText(*records));
    return code;
}

ExitCode ledgerReport(ToolContext& c) {
    ExitCode code = ExitCode::Done;
    const auto records = filteredRecords(c, code);
    if (!records) return code;
    const ledger::LedgerReport report = ledger::buildReport(*records);
    const QJsonObject object = ledger::reportJson(report);
    for (auto it = object.begin(); it != object.end(); ++it) c.report.set(it.key(), it.value());
    lines(c, c.commandLine.csv ? ledger::reportCsv(report) : ledger::reportText(report));
    return code;
}

// With addresses, each is declared (all are read first: a bad one declares
// none); without, the declared ones are listed.
ExitCode ledgerFactory(ToolContext& c) {
    std::vector<ledger::Mac> declared;
    for (const std::string& given : c.commandLine.arguments) {
        const auto address = ledger::parseMac(qs(given));
        if (!address) {
            c.report.error(quotedInput(given) + ": expected an address such as 0A:5C:3E:00:00:01");
            return ExitCode::BadInput;
        }
        declared.push_back(*address);
    }
    const auto ledger =
        openLedger(c, declared.empty() ? ledger::kReadOnly : ledger::ConnectionMode{});
    if (!ledger) return ExitCode::Unreachable;
    ledger::Stamp stamp;
    stamp.station = stationName(c);
    stamp.note = QStringLiteral("declared a factory address");
    for (const ledger::Mac address : declared) {
        if (const ledger::Status done = ledger->declareFactory(address, stamp); !done.ok()) {
            c.report.error(done.error.toStdString());
            return ExitCode::Unreachable;
        }
    }
    const auto records = ledger->records();
    if (!records.ok()) {
        c.report.error(records.error.toStdString());
        return ExitCode::Unreachable;
    }
    QList<ledger::MacRecord> factory;
    for (const ledger::MacRecord& r : *records)
        if (r.factory) factory << r;
    c.report.set("records", ledger::listJson(factory));
    lines(c, ledger::listText(factory));
    return ExitCode::Done;
}

}  // namespace tessra::cli
