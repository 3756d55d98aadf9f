#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "protocol/ServiceCommands.h"

namespace tessra::commands {

// One sendCommand call: the whole buffer (the command and its spare 00), the
// highest index sent and the mode.
struct CommandCall {
    std::span<const std::uint8_t> buffer;
    int count;
    int mode;
};

// One row per command: its stable name (what `tessra-cli run` takes; empty
// for a button that never sends), the window's button and caption, its bytes.
struct CommandButton {
    std::string_view name;
    std::string_view control;
    std::string_view caption;
    bool bold;
    bool alwaysDisabled;  // shown greyed out for the whole run, sends nothing
    std::span<const CommandCall> calls;
};

namespace detail {
using protocol::commandBuffer;
using protocol::serviceBuffer;
using protocol::ServiceCode;
using protocol::testPrint;
using protocol::TestPrint;

inline constexpr auto kResetBuf = commandBuffer(protocol::kReset);
inline constexpr auto kSelfTestBuf = commandBuffer(testPrint(TestPrint::SelfTest));
inline constexpr auto kSampleFontBuf = commandBuffer(testPrint(TestPrint::SampleFont));
inline constexpr auto kHexDumpBuf = commandBuffer(testPrint(TestPrint::HexDump));
inline constexpr auto kRecoveryBuf = serviceBuffer<6>(ServiceCode::FirmwareRecovery);
inline constexpr auto kFeedBuf = commandBuffer(protocol::kLineFeed);
inline constexpr auto kCutBuf = commandBuffer(protocol::kCut);
inline constexpr auto kPattern0Buf = serviceBuffer<7>(ServiceCode::TestPattern, {0x00});
inline constexpr auto kPattern1Buf = serviceBuffer<7>(ServiceCode::TestPattern, {0x01});
inline constexpr auto kPattern2Buf = serviceBuffer<7>(ServiceCode::TestPattern, {0x02});
inline constexpr auto kPattern3Buf = serviceBuffer<7>(ServiceCode::TestPattern, {0x03});

inline constexpr std::array<CommandCall, 2> kSelfTest{{{kResetBuf, 2, 0}, {kSelfTestBuf, 7, 0}}};
inline constexpr std::array<CommandCall, 2> kSampleFont{
    {{kResetBuf, 2, 0}, {kSampleFontBuf, 7, 0}}};
inline constexpr std::array<CommandCall, 2> kHexDump{{{kResetBuf, 2, 0}, {kHexDumpBuf, 7, 0}}};
inline constexpr std::array<CommandCall, 1> kRecovery{{{kRecoveryBuf, 5, 0}}};
inline constexpr std::array<CommandCall, 1> kFeed{{{kFeedBuf, 1, 0}}};
inline constexpr std::array<CommandCall, 1> kCutting{{{kCutBuf, 2, 0}}};
template <std::uint8_t Mode>
inline constexpr auto kWirelessBuf = serviceBuffer<7>(ServiceCode::WirelessMode, {Mode});
template <std::uint8_t Mode>
inline constexpr std::array<CommandCall, 1> kWireless{{{kWirelessBuf<Mode>, 6, 0}}};
inline constexpr std::array<CommandCall, 4> kTestPattern{
    {{kPattern0Buf, 6, 0}, {kPattern1Buf, 6, 0}, {kPattern2Buf, 6, 0}, {kPattern3Buf, 6, 0}}};
}  // namespace detail

// The maintenance column, top to bottom.
inline constexpr std::array<CommandButton, 11> kMaintenanceColumn{{
    {"self-test", "Command2", "Self-Test", false, false, detail::kSelfTest},
    {"sample-font", "Command3", "Sample-Font", false, false, detail::kSampleFont},
    {"hex-dump", "Command1", "Hex-Dump", false, false, detail::kHexDump},
    {"", "Command4", "Maintenance", false, true, {}},
    {"", "Command6", "Blackmark Read", false, true, {}},
    {"", "Command7", "Blackmark Write Disable", false, true, {}},
    {"", "Command8", "Blackmark Write Enable", false, true, {}},
    {"", "Command10", "Erase MCU  (Internal Flash)", false, true, {}},
    {"", "Command9", "Erase Font-ROM (External Flash)", false, true, {}},
    {"", "Command11", "Factory Initialize", true, true, {}},
    {"firmware-recovery", "Command5", "Firmware Recovery (Restart)", true, false,
     detail::kRecovery},
}};

// Below and to the left of the column, top to bottom.
inline constexpr std::array<CommandButton, 3> kPaperButtons{{
    {"feed", "Command14", "Feeding", true, false, detail::kFeed},
    {"cut", "Command15", "Cutting", true, false, detail::kCutting},
    {"test-pattern", "Command16", "Print Test Pattern", true, false, detail::kTestPattern},
}};

// Wireless module column, top to bottom; the mode is the command's parameter.
struct WirelessButton {
    std::string_view name;
    std::string_view control;
    std::string_view designCaption;  // before a model profile relabels it
    std::uint8_t mode;
    std::span<const CommandCall> calls;
};
inline constexpr std::array<WirelessButton, 4> kWirelessColumn{{
    {"wifi-ap", "Command17", "ESP32 WiFi      Soft AP", 0, detail::kWireless<0>},
    {"wifi-station", "Command18", "ESP32 WiFi Station", 1, detail::kWireless<1>},
    {"bluetooth", "Command19", "ESP32 Bluetooth Classic", 2, detail::kWireless<2>},
    {"bluetooth-ble", "Command21", "ESP32 Bluetooth Classic+BLE", 3, detail::kWireless<3>},
}};

}  // namespace tessra::commands
