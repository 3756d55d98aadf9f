#include <gtest/gtest.h>

#include "CustomerCodeValue.h"
#include "MacAddress.h"

namespace tessra::identity {
namespace {

MacStep stepOf(MacOctets next, bool r4, bool r5) {
    return {next, false, r4, r5, true};
}

TEST(AdvanceMac, SixthOctetAloneMoves) {
    EXPECT_EQ(advanceMac({0x00, 0x00, 0x05}), stepOf({0x00, 0x00, 0x06}, false, false));
    EXPECT_EQ(advanceMac({0x10, 0xFF, 0xFE}), stepOf({0x10, 0xFF, 0xFF}, false, false));
}

TEST(AdvanceMac, CarryIntoFifthOctet) {
    EXPECT_EQ(advanceMac({0x00, 0x00, 0xFF}), stepOf({0x00, 0x01, 0x00}, false, true));
    EXPECT_EQ(advanceMac({0x10, 0xFE, 0xFF}), stepOf({0x10, 0xFF, 0x00}, false, true));
}

TEST(AdvanceMac, CarryIntoFourthOctet) {
    EXPECT_EQ(advanceMac({0x00, 0xFF, 0xFF}), stepOf({0x01, 0x00, 0x00}, true, true));
    EXPECT_EQ(advanceMac({0x0F, 0xFF, 0xFF}), stepOf({0x10, 0x00, 0x00}, true, true));
}

TEST(AdvanceMac, FourthOctetAboveTheMaximumCarriesOn) {
    EXPECT_EQ(advanceMac({0x20, 0xFF, 0xFF}), stepOf({0x21, 0x00, 0x00}, true, true));
    EXPECT_EQ(advanceMac({0x11, 0xFF, 0xFF}), stepOf({0x12, 0x00, 0x00}, true, true));
}

TEST(AdvanceMac, MaximumKeepsTheAddress) {
    const MacStep atTen = advanceMac({0x10, 0xFF, 0xFF});
    EXPECT_TRUE(atTen.maximum);
    EXPECT_EQ(atTen.next, (MacOctets{0x10, 0xFF, 0xFF}));
    EXPECT_FALSE(atTen.rewrite4 || atTen.rewrite5 || atTen.rewrite6);
}

TEST(AdvanceMac, LastAddressDoesNotWrap) {
    const MacStep last = advanceMac({0xFF, 0xFF, 0xFF});
    EXPECT_TRUE(last.maximum);
    EXPECT_EQ(last.next, (MacOctets{0xFF, 0xFF, 0xFF}));
}

TEST(OctetText, UpperCaseHexWithoutLeadingZeros) {
    EXPECT_EQ(octetText(0x00), "0");
    EXPECT_EQ(octetText(0x04), "4");
    EXPECT_EQ(octetText(0x0A), "A");
    EXPECT_EQ(octetText(0x10), "10");
    EXPECT_EQ(octetText(0x1F), "1F");
    EXPECT_EQ(octetText(0xFF), "FF");
}

TEST(CustomerCodeFromText, AcceptsOneTo255) {
    EXPECT_EQ(customerCodeFromText("1"), 1);
    EXPECT_EQ(customerCodeFromText("255"), 255);
    EXPECT_EQ(customerCodeFromText("007"), 7);
    EXPECT_EQ(customerCodeFromText(" 42 "), 42);
}

TEST(CustomerCodeFromText, RejectsEverythingElse) {
    for (const char* text : {"0", "000", "256", "-1", "abc", "99999", "32768", "-32769", "", "  ",
                             "12.5", "1e2", "12abc", "0x10", "+"}) {
        EXPECT_FALSE(customerCodeFromText(text).has_value()) << '"' << text << '"';
    }
}

}  // namespace
}  // namespace tessra::identity
