// The virtual printer's protocol engine, fed whole and one byte at a time.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "sim/Engine.h"
#include "sim/SessionSpeed.h"

namespace tessra::sim {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Lines = std::vector<std::string>;

Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// "1B 40" as bytes.
Bytes hex(const std::string& pairs) {
    Bytes out;
    for (std::size_t at = 0; at < pairs.size(); at += 3)
        out.push_back(static_cast<std::uint8_t>(std::strtoul(pairs.substr(at, 2).c_str(), {}, 16)));
    return out;
}

// A service command: the header, then the code and its parameters.
Bytes service(const std::string& pairs) {
    return hex("01 39 36 02 " + pairs);
}

Bytes text(std::string_view s) {
    return Bytes(s.begin(), s.end());
}

void append(Output& to, const Output& more) {
    to.reply.insert(to.reply.end(), more.reply.begin(), more.reply.end());
    to.lines.insert(to.lines.end(), more.lines.begin(), more.lines.end());
}

Output oneByOne(Engine& e, const Bytes& bytes) {
    Output out;
    for (const std::uint8_t b : bytes) append(out, e.feed(Bytes{b}, 9600));
    return out;
}

const Bytes kRead = service("30");
const Bytes kMacRead = service("36");
const Bytes kMacWrite = service("37 00") + text("Kovak") + hex("00 00");
const Bytes kBlock = hex("00 02 01 00");
const std::string kReadLine = "settings read 00 02 01 00";
const std::string kMacIncomplete = "MAC write refused: incomplete";

struct Case {
    const char* name;
    Bytes bytes;
    Lines lines;  // after "9600: ", until the line goes quiet
    Bytes reply = {};
    std::uint64_t prints = 0;
    friend void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }
};

const std::vector<Case>& cases() {
    static const std::vector<Case> all{
        {"reset", hex("1B 40 00"), {"reset"}},
        {"centre", hex("1B 61 01 00"), {"align centre"}},
        {"left", hex("1B 61 00 00"), {"align left"}},
        {"print_mode", hex("1B 21 00 00"), {"print mode 00"}},
        {"cut", hex("1B 69 00"), {"cut"}},
        {"feed", hex("0A 00"), {"feed"}},
        {"text", text(" Set\r\n"), {"printed \" Set\""}, {}, 1},
        {"text_at_reset", text("a\"\\") + hex("1B 40"), {"discarded \"a\\\"\\\\\"", "reset"}},
        {"hex_dump", hex("1D 28 41 30 30 02 01"), {"hex dump print"}, {}, 1},
        {"self_test", hex("1D 28 41 30 30 02 02"), {"self-test print"}, {}, 1},
        {"sample_font", hex("1D 28 41 30 30 02 03"), {"sample font print"}, {}, 1},
        {"firmware_recovery", service("21 00"), {"firmware recovery"}},
        {"wireless_mode", service("23 03"), {"wireless mode 3"}},
        {"wireless_mode_4", service("23 04"), {"wireless mode 04 refused: out of range"}},
        {"customer_code_read", service("24 00"), {"customer code read 1"}, {0x01}},
        {"customer_code_write", service("25 FF"), {"customer code write 255"}},
        {"customer_code_0", service("25 00"), {"customer code write 0 refused: out of range"}},
        {"settings_read", kRead, {kReadLine}, kBlock},
        {"settings_write",
         service("31 3F 42 5A DC"),
         {"settings write 3F 42 5A DC (code page 63, 9600 bps, Even, DTR/DSR, No Sound, "
          "Disable, Pattern 2, Partial Cut Only, Cut ( No Feed ), Lv5 [170mm/s], 58mm, "
          "48CPL (203DPI), Alpha400-2.1)"}},
        {"settings_write_unassigned",
         service("31 40 F2 F4 E5"),
         {"settings write 40 F2 F4 E5 (code page 64, 9600 bps, Parity-bit unassigned C0, "
          "DTR/DSR, Error Sound unassigned 30, USB Mode unassigned 04, Pattern 1, Auto Cut "
          "Mode unassigned 60, Cutter Setting unassigned 90, Print Speed unassigned 05, "
          "80mm, 42CPL (180DPI), Paper Type unassigned E0)"}},
        {"settings_write_no_speed",
         service("31 00 07 01 00"),
         {"settings write 00 07 01 00 refused: baud rate field 07 unassigned"}},
        {"mac_read", kMacRead, {"MAC read 0A 5C 3E 00 00 01"}, hex("0A 5C 3E 00 00 01")},
        {"mac_write", kMacWrite + hex("0A 5C 3E 00 00 02 00 00"), {"MAC write 0A 5C 3E 00 00 02"}},
        // Octets that look like commands stay octets.
        {"mac_write_wrong_password",
         service("37 00") + text("Kovac") + hex("00 00 0A 5C 3E 1B 40 01 00 00"),
         {"MAC write refused: wrong password"}},
        {"mac_write_interrupted", service("37 00 1B 40"), {kMacIncomplete, "reset"}},
        {"mac_write_without_address", kMacWrite + kRead, {kMacIncomplete, kReadLine}, kBlock},
        // An LF is the first address byte until the next byte says otherwise.
        {"mac_write_then_feed", kMacWrite + hex("0A 00"), {kMacIncomplete, "feed"}},
        {"test_pattern", service("38 02"), {"test pattern 2"}, {}, 1},
        {"test_pattern_9", service("38 09"), {"test pattern 09 refused: out of range"}},
        {"unknown_bytes",
         hex("FF 1B 7F 13") + kRead,
         {"unknown bytes FF 1B 7F 13", kReadLine},
         kBlock},
        {"unknown_service",
         service("45 00") + kRead,
         {"unknown service command 45", kReadLine},
         kBlock},
        {"incomplete", service("31 00"), {"incomplete command 01 39 36 02 31 00"}},
    };
    return all;
}

