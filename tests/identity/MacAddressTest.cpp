#include <gtest/gtest.h>

#include "identity/CustomerCodeValue.h"
#include "identity/MacAddress.h"

namespace tessra::identity {
namespace {

TEST(AdvanceMac, CarriesAndStopsAtTheMaximum) {
    struct Case {
        MacOctets from;
        MacStep step;  // next, maximum, rewrite4, rewrite5, rewrite6
    };
    const Case cases[] = {
        {{0x00, 0x00, 0x05}, {{0x00, 0x00, 0x06}, false, false, false, true}},
        {{0x10, 0xFF, 0xFE}, {{0x10, 0xFF, 0xFF}, false, false, false, true}},
        {{0x00, 0x00, 0xFF}, {{0x00, 0x01, 0x00}, false, false, true, true}},
        {{0x0F, 0xFF, 0xFF}, {{0x10, 0x00, 0x00}, false, true, true, true}},
        // Above the maximum's 4th octet the carry goes on.
        {{0x11, 0xFF, 0xFF}, {{0x12, 0x00, 0x00}, false, true, true, true}},
        // The maximum and the last address keep the address, rewrite nothing.
        {{0x10, 0xFF, 0xFF}, {{0x10, 0xFF, 0xFF}, true, false, false, false}},
        {{0xFF, 0xFF, 0xFF}, {{0xFF, 0xFF, 0xFF}, true, false, false, false}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(advanceMac(c.from), c.step)
            << int(c.from.mac4) << ' ' << int(c.from.mac5) << ' ' << int(c.from.mac6);
    }
}

TEST(OctetText, UpperCaseHexWithoutLeadingZeros) {
    const std::pair<std::uint8_t, const char*> cases[] = {
        {0x00, "0"}, {0x0A, "A"}, {0x10, "10"}, {0x1F, "1F"}, {0xFF, "FF"}};
    for (const auto& [octet, text] : cases) EXPECT_EQ(octetText(octet), text);
}

TEST(CustomerCodeFromText, AcceptsOneTo255Only) {
    const std::pair<const char*, int> accepted[] = {
        {"1", 1}, {"255", 255}, {"007", 7}, {" 42 ", 42}};
    for (const auto& [text, code] : accepted) EXPECT_EQ(customerCodeFromText(text), code) << text;
    for (const char* text : {"0", "000", "256", "-1", "abc", "99999", "32768", "", "  ", "12.5",
                             "1e2", "12abc", "0x10", "+"}) {
        EXPECT_FALSE(customerCodeFromText(text).has_value()) << '"' << text << '"';
    }
}

}  // namespace
}  // namespace tessra::identity
