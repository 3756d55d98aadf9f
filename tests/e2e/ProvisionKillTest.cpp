// tessra-cli provision killed (SIGKILL) at every step boundary and inside the
// MAC write, each time on a fresh unit behind the same port name and ledger.
#include <unistd.h>

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QThread>
#include <fstream>
#include <map>
#include <sstream>

#include "WindowWithPrinter.h"
#include "fakes/PortLocks.h"
#include "settings/SettingsFile.h"

namespace tessra::testing {
namespace {

// Starts the tool on the port; the caller waits for it or kills it.
void startCli(QProcess& process, const QTemporaryDir& dir, QStringList arguments) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("TESSRA_PASSWORD", "Kovak");
    process.setProcessEnvironment(env);
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(TESSRA_CLI_PROGRAM,
                  QStringList{"--ledger", dir.filePath("ledger.sqlite"), "--json"} + arguments);
}

// The address the printer holds, by its own transcript: the last MAC it took.
QString heldMac(const VirtualPrinterProcess& printer) {
    QString held = "0A:5C:3E:00:00:01";  // the factory address
    std::istringstream log(printer.transcript());
    const std::string written = ": MAC write ";
    for (std::string line; std::getline(log, line);)
        if (const auto at = line.find(written);
            at != line.npos && line.find("refused") == line.npos)
            held = QString::fromStdString(line.substr(at + written.size())).replace(' ', ':');
    return held;
}

TEST(ProvisionKill, EveryKilledRunIsReconciledAndNoAddressIsOnTwoPrinters) {
    QTemporaryDir dir;
    // 9600 kept, so the next run's --line is right whenever the kill came;
    // another paper width, so that the settings step writes.
    settings::Selections selections;
    selections.fill(0);
    selections[static_cast<std::size_t>(settings::Group::SerialBaudrate)] = 2;
    selections[static_cast<std::size_t>(settings::Group::Width)] = 1;
    std::ofstream(dir.filePath("line.tessra").toStdString())
        << *settings::formatSettingsFile(selections);
    const QString recipe = dir.filePath("line-7.recipe");
    std::ofstream(recipe.toStdString())
        << "tessra-recipe 1\nname = line-7\nsettings = line.tessra\n"
           "mac-range = 0A:5C:3E:00:10:00-0A:5C:3E:00:10:FF\ncustomer-code = 42\n";
    const QString port = dir.filePath("station-port");
    const QStringList provision{"--port", port, "--line", "9600,n", "provision", recipe};

    // Step lines to wait for, then milliseconds more: each boundary of
    // find, reconcile, read, settings, mac, customer-code, receipt, record,
    // and the three parts and read-back of the MAC write.
    const std::pair<int, int> kills[] = {{0, 0},   {1, 0},   {2, 0},   {3, 0},   {4, 0},
                                         {4, 150}, {4, 350}, {4, 550}, {4, 750}, {5, 0},
                                         {6, 0},   {7, 0},   {8, 0}};
    std::map<QString, int> printersHolding;
    for (const auto& [lines, extraMs] : kills) {
        SCOPED_TRACE(
            QString("killed after %1 step lines + %2 ms").arg(lines).arg(extraMs).toStdString());
        VirtualPrinterProcess printer;
        ASSERT_TRUE(printer.start({"--reply-delay", "100"}));
        QFile::remove(port);
        ASSERT_EQ(::symlink(printer.link().c_str(), port.toUtf8().constData()), 0);

        QProcess killed;
        startCli(killed, dir, provision);
        ASSERT_TRUE(killed.waitForStarted());
        for (int seen = 0; seen < lines && killed.waitForReadyRead(10'000);)
            while (seen < lines && killed.canReadLine())
                seen += killed.readLine().contains("\"step\"");
        QThread::msleep(static_cast<unsigned long>(extraMs));
        killed.kill();
        killed.waitForFinished();
        // A kill while Qt writes the port's lock leaves it empty; the next
        // run comes seconds later, when such a lock no longer stands.
        testing::ageEmptyPortLocks(port, 5);

        QProcess next;
        startCli(next, dir, provision);
        ASSERT_TRUE(next.waitForFinished(30'000));
        EXPECT_EQ(next.exitCode(), 0) << next.readAllStandardOutput().toStdString()
                                      << next.readAllStandardError().toStdString();
        ++printersHolding[heldMac(printer)];
    }

    QProcess list;
    startCli(list, dir, {"ledger", "list"});
    ASSERT_TRUE(list.waitForFinished(30'000));
    const QJsonArray rows =
        QJsonDocument::fromJson(list.readAllStandardOutput())["records"].toArray();
    int verified = 0;
    for (const QJsonValue& row : rows) {
        const QString address = row["address"].toString();
        const QString state = row["state"].toString();
        SCOPED_TRACE((address + " " + state + " " + row["note"].toString()).toStdString());
        const auto holders = printersHolding.find(address);
        const int held = holders == printersHolding.end() ? 0 : holders->second;
        EXPECT_LE(held, 1) << "on two printers";
        if (held == 1) {
            EXPECT_EQ(state, "verified");
            ++verified;
        } else {
            EXPECT_TRUE(state == "abandoned" || state == "failed" || state == "factory");
            EXPECT_FALSE(row["note"].toString().isEmpty()) << "unexplained";
        }
    }
    EXPECT_EQ(verified, static_cast<int>(std::size(kills)));
}

}  // namespace
}  // namespace tessra::testing
