#include "provision/ProvisionUnit.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <algorithm>

#include "link/LineSettings.h"
#include "provision/FailureText.h"
#include "provision/MacProgramming.h"
#include "settings/OptionNames.h"

namespace tessra::provision {

namespace {

using ledger::Mac;
using ledger::MacState;
using settings::Group;

constexpr char kWritten[] = "written";
constexpr char kUnchanged[] = "unchanged";
constexpr char kFailed[] = "failed";

int exitOf(const printer::Failure& failure) {
    switch (failure.kind) {
        case printer::FailureKind::PortUnavailable:
            return 3;
        case printer::FailureKind::ArgumentRefused:
            return 2;
        default:
            return 1;
    }
}

int exitOf(ledger::Fault) {
    return 3;
}

std::string hexOf(const printer::SettingsBlock& block) {
    return settings::blockHex(block);
}

// One run over one unit; each step returns false when the run ends.
class Unit {
public:
    Unit(printer::Printer& printer, const recipe::Recipe& recipe, ledger::Ledger& ledger,
         const UnitContext& context, StepSink& sink)
        : printer_(printer), recipe_(recipe), ledger_(ledger), context_(context), sink_(sink) {
        summary_.recipe = recipe.name;
        summary_.hash = recipe.hash;
    }

    UnitSummary run() {
        (void)(find() && settle() && read() && settings() && mac() && customerCode() &&
               wireless() && receipt() && record());
        return summary_;
    }

private:
    bool find() {
        start("find");
        if (context_.line) {
            printer_.useLine(*context_.line);
            return done(kUnchanged);
        }
        const auto found = printer_.find();
        if (!found) return printerFailed(found.failure());
        return done(kUnchanged);
    }

    bool settle() {
        start("reconcile");
        const ReconcileResult settled = reconcile(printer_, ledger_, stamp());
        if (!settled.ok()) return ledgerFailed(settled.fault, settled.error);
        step_.detail = QStringLiteral("%1 verified, %2 abandoned, %3 left")
                           .arg(settled.verified)
                           .arg(settled.abandoned)
                           .arg(settled.left)
                           .toStdString();
        return done(settled.changed() ? kWritten : kUnchanged);
    }

    bool read() {
        start("read");
        const auto block = printer_.readBlock();
        if (!block) return printerFailed(block.failure());
        block_ = *block;
        const auto mac = printer_.readMac();
        if (!mac) return printerFailed(mac.failure());
        mac_ = macOf(*mac);
        const auto code = printer_.readCustomerCode();
        if (!code) return printerFailed(code.failure());
        code_ = *code;
        step_.value =
            hexOf(block_) + " " + ledger::macText(mac_).toStdString() + " " + std::to_string(code_);
        return done(kUnchanged);
    }

    bool settings() {
        start("settings");
        step_.value = hexOf(recipe_.block);
        if (block_ == recipe_.block) return done(kUnchanged);
        if (const auto written = printer_.writeBlock(recipe_.block, context_.confirmation);
            !written)
            return printerFailed(written.failure());
        // The printer now listens at the block's line.
        if (const auto line = lineOfBlock(recipe_.block)) printer_.useLine(*line);
        const auto back = printer_.readBlock();
        if (!back) return printerFailed(back.failure());
        if (*back != recipe_.block) return failed(1, "read back " + hexOf(*back));
        wrote_ = true;
        return done(kWritten);
    }

    bool mac() {
        start("mac");
        const auto held = ledger_.find(mac_);
        if (!held.ok()) return ledgerFailed(held.fault, held.error);
        const ledger::MacRecord* row = held->has_value() ? &**held : nullptr;
        if (row && row->state == MacState::Verified && row->recipe == recipe_.name &&
            mac_ >= recipe_.macRange.first && mac_ <= recipe_.macRange.last) {
            summary_.mac = mac_;
            step_.value = ledger::macText(mac_).toStdString();
            return done(kUnchanged);
        }
        MacRequest request;
        request.range = recipe_.macRange;
        request.stamp = stamp();
        request.password = context_.password;
        request.printerAnswered = true;
        const MacResult programmed = programMac(printer_, ledger_, request);
        if (programmed.address) {
            step_.value = ledger::macText(*programmed.address).toStdString();
            if (programmed.outcome != MacOutcome::Unusable) wrote_ = true;
        }
        summary_.ledgerFault = programmed.ledgerFault;
        if (programmed.outcome != MacOutcome::Verified)
            return failed(programmed.exitCode(), programmed.message.toStdString());
        mac_ = *programmed.address;
        summary_.mac = mac_;
        return done(kWritten);
    }

    bool customerCode() {
        start("customer-code");
        const int wanted = recipe_.customerCode;
        step_.value = std::to_string(wanted);
        summary_.customerCode = code_;
        if (code_ == wanted) return done(kUnchanged);
        const auto code = static_cast<printer::CustomerCode>(wanted);
        if (const auto written = printer_.writeCustomerCode(code); !written)
            return printerFailed(written.failure());
        wrote_ = true;
        const auto back = printer_.readCustomerCode();
        if (!back) return printerFailed(back.failure());
        summary_.customerCode = *back;
        if (*back != code) return failed(1, "read back " + std::to_string(*back));
        return done(kWritten);
    }

