// detect, settings, run and code against the fake printer.
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "CliFixture.h"

namespace tessra::testing {
namespace {

class Printer : public CliFixture {
protected:
    void writeFile(const QString& name, const QByteArray& text) const {
        QFile f(file(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
};

TEST_F(Printer, NoAnswerAtAnySpeedIsExitOneAfterEveryTry) {
    printer.speed = "1200";
    EXPECT_EQ(run({"detect"}), 1);
    EXPECT_EQ(port.openings.size(), 21u);
    EXPECT_TRUE(said("no answer from a printer on COM1 (/dev/fake1) at any speed"));
    EXPECT_TRUE(said("--line"));
    EXPECT_EQ(out.str(), "");
}

TEST_F(Printer, APortThatCannotOpenIsExitThreeWithDeviceAndReason) {
    port.failOpen = true;
    EXPECT_EQ(run({"--port", "COM4", "detect"}), 3);
    EXPECT_TRUE(said("Port Error: COM4 (/dev/fake4): No such file or directory"));
    // A path is named as given, and the advice is the command line's.
    EXPECT_EQ(run({"--port", "\\\\.\\COM12", "detect"}), 3);
    EXPECT_TRUE(
        said("Port Error: \\\\.\\COM12: No such file or directory. No serial port found: "
             "plug in the adapter, then choose it with --port\n"));
}

TEST_F(Printer, ShowListsTheBlockAndEveryGroupWithoutAPrintedConfirmation) {
    printer.block = {0x3F, 0x06, 0x01, 0xA0};
    printer.speed = "115200";
    EXPECT_EQ(run({"settings", "show"}), 0) << err.str();
    const std::string shown = out.str();
    EXPECT_TRUE(shown.starts_with("Block: 3F 06 01 A0\nCode Page: CP-949 : Korean\n")) << shown;
    EXPECT_NE(shown.find("\nBaudrate: 115200 bps\n"), std::string::npos);
    EXPECT_NE(shown.find("\nPaper Type: KT48FA\n"), std::string::npos);
    EXPECT_EQ(std::count(shown.begin(), shown.end(), '\n'), 14);
    // The reply that found the printer is the block: one request, nothing printed.
    EXPECT_EQ(port.openings.size(), 4u);
    EXPECT_EQ(port.openings.back().bytes(), (Bytes{0x1B, 0x40, 0x01, 0x39, 0x36, 0x02, 0x30}));
}

TEST_F(Printer, SaveThenLoadWritesTheSameBlockAndFollowsTheNewSpeed) {
    printer.block = {0x02, 0x42, 0x01, 0x10};
    ASSERT_EQ(run({"--line", "9600,n", "settings", "save", file("a.tessra")}), 0) << err.str();
    EXPECT_EQ(out.str(), "saved 02 42 01 10 to " + file("a.tessra").toStdString() + "\n");
    QFile saved(file("a.tessra"));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    writeFile("b.tessra", saved.readAll().replace("Baudrate = 9600 bps", "Baudrate = 115200 bps"));

    EXPECT_EQ(run({"settings", "load", file("b.tessra")}), 0) << err.str();
    EXPECT_EQ(printer.block, (Bytes{0x02, 0x46, 0x01, 0x10}));
    EXPECT_EQ(out.str(), "wrote 02 46 01 10, read back at 115200,e,8,1\n");
    // save's read; the load's search, write and read-back
    ASSERT_EQ(port.openings.size(), 4u);
    EXPECT_EQ(port.openings[2].settings, "9600,n,8,1");
    EXPECT_EQ(port.openings[3].settings, "115200,e,8,1");
    EXPECT_TRUE(said("note: " + file("b.tessra").toStdString() +
                     ": line 19: the block line says 02 42 01 10 but the groups give 02 46 01 10"));
}

TEST_F(Printer, ARefusedFileIsExitTwoWithItsLineAndNothingSent) {
    writeFile("bad.tessra", "tessra-settings 1\nBaudrate = fast\n");
    EXPECT_EQ(run({"settings", "load", file("bad.tessra")}), 2);
    EXPECT_TRUE(said(file("bad.tessra").toStdString() + ":2: \"Baudrate\" has no member \"fast\""));
    EXPECT_EQ(run({"settings", "load", file("missing.tessra")}), 2);
    EXPECT_TRUE(port.openings.empty());
}

TEST_F(Printer, AReadBackThatDiffersIsExitOne) {
    printer.keepsWrites = false;
    EXPECT_EQ(run({"--json", "--line", "9600,n", "settings", "set", "Print Speed=Lv5 [170mm/s]"}),
              1);
    const QJsonObject result =
        QJsonDocument::fromJson(QByteArray::fromStdString(out.str())).object();
    EXPECT_EQ(result["written"].toString(), "00 02 01 04");
    EXPECT_EQ(result["readBack"].toString(), "00 02 01 00");
    EXPECT_TRUE(said("wrote 00 02 01 04 but read back 00 02 01 00"));
}

// The names come from the command table; a wireless row and a two-call row.
TEST_F(Printer, RunSendsTheNamedRowsCallsEachInItsOwnOpening) {
    EXPECT_EQ(run({"--line", "9600,n", "run", "bluetooth"}), 0);
    EXPECT_EQ(out.str(), "sent bluetooth\n");
    EXPECT_EQ(port.bytesPerOpening(), (std::vector<Bytes>{{1, 0x39, 0x36, 2, 0x23, 2, 0}}));
    port.openings.clear();
    EXPECT_EQ(run({"--line", "9600,n", "run", "self-test"}), 0);
    EXPECT_EQ(
        port.bytesPerOpening(),
        (std::vector<Bytes>{{0x1B, 0x40, 0x00}, {0x1D, 0x28, 0x41, 0x30, 0x30, 0x02, 0x02, 0x00}}));
}

TEST_F(Printer, CodeWriteReadsTheCodeBack) {
    EXPECT_EQ(run({"--line", "9600,n", "code", "write", "42"}), 0) << err.str();
    EXPECT_EQ(printer.code, 42);
    EXPECT_EQ(run({"--line", "9600,n", "code", "show"}), 0);
    EXPECT_EQ(out.str(), "42\n");
    printer.keepsWrites = false;
    EXPECT_EQ(run({"--line", "9600,n", "code", "write", "7"}), 1);
    EXPECT_TRUE(said("wrote customer code 7 but read back 42"));
}

TEST_F(Printer, TraceTellsEveryByteWithTimeAndLine) {
    printer.code = 0x2A;
    EXPECT_EQ(run({"--trace", "--line", "19200,o", "code", "show"}), 1);  // at 9600 only
    EXPECT_TRUE(said("     0 ms 19200,o,8,1 open /dev/fake1\n"));
    EXPECT_TRUE(said("     0 ms 19200,o,8,1 > 01 39 36 02 24 00\n"));
    printer.speed = "19200";
    EXPECT_EQ(run({"--trace", "--line", "19200", "code", "show"}), 0);  // a speed alone: no parity
    EXPECT_TRUE(said(" ms 19200,n,8,1 < 2A\n"));
}

}  // namespace
}  // namespace tessra::testing
