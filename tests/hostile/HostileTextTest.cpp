// The parsers below the tool: settings file, ledger locations, quoted text,
// station names through every output, and the guard around main.
#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QRegularExpression>
#include <QTimeZone>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "fakes/FakePort.h"
#include "ledger/LedgerLocation.h"
#include "ledger/LedgerReport.h"
#include "link/MainGuard.h"
#include "link/QuotedText.h"
#include "printer/LinkPrinter.h"
#include "provision/ProvisionUnit.h"
#include "settings/SettingsFile.h"

namespace tessra {
namespace {

TEST(QuotedInput, EscapesControlsAndCutsLongText) {
    const char* const cases[][2] = {
        {"plain é", "plain é"},
        {"\x1B[31mred\r\n\t\x7F", "\\x1B[31mred\\r\\n\\t\\x7F"},
        {"\xFF\xC3 broken", "\\xFF\\xC3 broken"},
        {"\xE2\x80\xAE"
         "evil \xC2\x9B",
         "\\u202Eevil \\u009B"},
        {"1234567890123456789012345678901234567890123456789012345678901234567890123456789012",
         "12345678901234567890123456789012345678901234567890123456789012345678901234567890..."},
    };
    for (const auto& [text, shown] : cases) EXPECT_EQ(quotedInput(text), shown) << text;
}

TEST(SettingsFileHostile, VersionWithAnyBlanksAndRefusalsQuoteShort) {
    EXPECT_NE(
        settings::parseSettingsFile("tessra-settings  1\n").error->message.find("missing groups"),
        std::string::npos);
    const auto flood =
        settings::parseSettingsFile("tessra-settings 1\n" + std::string(100000, '\x1B') + "=1");
    EXPECT_EQ(flood.error->line, 2);
    EXPECT_LT(flood.error->message.size(), 1000u);
}

TEST(LedgerLocationHostile, AllowedOptionsOnlyAndPasswordsHidden) {
    const auto taken = ledger::parseLedgerLocation(
        "postgresql://u:pw@h/d?sslmode=require&connect_timeout=3&application_name=st%27 1");
    ASSERT_TRUE(taken.ok()) << taken.error.toStdString();
    EXPECT_EQ(taken->options, (QStringList{"sslmode='require'", "connect_timeout='3'",
                                           "application_name='st\\' 1'"}));
    EXPECT_EQ(taken->shown, "postgresql://u:***@h/d");
    const char* const refused[][2] = {
        {"postgresql:///d?connect_timeout=-1", "connect_timeout must be"},
        {"postgresql:///d?host=a&host=b", "\"host\" is given twice"},
        {"postgresql:///d?Host=a", "\"Host\" is not accepted"},
        {"postgresql:///d?user=a%0Ab", "control character"},
        {"postgresql:///d?passwd=secret", "?passwd=***\""},
        {"postgresql://h:1/d?application_name=a@secret&x=1", "h:***@secret"},
        {"postgresql://h:1/d?x=a@b&password=secret", "h:***@b&password=***\""},
    };
    for (const auto& [text, part] : refused)
        EXPECT_TRUE(ledger::parseLedgerLocation(text).error.contains(part))
            << ledger::parseLedgerLocation(text).error.toStdString();
}

TEST(MainGuard, AnExceptionIsOneLineAndAnExitCode) {
    const struct {
        std::function<int()> body;
        int code;
        const char* said;
    } cases[] = {
        {[]() -> int { throw std::out_of_range("basic_string::substr"); }, 2,
         "p: unexpected failure: basic_string::substr\n"},
        {[]() -> int { throw std::runtime_error("no \"disk\"\n"); }, 3,
         "p: unexpected failure: no \"disk\"\\n\n"},
        {[] { return 1; }, 1, ""},
    };
    for (const auto& c : cases) {
        std::ostringstream err;
        std::ostringstream json;
        EXPECT_EQ(guardMain("p", c.body, err, &json), c.code);
        EXPECT_EQ(err.str(), c.said);
        if (c.code > 1) {
            EXPECT_EQ(json.str().rfind("{\"exitCode\":" + std::to_string(c.code), 0), 0u);
        }
    }
}

// A station name refused, or one a ledger holds all the same (an older
// version, a host name), cannot act in any output, the receipt included.
TEST(HostileStationNames, RefusedOrShownInertEverywhere) {
    std::vector<std::string> names{"=1+2", "+1", "-2", "@A1", "Z\u00FCrich 7"};  // taken
    const std::size_t taken = names.size();
    names.insert(names.end(),
                 {"", "a\nb", "\33]0;x\a", "\00196\002%\a", "\u202Eevil\177", "\302\2332J\u2028"});
    EXPECT_TRUE(ledger::isStationName(QString(64, u'x')) &&
                !ledger::isStationName(QString(65, u'x')));
    const QRegularExpression control(QStringLiteral("[\\x00-\\x1F\\x7F-\\x9F]"));
    for (const std::string& name : names) {
        ledger::MacRecord r;
        r.station = r.note = QString::fromStdString(name);
        EXPECT_EQ(ledger::isStationName(r.station), &name - names.data() < std::ptrdiff_t(taken))
            << name;
        r.time = QDateTime(QDate(2026, 12, 7), QTime(10, 0), QTimeZone::utc());
        r.state = ledger::MacState::Failed;
        const ledger::LedgerReport report = ledger::buildReport({r});
        const QStringList csv = ledger::listCsv({r}) + ledger::reportCsv(report);
        EXPECT_EQ(ledger::listText({r}).size() + csv.size(), 7) << name;
        const QString json = QString::fromStdString(jsonControlsEscaped(
            QJsonDocument(ledger::listJson({r})).toJson(QJsonDocument::Compact).toStdString() +
            jsonString(name)));
        for (const QString& line :
             csv + ledger::listText({r}) + ledger::reportText(report) + QStringList{json})
            EXPECT_FALSE(line.contains(control)) << line.toStdString();
        EXPECT_FALSE(csv.join(u'\n').contains(QRegularExpression("(^|,)\"?[=+\\-@]"))) << name;

        testing::FakeClock clock;
        testing::FakePort port{clock};
        printer::LinkPrinter printer{port, clock, 1, [] { return false; }};
        ASSERT_TRUE(printer.printLines(provision::receiptLines({}, 1, r.station, r.time)));
        const Bytes sent = port.openings.back().bytes();  // ESC @, ESC i, 11 line ends
        EXPECT_EQ(std::ranges::count_if(sent, [](auto b) { return b < 0x20 || b > 0x7E; }), 24);
    }
}

}  // namespace
}  // namespace tessra
