#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <string_view>

#include "identity/MacAddress.h"
#include "protocol/ServiceCommands.h"

namespace tessra::identity {

using protocol::serviceBuffer;

inline constexpr std::string_view kLevel1Password = "Kovak";

// The MAC save's password check: exact, case and blanks included.
constexpr bool isLevel1Password(std::string_view typed) {
    return typed == kLevel1Password;
}

// Written in one write, nothing after it.
inline constexpr auto kMacReadRequest = protocol::serviceFrame(protocol::ServiceCode::MacRead);
inline constexpr std::size_t kMacReplyLength = 6;

// MAC write, three sendCommand calls: the header (count 5, mode 0), the
// password (count 6, mode 0) and the address (count 7, mode 1).
inline constexpr auto kMacWriteHeader = serviceBuffer<6>(protocol::ServiceCode::MacWrite);
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
    serviceBuffer<6>(protocol::ServiceCode::CustomerCodeRead);

// Customer code write: six bytes, sendCommand count 6 mode 1 (the whole buffer).
constexpr std::array<std::uint8_t, 6> customerCodeWrite(std::uint8_t code) {
    return serviceBuffer<6>(protocol::ServiceCode::CustomerCodeWrite, {code});
}
inline constexpr int kCustomerCodeWriteCount = 6;

}  // namespace tessra::identity
