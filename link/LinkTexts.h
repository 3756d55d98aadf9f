#pragma once

#include <string_view>

namespace tessra {

// Message boxes carry this title unless they name another.
inline constexpr std::string_view kApplicationTitle = "Project1";
// The one time-out text, whatever the wait's real length.
inline constexpr std::string_view kTimeoutMessage = "Communication Error.(5 Sec Time out)";
inline constexpr std::string_view kPortErrorMessage = "Port Error";

}  // namespace tessra
