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
constexpr char kDuplicate[] = "duplicate";

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
        (void)(find() && settle() && read() && identify() && settings() && mac() &&
               customerCode() && wireless() && receipt() && record());
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
        for (const Mac factory : recipe_.factoryMacs) {
            ledger::Stamp declared = where();
            declared.note = QStringLiteral("factory address of recipe %1").arg(recipe_.name);
            if (const ledger::Status done = ledger_.declareFactory(factory, declared); !done.ok())
                return ledgerFailed(done.fault, done.error);
        }
        const ReconcileResult settled =
            reconcile(printer_, ledger_, where());
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

    // Who the unit is, decided before anything is written to it. It keeps
    // the address it carries only when the ledger's row of that address
    // describes this very unit (its settings block and customer code) for
    // this recipe, and nothing says another printer may carry it too.
    // Otherwise it is given a new address, and the range must have one.
    bool identify() {
        start("mac");
        step_.value = ledger::macText(mac_).toStdString();
        const auto held = ledger_.find(mac_);
        if (!held.ok()) return ledgerFailed(held.fault, held.error);
        const std::optional<ledger::MacRecord>& row = *held;
        const bool unitRecord =
            row && row->state != MacState::Factory && !row->settingsBlock.isEmpty();
        const bool sameCode =
            row && (row->customerCode == code_ ||
                    (row->recipeHash == recipe_.hash && code_ == recipe_.customerCode));
        const bool sameUnit =
            unitRecord && row->settingsBlock == QString::fromStdString(hexOf(block_)) && sameCode;
        keep_ = sameUnit && row->state == MacState::Verified && !row->factory &&
                row->recipeHash == recipe_.hash && ledger::contains(recipe_.macRange, mac_);
        if (keep_) return true;

        const QString seen =
            QStringLiteral("arrived on a unit on %1 %2 with settings %3, customer code %4")
                .arg(context_.station, context_.port, QString::fromStdString(hexOf(block_)))
                .arg(code_);
        if (!row && ledger::contains(ledger::kDefaultRange, mac_)) {
            // Nothing here gave it out, yet a printer carries it: from the
            // factory, or from elsewhere. Handed out later, it would be on
            // two printers.
            ledger::Stamp declared = where();
            declared.note = seen + QStringLiteral(" before the ledger held it");
            if (const ledger::Status done = ledger_.declareFactory(mac_, declared); !done.ok())
                return ledgerFailed(done.fault, done.error);
        } else if (unitRecord && !sameUnit) {
            // The row's unit is another printer: the address is on two.
            ledger::Stamp declared = where();
            declared.note = QStringLiteral("duplicate: ") + seen + QStringLiteral(" at ") +
                            QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs);
            if (const ledger::Status done = ledger_.declareFactory(mac_, declared); !done.ok())
                return ledgerFailed(done.fault, done.error);
            step_.detail = QStringLiteral(
                               "%1 was given to another unit (%2); this unit gets a new "
                               "address")
                               .arg(ledger::macText(mac_), row->stateName)
                               .toStdString();
            done(kDuplicate);
            start("mac");
        } else if (row && row->state == MacState::Verified) {
            replaces_ = mac_;
        }
        const auto free = ledger_.freeAddress(recipe_.macRange);
        if (!free.ok()) return ledgerFailed(free.fault, free.error);
        if (!free->has_value())
            return failed(1, QStringLiteral("every address from %1 to %2 is in the ledger "
                                            "already; nothing was written")
                                 .arg(ledger::macText(recipe_.macRange.first),
                                      ledger::macText(recipe_.macRange.last))
                                 .toStdString());
        return true;
    }

    bool settings() {
        start("settings");
        step_.value = hexOf(recipe_.block);
        const std::optional<printer::Line> line = lineOfBlock(recipe_.block);
        if (block_ == recipe_.block) {
            if (!onLine(line)) return false;
            applied_.push_back("settings");
            return done(kUnchanged);
        }
        if (const auto written = printer_.writeBlock(recipe_.block, context_.confirmation);
            !written)
            return printerFailed(written.failure());
        // The printer now listens at the block's line.
        if (line) printer_.useLine(*line);
        const auto back = printer_.readBlock();
        if (!back) return printerFailed(back.failure());
        if (*back != recipe_.block) return failed(1, "read back " + hexOf(*back));
        wrote_ = true;
        applied_.push_back("settings");
        return done(kWritten);
    }

    // A unit that already holds the block may not be listening at its line
    // yet (a run killed right after its settings write leaves the change
    // under way): the MAC write must not go out at a line the printer has
    // left. The block is read back at its own line, else the printer is
    // searched for; found elsewhere, the unit ends before an address is taken.
    bool onLine(const std::optional<printer::Line>& line) {
        if (!line || printer_.line() == *line) return true;
        printer_.useLine(*line);
        if (const auto back = printer_.readBlock(); back && *back == recipe_.block) return true;
        const auto found = printer_.find();
        if (!found) return printerFailed(found.failure());
        if (*found == *line) return true;
        return failed(1,
                      "the printer answers at another line than its settings set; "
                      "nothing was written");
    }

    bool mac() {
        start("mac");
        if (keep_) {
            summary_.mac = mac_;
            applied_.push_back("mac");
            step_.value = ledger::macText(mac_).toStdString();
            return done(kUnchanged);
        }
        applied_.push_back("mac");
        MacRequest request;
        request.range = recipe_.macRange;
        request.stamp = stamp(code_, "unfinished");
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
        const Mac old = mac_;
        mac_ = *programmed.address;
        summary_.mac = mac_;
        if (replaces_) {
            // The unit moved on; its old address is on no printer now.
            ledger::Stamp moved;
            moved.station.clear();  // the row's own station and port stay
            moved.note = QStringLiteral("replaced by %1 on %2 %3")
                             .arg(ledger::macText(mac_), context_.station, context_.port);
            const ledger::Status done = ledger_.advance(old, MacState::Replaced, moved);
            if (!done.ok() && done.fault != ledger::Fault::Moved)
                return ledgerFailed(done.fault, done.error);
        }
        return done(kWritten);
    }

    bool customerCode() {
        start("customer-code");
        const int wanted = recipe_.customerCode;
        step_.value = std::to_string(wanted);
        summary_.customerCode = code_;
        if (code_ == wanted) {
            applied_.push_back("customer-code");
            return done(kUnchanged);
        }
        const auto code = static_cast<printer::CustomerCode>(wanted);
        if (const auto written = printer_.writeCustomerCode(code); !written)
            return printerFailed(written.failure());
        wrote_ = true;
        const auto back = printer_.readCustomerCode();
        if (!back) return printerFailed(back.failure());
        summary_.customerCode = *back;
        if (*back != code) return failed(1, "read back " + std::to_string(*back));
        applied_.push_back("customer-code");
        return done(kWritten);
    }

    bool wireless() {
        if (recipe_.wireless.isEmpty()) return true;
        start("wireless");
        step_.value = recipe_.wireless.toStdString();
        if (const auto set = printer_.run(step_.value); !set) return printerFailed(set.failure());
        wrote_ = true;
        applied_.push_back("wireless");
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
        const ledger::Status recorded =
            ledger_.advance(mac_, MacState::Verified, stamp(recipe_.customerCode, "done"));
        if (!recorded.ok()) return ledgerFailed(recorded.fault, recorded.error);
        return done(kWritten);
    }

    ledger::Stamp where() const {
        ledger::Stamp s;
        s.station = context_.station;
        s.port = context_.port;
        s.device = context_.device;
        return s;
    }

    // The unit as it is now: the recipe's block (the settings step comes
    // first), the customer code it carries, and how far it got.
    ledger::Stamp stamp(std::optional<int> customerCode, const char* unit) const {
        ledger::Stamp s = where();
        s.customerCode = customerCode;
        s.recipe = recipe_.name;
        s.recipeHash = recipe_.hash;
        s.settingsBlock = QString::fromStdString(hexOf(recipe_.block));
        s.unit = QString::fromLatin1(unit);
        QStringList steps;
        for (const char* step : applied_) steps << QLatin1StringView(step);
        s.steps = steps.join(u' ');
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
        // The address stays verified (the printer carries it); the row says
        // the unit is not finished, with the steps that were. Best effort:
        // the run ends failed anyway.
        if (summary_.mac && exitCode != 3 && exitCode != 4) {
            ledger::Stamp note = stamp(std::nullopt, "unfinished");
            note.station.clear();
            note.port.clear();
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
    bool keep_ = false;                 // the unit keeps the address it carries
    std::optional<Mac> replaces_;       // its verified old address, replaced once it has a new one
    std::vector<const char*> applied_;  // the recipe's steps applied and read back
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
