#include "stationapp/Provisioning.h"

#include <memory>

namespace tessra::stationapp {

namespace {

// ---- PLUG-IN POINT -------------------------------------------------------
// Until the printer core and the recipe provisioning are linked into this
// program, a slot's port reports that it has no printer core, and a unit is
// refused. Replace these two classes' use in stationParts() with the real
// printer (one per port) and the real provisioning of the recipe.

class NoPrinterCore final : public printer::Printer {
public:
    explicit NoPrinterCore(std::string port) : port_(std::move(port)) {}
    printer::Outcome<printer::Line> find() override { return missing(); }
    void useLine(printer::Line line) override { line_ = line; }
    printer::Line line() const override { return line_; }
    printer::Outcome<printer::SettingsBlock> readBlock() override { return missing(); }
    printer::Outcome<printer::Done> writeBlock(const printer::SettingsBlock&,
                                               std::string_view) override {
        return missing();
    }
    printer::Outcome<printer::MacAddress> readMac() override { return missing(); }
    printer::Outcome<printer::Done> writeMac(const printer::MacAddress&,
                                             std::string_view) override {
        return missing();
    }
    printer::Outcome<printer::CustomerCode> readCustomerCode() override { return missing(); }
    printer::Outcome<printer::Done> writeCustomerCode(printer::CustomerCode) override {
        return missing();
    }
    printer::Outcome<printer::Done> run(std::string_view) override { return missing(); }
    printer::Outcome<printer::Done> printLines(std::span<const std::string>) override {
        return missing();
    }

private:
    printer::Failure missing() const {
        return {printer::FailureKind::PortUnavailable, PortFailure::Other, port_,
                "this build has no printer core"};
    }
    std::string port_;
    printer::Line line_{};
};

class NoRecipe final : public station::UnitWork {
public:
    station::UnitResult provision(printer::Printer&, station::UnitProgress&) override {
        return {false, "", {}, "no recipe loaded", "open a recipe, then start again"};
    }
};

}  // namespace

StationParts stationParts(const std::string& /*recipePath*/) {
    return StationParts{[](const std::string& port, std::stop_token) {
                            return std::make_unique<NoPrinterCore>(port);
                        },
                        [](const std::string&) { return std::make_unique<NoRecipe>(); }};
}
// ---- END OF PLUG-IN POINT ------------------------------------------------

}  // namespace tessra::stationapp
