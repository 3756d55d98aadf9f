#pragma once

#include <optional>
#include <string>

namespace tessra::cli {

// The whole file, or nothing with the reason in error.
std::optional<std::string> readTextFile(const std::string& path, std::string& error);
// Replaces the file in one step; false with the reason in error.
bool writeTextFile(const std::string& path, const std::string& text, std::string& error);

}  // namespace tessra::cli
