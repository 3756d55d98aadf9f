// tessra-cli as a process against the virtual printer on a pseudo-terminal.
#include <QProcess>
#include <QTemporaryDir>
#include <fstream>

#include "WindowWithPrinter.h"
#include "settings/SettingsFile.h"

namespace tessra::testing {
namespace {

TEST(CliWithPrinter, LoadThatChangesTheSpeedIsReadBackAtTheNewSpeedWithoutAPrintedLine) {
    VirtualPrinterProcess printer;
    ASSERT_TRUE(printer.start());
    QTemporaryDir dir;
    settings::Selections selections;
    selections.fill(0);
    selections[static_cast<std::size_t>(settings::Group::SerialBaudrate)] = 6;  // 115200 bps
    const QString file = dir.filePath("fast.tessra");
    std::ofstream(file.toStdString()) << *settings::formatSettingsFile(selections);

    QProcess cli;
    cli.setStandardInputFile(QProcess::nullDevice());
    cli.start(TESSRA_CLI_PROGRAM,
              {"--port", QString::fromStdString(printer.link()), "--ledger",
               dir.filePath("ledger.sqlite"), "--line", "9600,n", "settings", "load", file});
    ASSERT_TRUE(cli.waitForFinished(30'000));
    EXPECT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();
    EXPECT_EQ(cli.readAllStandardOutput(), "wrote 00 06 00 00, read back at 115200,n,8,1\n");
    EXPECT_TRUE(printer.inOrder(
        {"9600: printed \" Setting Complete\"\n", "9600: settings write 00 06 00 00 (",
         "115200: listening at 115200 bps\n", "115200: settings read 00 06 00 00\n"},
        kTranscriptDeadline));
    EXPECT_EQ(printer.transcript().find("Read Complete"), std::string::npos)
        << printer.transcript();
}

}  // namespace
}  // namespace tessra::testing
