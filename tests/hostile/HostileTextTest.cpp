// The parsers below the tool: settings file, ledger locations, quoted text,
// and the guard around main.
#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>

#include "ledger/LedgerLocation.h"
#include "link/MainGuard.h"
#include "link/QuotedText.h"
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

}  // namespace
}  // namespace tessra
