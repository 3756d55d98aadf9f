// What the tool refuses before it sends anything, and how it says so.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "CliFixture.h"

namespace tessra::testing {
namespace {

struct Refusal {
    QStringList arguments;
    std::string message;  // part of what stderr says
};

class Refused : public CliFixture, public ::testing::WithParamInterface<Refusal> {};

TEST_P(Refused, ExitTwoWithTheReasonAndNothingSent) {
    EXPECT_EQ(run(GetParam().arguments), 2);
    EXPECT_TRUE(said(GetParam().message));
    EXPECT_TRUE(port.openings.empty());
    EXPECT_EQ(out.str(), "");
}

INSTANTIATE_TEST_SUITE_P(
    CommandLine, Refused,
    ::testing::Values(
        Refusal{{}, "no command given; commands: detect, settings show,"},
        Refusal{{"reboot"}, "unknown command \"reboot\""},
        Refusal{{"settings"}, "\"settings\" needs one of: show, save, load, set"},
        Refusal{{"settings", "load"}, "usage: tessra-cli settings load FILE"},
        Refusal{{"detect", "now"}, "usage: tessra-cli detect"},
        Refusal{{"--port", "COM11", "detect"}, "--port COM11: expected COM1 to COM10"},
        Refusal{{"--port", "ttyS0", "detect"}, "expected COM1 to COM10 or a device path"},
        Refusal{{"--line", "9601,n", "detect"}, "--line 9601,n: expected SPEED,PARITY"},
        Refusal{{"--line", "9600,m", "detect"}, "--line 9600,m"},
        Refusal{{"--line", "9600,n,7,1", "detect"}, "--line 9600,n,7,1"},
        Refusal{{"--csv", "detect"}, "--csv does not go with detect"},
        Refusal{{"mac", "next", "--again"}, "--again does not go with mac next"},
        Refusal{{"--station", "a", "detect"}, "--station does not go with detect"},
        Refusal{{"--station", "\00196\002%\a", "ledger", "list"},
                "--station \"\\x0196\\x02%\\x07\""},
        Refusal{{"--until", "2026-12-07T23:00", "--since", "2026-12-08", "ledger", "report"},
                "--until 2026-12-07T23:00 is not after --since 2026-12-08"},
        Refusal{{"station", "x.recipe"}, "station needs --slots PORT[,PORT...]"},
        Refusal{{"--slots", "COM2,com2", "station", "x.recipe"}, "--slots: COM2 is given twice"},
        Refusal{{"--count", "0", "--slots", "COM1", "station", "x"}, "--count 0: expected"},
        Refusal{{"--frobnicate", "detect"}, "unknown option --frobnicate"},
        Refusal{{"--prot", "x", "detect"}, "unknown option --prot; did you mean --port?"},
        Refusal{{"ledger", "report", "--cout", "1"}, "did you mean --count?"},
        Refusal{{"detcet"}, ", ports; did you mean detect?"},
        Refusal{{"settings", "lod", "x"},
                "needs one of: show, save, load, set; did you mean load?"},
        Refusal{{"run", "reboot"}, "names: self-test, sample-font, hex-dump,"},
        Refusal{{"code", "write", "256"}, "customer code must be 1 to 255, not \"256\""},
        Refusal{{"mac", "write", "0A:5C:3F:00:00:01"}, "expected an address 0A:5C:3E:XX:XX:XX"},
        Refusal{{"mac", "next", "--range", "0A:5C:3E:00:00:09-0A:5C:3E:00:00:01"},
                "--range 0A:5C:3E:00:00:09-0A:5C:3E:00:00:01: expected FIRST-LAST"},
        Refusal{{"settings", "set", "Baudrate"}, "\"Baudrate\": expected GROUP=MEMBER"},
        Refusal{{"settings", "set", "Baud=9600 bps"},
                "unknown group \"Baud\"; valid groups: Code Page, Baudrate,"},
        Refusal{{"settings", "set", "baudrate=9600 bps", "BAUDRATE=2"},
                "\"Baudrate\" is given twice"},
        Refusal{{"settings", "set", "Paper Type=TF50"},
                "\"Paper Type\" has no member \"TF50\"; valid members: TF50KS-E2D (0), "
                "TF60KS-E (1)"}));

TEST_F(CliFixture, GroupsAndMembersMatchIgnoringCaseOrByIndex) {
    EXPECT_EQ(
        run({"--line", "9600,N", "settings", "set", " paper width = 58MM", "cutter setting=2"}), 0)
        << err.str();
    EXPECT_EQ(printer.block, (Bytes{0x00, 0x02, 0x11, 0x08}));
}

TEST_F(CliFixture, ARefusalInJsonIsOneObjectWithTheExitCode) {
    EXPECT_EQ(run({"--json", "run", "reboot"}), 2);
    const QJsonObject result =
        QJsonDocument::fromJson(QByteArray::fromStdString(out.str())).object();
    EXPECT_EQ(result["exitCode"].toInt(), 2);
    EXPECT_EQ(result["command"].toString(), "run");
    EXPECT_TRUE(
        result["errors"].toArray().first().toString().startsWith("unknown name \"reboot\""));
}

}  // namespace
}  // namespace tessra::testing
