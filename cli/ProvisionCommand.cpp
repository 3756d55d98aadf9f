// provision RECIPE: the whole unit on --port from one recipe.
#include "cli/LedgerAccess.h"
#include "cli/ToolContext.h"
#include "provision/ProvisionFormat.h"
#include "provision/ProvisionUnit.h"
#include "recipe/Recipe.h"
#include "settings/SettingsTexts.h"

namespace tessra::cli {

namespace {

// Each step on its own line as it ends, or as one JSON object per line.
class StepLines final : public provision::StepSink {
public:
    explicit StepLines(Report& report) : report_(report) {}
    void step(const provision::StepReport& r) override {
        report_.stream(provision::stepText(r), provision::stepJson(r));
    }

private:
    Report& report_;
};

}  // namespace

ExitCode provision(ToolContext& c) {
    const auto recipe = loadRecipeFile(c);
    if (!recipe) return ExitCode::BadInput;
    const auto password = takePassword(c);
    if (!password) return ExitCode::BadInput;
    const auto ledger = openLedger(c);
    if (!ledger) return ExitCode::Unreachable;
    const auto held = holdPort(c);
    if (!held) return ExitCode::Unreachable;

    provision::UnitContext context;
    context.station = stationName(c);
    context.port = qs(c.commandLine.port.name());
    context.device = held->device;
    context.password = *password;
    context.confirmation = std::string(kWriteConfirmation);
    if (c.commandLine.line)
        context.line =
            printer::Line{c.commandLine.line->speedIndex, c.commandLine.line->parityIndex};

    StepLines steps(c.report);
    const provision::UnitSummary summary =
        provision::provisionUnit(c.printer.printer(), *recipe, *ledger, context, steps);
    const QJsonObject fields = provision::summaryJson(summary);
    for (auto it = fields.begin(); it != fields.end(); ++it)
        if (it.key() != "exitCode") c.report.set(it.key(), it.value());
    if (summary.exitCode == 0) {
        c.report.line(provision::summaryText(summary));
    } else {
        const std::string text = provision::summaryText(summary);
        c.report.error(text);
        if (summary.exitCode == static_cast<int>(ExitCode::WrittenNotRecorded)) c.report.line(text);
    }
    return static_cast<ExitCode>(summary.exitCode);
}

}  // namespace tessra::cli
