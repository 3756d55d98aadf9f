#pragma once

#include <array>
#include <string_view>

namespace tessra::app {

// Captions and texts of the window that no other table holds.
inline constexpr std::string_view kWindowTitle = "Tessra Printer Utility (v2.03) - Kestrow";

inline constexpr std::string_view kInterfaceFrame = "Interface";
inline constexpr std::array<std::string_view, 3> kInterfaces{"COM", "USB", "Ethernet"};
inline constexpr int kComInterface = 0;
inline constexpr std::string_view kPortLabel = "Port List :";
inline constexpr std::string_view kSpeedLabel = "COM Speed :";
inline constexpr std::string_view kParityLabel = "Parity :";

inline constexpr std::string_view kReadMethodFrame = "Read_Method";
inline constexpr std::array<std::string_view, 2> kReadMethods{"Manual", "Auto"};
inline constexpr std::string_view kIpAddressFrame = "IP Address";

inline constexpr std::array<std::string_view, 2> kReadWriteButtons{"Read", "Write"};

inline constexpr std::string_view kCustomerCodeFrame = "Customer Code";
inline constexpr std::string_view kCustomerCodeText = "000";
inline constexpr std::array<std::string_view, 2> kCustomerCodeButtons{"Customer Code Read",
                                                                      "Customer Code Write"};

inline constexpr std::string_view kMacLoadButton = "MAC Address Load";
inline constexpr std::string_view kMacSaveButton = "MAC Address Save";
inline constexpr std::string_view kAutoIncrementLabel = "Auto Increment";
inline constexpr std::string_view kReadBackText = "00";

inline constexpr std::string_view kNoticeEnglish =
    "Use of the program is strictly limited for in-house development and production and is "
    "prohibited from distribution.";
inline constexpr std::string_view kNoticeKorean =
    "프로그램의 사용은 사내 개발 및 생산용으로 엄격하게 제한하며, 배포를 금지합니다.";

}  // namespace tessra::app