    bool wireless() {
        if (recipe_.wireless.isEmpty()) return true;
        start("wireless");
        step_.value = recipe_.wireless.toStdString();
        if (const auto set = printer_.run(step_.value); !set) return printerFailed(set.failure());
        wrote_ = true;
        return done(kWritten);
    }

    bool receipt() {
        if (!recipe_.receipt) return true;
        start("receipt");
        const auto lines =
            receiptLines(recipe_, mac_, context_.station, QDateTime::currentDateTimeUtc());
        if (const auto printed = printer_.printLines(lines); !printed)
            return printerFailed(printed.failure());
        return done(kWritten);
    }

    bool record() {
        start("record");
        step_.value = ledger::macText(mac_).toStdString();
        const ledger::Status recorded = ledger_.advance(mac_, MacState::Verified, stamp());
        if (!recorded.ok()) return ledgerFailed(recorded.fault, recorded.error);
        return done(kWritten);
    }

    ledger::Stamp stamp() const {
        ledger::Stamp s;
        s.station = context_.station;
        s.port = context_.port;
        s.device = context_.device;
        s.customerCode = recipe_.customerCode;
        s.recipe = recipe_.name;
        s.recipeHash = recipe_.hash;
        s.settingsBlock = QString::fromStdString(hexOf(recipe_.block));
        return s;
    }

    void start(const char* name) {
        step_ = StepReport{};
        step_.step = name;
        timer_.start();
    }

    bool done(const char* result) {
        step_.result = result;
        step_.ms = timer_.elapsed();
        sink_.step(step_);
        return true;
    }

    bool failed(int exitCode, const std::string& why) {
        step_.detail = why;
        done(kFailed);
        summary_.exitCode = exitCode;
        summary_.message = QString::fromStdString(step_.step + ": " + why);
        // The address stays verified (the printer carries it); its note says
        // the unit is not finished. Best effort: the run ends failed anyway.
        if (summary_.mac && exitCode != 3 && exitCode != 4) {
            ledger::Stamp note;
            note.station.clear();
            note.note = QStringLiteral("unit unfinished: ") + summary_.message;
            ledger_.advance(*summary_.mac, MacState::Verified, note);
        }
        return false;
    }

    bool printerFailed(const printer::Failure& failure) {
        return failed(exitOf(failure), failureText(failure).toStdString());
    }

    // Once something was written to the printer, a ledger that cannot take
    // it leaves a unit the ledger does not know as it is.
    bool ledgerFailed(ledger::Fault fault, const QString& why) {
        summary_.ledgerFault = fault;
        if (!wrote_) return failed(exitOf(fault), why.toStdString());
        return failed(4, ledger::macText(mac_).toStdString() +
                             " written, not recorded: " + why.toStdString());
    }

    printer::Printer& printer_;
    const recipe::Recipe& recipe_;
    ledger::Ledger& ledger_;
    const UnitContext& context_;
    StepSink& sink_;
    UnitSummary summary_;
    StepReport step_;
    QElapsedTimer timer_;
    printer::SettingsBlock block_{};
    Mac mac_ = 0;
    int code_ = 0;
    bool wrote_ = false;
};

}  // namespace

UnitSummary provisionUnit(printer::Printer& printer, const recipe::Recipe& recipe,
                          ledger::Ledger& ledger, const UnitContext& context, StepSink& sink) {
    return Unit(printer, recipe, ledger, context, sink).run();
}

std::vector<std::string> receiptLines(const recipe::Recipe& recipe, ledger::Mac mac,
                                      const QString& station, const QDateTime& utc) {
    return {
        "MAC " + ledger::macText(mac).toStdString(),
        "Customer code " + std::to_string(recipe.customerCode),
        "Settings " + hexOf(recipe.block),
        "Recipe " + recipe.name.toStdString() + " " + recipe.shortHash().toStdString(),
        "Station " + station.toStdString(),
        "UTC " + utc.toUTC().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toStdString(),
    };
}

std::optional<printer::Line> lineOfBlock(const printer::SettingsBlock& block) {
    const settings::DecodedBlock decoded = settings::decodeBlock(block);
    const auto member = [&](Group g) {
        return settings::findMember(g, decoded.select[static_cast<std::size_t>(g)].value_or(-1));
    };
    const settings::Member* baud = member(Group::SerialBaudrate);
    const settings::Member* parity = member(Group::SerialParityBit);
    if (decoded.rejected || !baud || !parity) return std::nullopt;
    const auto speed = std::ranges::find_if(
        kSpeedTexts, [&](std::string_view s) { return baud->caption == std::string(s) + " bps"; });
    const auto parityAt = std::ranges::find(kParities, parity->caption, &ParityChoice::caption);
    if (speed == kSpeedTexts.end() || parityAt == kParities.end()) return std::nullopt;
    return printer::Line{static_cast<int>(speed - kSpeedTexts.begin()),
                         static_cast<int>(parityAt - kParities.begin())};
}

}  // namespace tessra::provision
