// tessra-cli provision and station as processes against virtual printers.
#include <unistd.h>

#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <fstream>

#include "WindowWithPrinter.h"
#include "settings/SettingsFile.h"

namespace tessra::testing {
namespace {

// A recipe for 115200 bps, so that every unit moves from its factory 9600.
class ProvisionRun : public ::testing::Test {
protected:
    void SetUp() override {
        settings::Selections selections;
        selections.fill(0);
        selections[static_cast<std::size_t>(settings::Group::SerialBaudrate)] = 6;
        std::ofstream(dir_.filePath("fast.tessra").toStdString())
            << *settings::formatSettingsFile(selections);
        std::ofstream(recipe().toStdString())
            << "tessra-recipe 1\nname = line-7\nsettings = fast.tessra\n"
               "mac-range = 0A:5C:3E:00:10:00-0A:5C:3E:00:10:FF\ncustomer-code = 42\n";
    }
    QString recipe() const { return dir_.filePath("line-7.recipe"); }

    void launch(QProcess& process, const QStringList& arguments) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("TESSRA_PASSWORD", "Kovak");
        process.setProcessEnvironment(env);
        process.setStandardInputFile(QProcess::nullDevice());
        process.start(
            TESSRA_CLI_PROGRAM,
            QStringList{"--ledger", dir_.filePath("ledger.sqlite"), "--json"} + arguments);
    }

    // Exit code and stdout; stderr goes into the failure message.
    std::pair<int, QString> cli(QStringList arguments) {
        QProcess process;
        launch(process, arguments);
        EXPECT_TRUE(process.waitForFinished(60'000));
        errors_ = process.readAllStandardError().toStdString();
        return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput())};
    }

    QTemporaryDir dir_;
    std::string errors_;
};

// Two hosts of one station name, as two runs on this host (its name is the
// station of `mac next`) whose COM1 reaches two printers, each writing
// addresses one after the other, the second starting while the first is
// under way. Neither settles the other's unit.
TEST_F(ProvisionRun, TwoRunsOfOneStationNameOnTwoDevicesNeverSettleEachOthersUnits) {
    constexpr int kUnits = 30;
    struct Host {
        VirtualPrinterProcess printer;
        std::unique_ptr<QProcess> run;
        std::vector<int> codes;
    } hosts[2];
    for (Host& h : hosts) ASSERT_TRUE(h.printer.start());
    QElapsedTimer since;
    since.start();
    for (bool busy = true; busy;) {
        busy = false;
        for (int i = 0; i < 2; ++i) {
            Host& h = hosts[i];
            if (h.run && h.run->waitForFinished(5)) {
                h.codes.push_back(h.run->exitCode());
                if (h.codes.back() != 0) ADD_FAILURE() << h.run->readAllStandardError().data();
                h.run.reset();
            }
            if (!h.run && int(h.codes.size()) < kUnits && (i == 0 || since.elapsed() > 300)) {
                QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
                env.insert("TESSRA_PASSWORD", "Kovak");
                env.insert("TESSRA_COM1", QString::fromStdString(h.printer.link()));
                h.run = std::make_unique<QProcess>();
                h.run->setProcessEnvironment(env);
                h.run->start(
                    TESSRA_CLI_PROGRAM,
                    {"--ledger", dir_.filePath("ledger.sqlite"), "--port", "COM1", "--line",
                     "9600,n", "--range", "0A:5C:3E:00:20:00-0A:5C:3E:00:20:FF", "mac", "next"});
            }
            busy = busy || h.run;
        }
    }
    for (const Host& h : hosts) EXPECT_EQ(h.codes, std::vector<int>(kUnits, 0));
    const auto [listed, out] = cli({"ledger", "list"});
    EXPECT_EQ(out.count(R"("state":"verified")"), 2 * kUnits) << out.toStdString();
    EXPECT_EQ(out.count(R"("address")"), 2 * kUnits);
}

// The first slot's unit is taken off once done and a fresh one put on within
// a second: the slot tells it gone and provisions the new one.
TEST_F(ProvisionRun, AStationOfThreeSlotsProvisionsEachUnitAndOneSwappedInUnderASecond) {
    VirtualPrinterProcess printers[3];
    QStringList slotLinks;
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(printers[i].start());
        // Qt locks a port by its file name: each slot needs a name of its own.
        const QString link = dir_.filePath(QStringLiteral("slot%1").arg(i));
        ASSERT_EQ(::symlink(printers[i].link().c_str(), link.toUtf8().constData()), 0);
        slotLinks << link;
    }
    QProcess station;
    launch(station, {"--slots", slotLinks.join(','), "--count", "4", "station", recipe()});
    const QString firstDone = QStringLiteral(R"("slot":"%1","event":"done")").arg(slotLinks[0]);
    QString out;
    bool swapped = false;
    for (int i = 0; i < 600 && station.state() != QProcess::NotRunning; ++i) {
        station.waitForReadyRead(100);
        out += QString::fromUtf8(station.readAllStandardOutput());
        if (!swapped && out.contains(firstDone)) {
            printers[0].stop();
            ASSERT_TRUE(printers[0].start());
            swapped = true;
        }
    }
    station.waitForFinished(1000);
    out += QString::fromUtf8(station.readAllStandardOutput());
    EXPECT_EQ(station.exitCode(), 0) << out.toStdString();
    // The other two units stay on their slots: the fourth address is the fresh unit's.
    QSet<QString> macs;
    const QRegularExpression done(R"re("event":"done".*"mac":"([0-9A-F:]{17})")re");
    for (auto it = done.globalMatch(out); it.hasNext();) macs.insert(it.next().captured(1));
    EXPECT_EQ(macs.size(), 4) << out.toStdString();
    EXPECT_TRUE(out.contains(R"("event":"tally","done":4,"failed":0)")) << out.toStdString();
}

