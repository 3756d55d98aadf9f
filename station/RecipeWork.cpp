#include "station/RecipeWork.h"

#include <QThread>
#include <atomic>
#include <memory>

#include "identity/IdentityTexts.h"
#include "link/DeviceLock.h"
#include "link/ForwardingPort.h"
#include "link/PortOption.h"
#include "link/QtClock.h"
#include "link/QtSerialPort.h"
#include "printer/LinkPrinter.h"
#include "provision/MacProgramming.h"
#include "provision/ProvisionFormat.h"
#include "provision/ProvisionUnit.h"
#include "settings/SettingsTexts.h"

namespace tessra::station {

namespace {

using printer::Done;
using printer::Outcome;

// A slot's port without the list of the machine's serial ports: the link asks
// for it on every failed open to build a hint, and listing them walks sysfs
// and udev (about 0.1 s of CPU), so slots waiting for a missing adapter cost
// a core; the slot words its own hint without the list.
class SlotPort final : public ForwardingPort {
public:
    using ForwardingPort::ForwardingPort;
    std::vector<FoundPort> foundPorts() const override { return {}; }
};

// One slot's printer: its own port and clock. While a unit is under way a
// stop is held back until the unit's current step has ended; the next verb
// then ends as Stopped without sending anything.
class SlotPrinter final : public printer::Printer {
public:
    SlotPrinter(const PortOption& port, std::stop_token stop)
        : stop_(std::move(stop)),
          number_(port.number),
          printer_(port_, clock_, port.number,
                   [this] { return stopBetweenSteps_ || (!inUnit_ && stop_.stop_requested()); }) {
        if (!port.device.empty()) serial_.useDevice(port.number, port.device);
    }

    void beginUnit() { inUnit_ = true, stopBetweenSteps_ = false; }
    void endUnit() { inUnit_ = false; }
    void stopBeforeNextStep() { stopBetweenSteps_ = true; }
    std::string device() const { return serial_.deviceName(number_); }

    Outcome<printer::Line> find() override { return printer_.find(); }
    void useLine(printer::Line line) override { printer_.useLine(line); }
    printer::Line line() const override { return printer_.line(); }
    Outcome<printer::SettingsBlock> readBlock() override {
        if (stopBetweenSteps_) return stopped();
        return printer_.readBlock();
    }
    Outcome<Done> writeBlock(const printer::SettingsBlock& block,
                             std::string_view confirmation) override {
        if (stopBetweenSteps_) return stopped();
        return printer_.writeBlock(block, confirmation);
    }
    Outcome<printer::MacAddress> readMac() override {
        if (stopBetweenSteps_) return stopped();
        return printer_.readMac();
    }
    Outcome<printer::MacAddress> peekMac(std::chrono::milliseconds wait) override {
        if (stopBetweenSteps_) return stopped();
        return printer_.peekMac(wait);
    }
    Outcome<Done> writeMac(const printer::MacAddress& address, std::string_view password) override {
        if (stopBetweenSteps_) return stopped();
        return printer_.writeMac(address, password);
    }
    Outcome<printer::CustomerCode> readCustomerCode() override {
        if (stopBetweenSteps_) return stopped();
        return printer_.readCustomerCode();
    }
    Outcome<Done> writeCustomerCode(printer::CustomerCode code) override {
        if (stopBetweenSteps_) return stopped();
        return printer_.writeCustomerCode(code);
    }
    Outcome<Done> run(std::string_view commandName) override {
        if (stopBetweenSteps_) return stopped();
        return printer_.run(commandName);
    }
    Outcome<Done> printLines(std::span<const std::string> lines) override {
        if (stopBetweenSteps_) return stopped();
        return printer_.printLines(lines);
    }

private:
    printer::Failure stopped() const {
        return {printer::FailureKind::Stopped, PortFailure::None, {}, "the station is stopping"};
    }

