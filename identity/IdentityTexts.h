#pragma once

#include <string_view>

namespace tessra::identity {

inline constexpr std::string_view kPasswordPrompt = "Input level1 password : ";
inline constexpr std::string_view kPasswordTitle = "Supervisor Password";
inline constexpr std::string_view kInvalidPasswordMessage = "Invalid Level1 Password";
inline constexpr std::string_view kMaximumMessage = "The maximum value has been reached.";
inline constexpr std::string_view kCustomerCodeRangeMessage = "Customer Code : 1 ~ 255";

}  // namespace tessra::identity