// Factory-fresh printers share an address in the range: in any order, each
// ends with its own. A unit is written where it differs, the first time only.
TEST_F(ProvisionRun, PrintersSharingAFactoryAddressEndWithThreeAddresses) {
    std::ofstream(recipe().toStdString())
        << "tessra-recipe 1\nname = line-7\nsettings = fast.tessra\n"
           "mac-range = 0A:5C:3E:00:00:00-0A:5C:3E:00:00:FF\ncustomer-code = 42\n";
    VirtualPrinterProcess printers[3];
    for (VirtualPrinterProcess& printer : printers) ASSERT_TRUE(printer.start());
    QString held[3];
    const QRegularExpression mac(R"re("mac":"([0-9A-F:]{17})")re");
    for (const int i : {1, 0, 2, 1, 0}) {
        const auto [code, out] =
            cli({"--port", QString::fromStdString(printers[i].link()), "provision", recipe()});
        EXPECT_EQ(code, 0) << errors_ << out.toStdString();
        const QString summary = out.trimmed().split('\n').last();
        const QString now = mac.match(summary).captured(1);
        const char* result = held[i].isEmpty() ? "written" : "unchanged";
        for (const char* step : {"settings", "mac", "customer-code"})
            EXPECT_TRUE(
                out.contains(QStringLiteral(R"("result":"%1","step":"%2")").arg(result, step)))
                << step << "\n"
                << out.toStdString();
        EXPECT_TRUE(summary.contains(QRegularExpression(
            R"("customerCode":42,.*"exitCode":0,"hash":"[0-9a-f]{64}",.*"recipe":"line-7")")))
            << summary.toStdString();
        EXPECT_TRUE(held[i].isEmpty() || now == held[i]) << "printer " << i;
        held[i] = now;
    }
    EXPECT_EQ(QSet<QString>({held[0], held[1], held[2]}).size(), 3);
    EXPECT_FALSE(QSet<QString>({held[0], held[1], held[2]}).contains("0A:5C:3E:00:00:01"));
}

}  // namespace
}  // namespace tessra::testing
