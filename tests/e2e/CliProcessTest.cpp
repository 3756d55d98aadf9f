// tessra-cli as a process against the virtual printer on a pseudo-terminal.
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <fstream>

#include "fakes/QtTestApplication.h"
#include "fakes/VirtualPrinterProcess.h"
#include "settings/SettingsFile.h"

namespace tessra::testing {
namespace {

struct ToolRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

class CliWithPrinter : public ::testing::Test {
protected:
    VirtualPrinterProcess printer;
    QTemporaryDir dir;
    QString password;  // TESSRA_PASSWORD when not empty

    ToolRun cli(const QStringList& arguments) {
        testApplication();
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("TESSRA_PASSWORD");
        env.remove("TESSRA_LEDGER");
        if (!password.isEmpty()) env.insert("TESSRA_PASSWORD", password);
        process.setProcessEnvironment(env);
        process.setStandardInputFile(QProcess::nullDevice());
        process.start(TESSRA_CLI_PROGRAM,
                      QStringList{"--port", QString::fromStdString(printer.link()), "--ledger",
                                  dir.filePath("ledger.sqlite")} +
                          arguments);
        if (!process.waitForFinished(30000)) {
            process.kill();
            process.waitForFinished();
        }
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                process.readAllStandardOutput().toStdString(),
                process.readAllStandardError().toStdString()};
    }
    bool transcriptHas(const std::string& text) const {
        return printer.transcript().find(text) != std::string::npos;
    }
};

TEST_F(CliWithPrinter, DetectFindsAPrinterAtANonDefaultSpeed) {
    ASSERT_TRUE(printer.start({"--speed", "57600"}));
    const ToolRun run = cli({"detect"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "57600,n,8,1\n");
    EXPECT_TRUE(printer.inOrder({"57600: reset\n", "57600: settings read 00 05 01 00\n"}));
}

TEST_F(CliWithPrinter, LoadThatChangesTheSpeedIsReadBackAtTheNewSpeedWithoutAPrintedLine) {
    ASSERT_TRUE(printer.start());
    settings::Selections selections;
    selections.fill(0);
    selections[static_cast<std::size_t>(settings::Group::SerialBaudrate)] = 6;  // 115200 bps
    std::ofstream(dir.filePath("fast.tessra").toStdString())
        << *settings::formatSettingsFile(selections);

    const ToolRun run = cli({"--line", "9600,n", "settings", "load", dir.filePath("fast.tessra")});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "wrote 00 06 00 00, read back at 115200,n,8,1\n");
    EXPECT_TRUE(printer.inOrder(
        {"9600: printed \" Setting Complete\"\n", "9600: settings write 00 06 00 00 (",
         "115200: listening at 115200 bps\n", "115200: settings read 00 06 00 00\n"}));
    EXPECT_FALSE(transcriptHas("Read Complete")) << printer.transcript();
}

TEST_F(CliWithPrinter, SetWithAnUnknownGroupListsTheGroupsAndSendsNothing) {
    ASSERT_TRUE(printer.start());
    const ToolRun run = cli({"settings", "set", "Speed=Lv2"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(
        run.err.find("unknown group \"Speed\"; valid groups: Code Page, Baudrate, Parity-bit, "
                     "Handshaking, Error Sound, USB Mode, Ext Buzzer, Auto Cut Mode, Cutter "
                     "Setting, Print Speed, Paper Width, Font System, Paper Type"),
        std::string::npos)
        << run.err;
    EXPECT_TRUE(printer.linesAfterStart().empty()) << printer.transcript();
}

TEST_F(CliWithPrinter, ThreeMacNextEachReadBackAndListedInTheLedger) {
    ASSERT_TRUE(printer.start());
    password = "Kovak";
    for (const std::string hex : {"00 00 00", "00 00 01", "00 00 02"}) {
        const ToolRun run = cli({"--line", "9600,n", "mac", "next"});
        std::string colons = hex;
        std::replace(colons.begin(), colons.end(), ' ', ':');
        EXPECT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(run.out, "0A:5C:3E:" + colons + " written and verified\n");
        EXPECT_TRUE(printer.inOrder(
            {"9600: MAC write 0A 5C 3E " + hex + "\n", "9600: MAC read 0A 5C 3E " + hex + "\n"}));
    }
    const ToolRun list = cli({"ledger", "list", "--csv"});
    EXPECT_EQ(list.exitCode, 0) << list.err;
    for (const std::string mac : {"0A:5C:3E:00:00:00", "0A:5C:3E:00:00:01", "0A:5C:3E:00:00:02"}) {
        const auto at = list.out.find("\n" + mac + ",verified,");
        ASSERT_NE(at, std::string::npos) << list.out;
        const std::string row = list.out.substr(at + 1, list.out.find('\n', at + 1) - at - 1);
        EXPECT_TRUE(row.ends_with("," + printer.link())) << row;
    }
}

TEST_F(CliWithPrinter, AWrongPasswordSendsNothing) {
    ASSERT_TRUE(printer.start());
    password = "kovak";
    const ToolRun run = cli({"mac", "next"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find("Invalid Level1 Password"), std::string::npos) << run.err;
    // The next command's bytes come first in the transcript: nothing came before them.
    EXPECT_EQ(cli({"--line", "9600,n", "mac", "show"}).out, "0A:5C:3E:00:00:01\n");
    ASSERT_TRUE(printer.waitForLine("9600: MAC read"));
    EXPECT_EQ(printer.linesAfterStart(),
              std::vector<std::string>{"9600: MAC read 0A 5C 3E 00 00 01"});
}

TEST_F(CliWithPrinter, AMissingPortIsExitThreeWithThePathAndTheReason) {
    const ToolRun run = cli({"--port", "/nonexistent/tessra-port", "detect"});
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_NE(run.err.find("(/nonexistent/tessra-port): No such file or directory"),
              std::string::npos)
        << run.err;
}

}  // namespace
}  // namespace tessra::testing