class EveryCommand : public ::testing::TestWithParam<Case> {};

TEST_P(EveryCommand, RecognisedWholeAndOneByteAtATime) {
    const Case& c = GetParam();
    Lines expected;
    for (const std::string& line : c.lines) expected.push_back("9600: " + line);
    for (const bool split : {false, true}) {
        Engine e;
        Output r = split ? oneByOne(e, c.bytes) : e.feed(c.bytes, 9600);
        append(r, e.flush());
        EXPECT_EQ(r.lines, expected) << (split ? "one byte at a time" : "whole");
        EXPECT_EQ(r.reply, c.reply);
        EXPECT_EQ(e.state().prints, c.prints);
    }
}

INSTANTIATE_TEST_SUITE_P(Engine, EveryCommand, ::testing::ValuesIn(cases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Engine, ASettingsWriteMovesThePrinterToItsSpeed) {
    Engine e;
    const Output w = e.feed(service("31 00 C6 01 00"), 9600);
    ASSERT_EQ(w.lines.size(), 2u);
    EXPECT_EQ(w.lines[1], "115200: listening at 115200 bps");
    EXPECT_TRUE(e.feed(kRead, 9600).reply.empty());
    EXPECT_EQ(e.flush().lines, Lines{"115200: not understood: 5 bytes at 9600 bps"});
    EXPECT_EQ(e.feed(kRead, 115200).reply, hex("00 C6 01 00"));
    // Bytes after the write in the same burst were sent at the old speed.
    EXPECT_TRUE(e.feed(service("31 00 03 01 00") + kRead, 115200).reply.empty());
    EXPECT_EQ(e.speed(), 19200);
}

TEST(Engine, StartsAtTheSpeedItsBlockNames) {
    Engine e(PrinterState{.block = {0x00, 0x45, 0x01, 0x00}}, {});
    EXPECT_EQ(e.speed(), 57600);
    EXPECT_EQ(e.feed(kRead, 57600).reply, hex("00 45 01 00"));
}

// The revision tells the printer when to save its flash: reads leave it alone.
TEST(Engine, OnlyAChangeGrowsTheRevision) {
    Engine e;
    e.feed(kRead + kMacRead + hex("1B 40 0A"), 9600);
    EXPECT_EQ(e.revision(), 0u);
    e.feed(service("25 07"), 9600);
    EXPECT_GT(e.revision(), 0u);
}

// Bytes read after the utility closed its port were sent at the speed it had
// set, not at the one its close restored.
TEST(SessionSpeed, BytesReadAfterTheCloseAreJudgedAtTheUtilitysSpeed) {
    SessionSpeed session;
    session.settingsChanged(true, 19200);
    EXPECT_EQ(session.bytesRead(false, 9600), 19200);
    EXPECT_EQ(session.bytesRead(false, 9600), 9600);  // the session has ended
    session.settingsChanged(false, 4800);
    EXPECT_EQ(session.bytesRead(true, 2400), 2400);
}

}  // namespace
}  // namespace tessra::sim