    std::stop_token stop_;
    int number_;
    QtSerialPort serial_;
    SlotPort port_{serial_};
    QtClock clock_;
    std::atomic<bool> inUnit_ = false;
    std::atomic<bool> stopBetweenSteps_ = false;
    printer::LinkPrinter printer_;
};

// Tells each ended step to the station, and asks it before the next one
// whether the unit may go on.
class ProgressSink final : public provision::StepSink {
public:
    ProgressSink(UnitProgress& progress, SlotPrinter* printer)
        : progress_(progress), printer_(printer) {}
    void step(const provision::StepReport& report) override {
        if (!progress_.next(provision::stepText(report)) && printer_)
            printer_->stopBeforeNextStep();
    }

private:
    UnitProgress& progress_;
    SlotPrinter* printer_;
};

constexpr char kLedgerHint[] =
    "check the ledger (--ledger, TESSRA_LEDGER, its server or file): the next unit connects again";

std::string hintFor(int exitCode) {
    switch (exitCode) {
        case 2:
            return "check the recipe and the password";
        case 3:
            return "check the cable and the port";
        case 4:
            return "leave the unit connected: the next start reconciles it";
        default:
            return "check the printer, then reconnect it";
    }
}

std::string macText(ledger::Mac mac) {
    return ledger::macText(mac).toStdString();
}

class RecipeWork final : public UnitWork {
public:
    RecipeWork(std::shared_ptr<const RecipeStation> station, std::string port)
        : station_(std::move(station)), port_(std::move(port)) {
        // On the slot's thread, as the slot starts; a ledger that cannot be
        // opened now is tried again at each unit.
        if (auto opened = ledger::Ledger::open(station_->ledgerLocation); opened.ok())
            ledger_ = std::move(*opened);
    }

    UnitResult provision(printer::Printer& printer, UnitProgress& progress) override {
        // A ledger lost since the last unit (a server restart) is opened anew.
        if (const std::string lost = reachLedger(); !lost.empty())
            return {false, "", {}, "the ledger cannot be used: " + lost, kLedgerHint, {}};
        auto* slotPrinter = dynamic_cast<SlotPrinter*>(&printer);
        const auto device =
            identifyDevice(slotPrinter ? slotPrinter->device() : std::string(port_));
        std::unique_ptr<DeviceLock> held;
        if (device) {
            std::string refusal;
            held = DeviceLock::take(*device, refusal);
            if (!held)
                return {false,
                        "",
                        {},
                        refusal + "; nothing was sent",
                        "stop the other run on this port",
                        {}};
        }
        if (slotPrinter) slotPrinter->beginUnit();
        ProgressSink sink(progress, slotPrinter);
        provision::UnitContext context;
        context.station = station_->stationName;
        context.port = QString::fromStdString(port_);
        if (device) context.device = QString::fromStdString(device->path);
        context.password = station_->password;
        context.confirmation = std::string(kWriteConfirmation);
        context.line = printer.line();
        const provision::UnitSummary summary =
            provision::provisionUnit(printer, station_->recipe, *ledger_, context, sink);
        if (slotPrinter) slotPrinter->endUnit();

        return unitResult(summary);
    }

private:
    // Empty when the ledger answers, else why not.
    std::string reachLedger() {
        if (!ledger_) {
            auto opened = ledger::Ledger::open(station_->ledgerLocation);
            if (!opened.ok()) return opened.error.toStdString();
            ledger_ = std::move(*opened);
            return {};
        }
        const ledger::Status reached = ledger_->reconnect();
        return reached.ok() ? std::string() : reached.error.toStdString();
    }

    std::shared_ptr<const RecipeStation> station_;
    std::string port_;
    std::unique_ptr<ledger::Ledger> ledger_;
};

}  // namespace

UnitResult unitResult(const provision::UnitSummary& summary) {
    UnitResult result;
    result.done = summary.exitCode == 0;
    if (summary.mac) result.mac = macText(*summary.mac);
    if (summary.mac && result.done) result.address = provision::octetsOf(*summary.mac);
    result.customerCode = summary.customerCode;
    if (!result.done) {
        result.reason = summary.message.toStdString();
        result.hint =
            summary.ledgerFault != ledger::Fault::None ? kLedgerHint : hintFor(summary.exitCode);
    }
    return result;
}

PrinterFactory serialPrinters() {
    return [](const std::string& port, std::stop_token stop) -> std::unique_ptr<printer::Printer> {
        const auto parsed = parsePortOption(port);
        return std::make_unique<SlotPrinter>(parsed.value_or(PortOption{1, port}), std::move(stop));
    };
}

ThreadStarter qtThreads() {
    return [](std::function<void()> body) -> std::function<void()> {
        std::shared_ptr<QThread> thread(QThread::create(std::move(body)));
        thread->start();
        return [thread] { thread->wait(); };
    };
}

WorkFactory recipeWork(RecipeStation station) {
    auto shared = std::make_shared<const RecipeStation>(std::move(station));
    return [shared](const std::string& port) -> std::unique_ptr<UnitWork> {
        return std::make_unique<RecipeWork>(shared, port);
    };
}

}  // namespace tessra::station
