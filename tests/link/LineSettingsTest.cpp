#include <gtest/gtest.h>

#include <utility>

#include "link/LineSettings.h"

namespace tessra {
namespace {

TEST(ParseSettings, AcceptsOnlyWellFormedSettings) {
    const std::pair<const char*, LineParameters> accepted[] = {
        {"9600,e,8,1", {9600, 'e', 8, 1}},
        {"115200,O,8,2", {115200, 'o', 8, 2}},
        {"2400,n,5,1", {2400, 'n', 5, 1}},
    };
    for (const auto& [text, want] : accepted) EXPECT_EQ(parseSettings(text), want) << text;
    for (const char* bad : {"", "9600", "9600,e,8", "9600,x,8,1", "9600,ev,8,1", "9600,,8,1",
                            "fast,n,8,1", "-1,n,8,1", "9600x,n,8,1", "9600 ,n,8,1", "9600,n,4,1",
                            "9600,n,9,1", "9600,n,8,3", "9600,n,8,1,1"}) {
        EXPECT_FALSE(parseSettings(bad)) << bad;
    }
}

}  // namespace
}  // namespace tessra
