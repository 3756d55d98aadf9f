#pragma once

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <initializer_list>
#include <string_view>

#include "MacAddress.h"
#include "ServiceCommands.h"

namespace tessra::identity {

namespace timing {
using namespace std::chrono_literals;
// How long the MAC and customer code reads wait for their reply.
inline constexpr std::chrono::milliseconds kReplyWait = 5000ms;
}  // namespace timing

inline constexpr std::string_view kLevel1Password = "Kovak";

// A service frame followed by the given parameter bytes and trailing zeros.
template <std::size_t N>
constexpr std::array<std::uint8_t, N> serviceBuffer(
    commands::ServiceCode code, std::initializer_list<std::uint8_t> params = {}) {
    std::array<std::uint8_t, N> buffer{};
    const auto frame = commands::serviceFrame(code);
    std::copy(frame.begin(), frame.end(), buffer.begin());
    std::copy(params.begin(), params.end(), buffer.begin() + frame.size());
    return buffer;
}

// Written in one write, nothing after it.
inline constexpr auto kMacReadRequest = commands::serviceFrame(commands::ServiceCode::MacRead);
inline constexpr std::size_t kMacReplyLength = 6;

// MAC write, three Send_Data calls: the header (count 5, mode 0), the
// password (count 6, mode 0) and the address (count 7, mode 1).
inline constexpr auto kMacWriteHeader = serviceBuffer<6>(commands::ServiceCode::MacWrite);
inline constexpr int kMacWriteHeaderCount = 5;

inline constexpr std::array<std::uint8_t, 7> kMacWritePassword = [] {
    std::array<std::uint8_t, 7> buffer{};
    std::copy(kLevel1Password.begin(), kLevel1Password.end(), buffer.begin());
    return buffer;
}();
inline constexpr int kMacWritePasswordCount = 6;

constexpr std::array<std::uint8_t, 8> macWriteAddress(MacOctets address) {
    return {kMacPrefix[0], kMacPrefix[1], kMacPrefix[2], address.mac4,
            address.mac5,  address.mac6,  0x00,          0x00};
}
inline constexpr int kMacWriteAddressCount = 7;

// Customer code read: the code and one 00, in one write; the reply is one byte.
inline constexpr auto kCustomerCodeReadRequest =
    serviceBuffer<6>(commands::ServiceCode::CustomerCodeRead);

// Customer code write: six bytes, Send_Data count 6 mode 1 (the whole buffer).
constexpr std::array<std::uint8_t, 6> customerCodeWrite(std::uint8_t code) {
    return serviceBuffer<6>(commands::ServiceCode::CustomerCodeWrite, {code});
}
inline constexpr int kCustomerCodeWriteCount = 6;

}  // namespace tessra::identity
