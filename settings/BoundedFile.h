#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace tessra::settings {

// Settings files and recipes are small; anything larger is no such file.
inline constexpr std::size_t kMaxInputFileBytes = 1024 * 1024;

// The whole of a regular file of at most `limit` bytes, or nothing with the
// reason in error (without the path). A FIFO, a device or a folder is refused
// before it is opened for reading, so none blocks the caller, sends a serial
// line's control signals or streams without end; the open does not block
// either, should the path turn into one meanwhile.
std::optional<std::string> readBoundedFile(const std::string& path, std::string& error,
                                           std::size_t limit = kMaxInputFileBytes);

}  // namespace tessra::settings
