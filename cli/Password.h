#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tessra::cli {

inline constexpr char kPasswordVariable[] = "TESSRA_PASSWORD";

// TESSRA_PASSWORD when set; else, when stdin is a terminal, the password
// typed there without echo after the prompt on stderr; else nothing.
std::optional<std::string> passwordFromEnvironmentOrTerminal(std::string_view prompt);

}  // namespace tessra::cli
