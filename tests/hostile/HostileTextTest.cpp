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

QString qs(const std::string& text) {
    return QString::fromStdString(text);
}

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

// A station name the tool refuses, or one a ledger holds from elsewhere (an
// older version, a host name): no output lets it act. Text and CSV keep one
// row per line and no control, CSV opens as text, JSON escapes every
// control, and the receipt sends it as printable ASCII only.
TEST(HostileStationNames, RefusedOrShownInertEverywhere) {
    const std::vector<std::string> taken{"=1+2", "+1", "-2", "@A1", "Z\u00FCrich 7"};
    std::vector<std::string> names{
        "", "a\nb", "\33]0;x\a", "\00196\002%\a", "\u202Eevil\177", "\302\2332J\u2028"};
    for (const std::string& name : names) EXPECT_FALSE(ledger::isStationName(qs(name))) << name;
    for (const std::string& name : taken) EXPECT_TRUE(ledger::isStationName(qs(name))) << name;
    EXPECT_TRUE(ledger::isStationName(QString(64, u'x')));
    EXPECT_FALSE(ledger::isStationName(QString(65, u'x')));
    names.insert(names.end(), taken.begin(), taken.end());
    const QRegularExpression control(QStringLiteral("[\\x00-\\x1F\\x7F-\\x9F]"));
    for (const std::string& name : names) {
        ledger::MacRecord r;
        r.time = QDateTime(QDate(2026, 12, 7), QTime(10, 0), QTimeZone::utc());
        r.state = ledger::MacState::Failed;
        r.station = r.note = qs(name);
        const ledger::LedgerReport report = ledger::buildReport({r});
        const QStringList csv = ledger::listCsv({r}) + ledger::reportCsv(report);
        EXPECT_EQ(ledger::listText({r}).size() + csv.size(), 7) << name;
        const QString json = qs(jsonControlsEscaped(
            QJsonDocument(ledger::listJson({r})).toJson(QJsonDocument::Compact).toStdString() +
            jsonString(name)));
        for (const QString& line :
             csv + ledger::listText({r}) + ledger::reportText(report) + QStringList{json})
            EXPECT_FALSE(line.contains(control)) << line.toStdString();
        EXPECT_FALSE(csv.join(u'\n').contains(QRegularExpression("(^|,)\"?[=+\\-@]"))) << name;

        testing::FakeClock clock;
        testing::FakePort port{clock};
        printer::LinkPrinter printer{port, clock, 1, [] { return false; }};
        ASSERT_TRUE(printer.printLines(provision::receiptLines({}, 1, qs(name), r.time)));
        // Only the printer's own: ESC @, ESC i and 11 line ends.
        EXPECT_EQ(std::ranges::count_if(port.openings.back().bytes(),
                                        [](std::uint8_t b) { return b < 0x20 || b > 0x7E; }),
                  24)
            << name;
    }
}

}  // namespace
}  // namespace tessra
