#pragma once

#include <QString>
#include <optional>
#include <string>

namespace tessra::recipe {

// The largest recipe or settings file read: far more than any real one.
inline constexpr long kMaxTextFileBytes = 1 << 20;

// The whole of a small regular file, or nothing with why in `why` ("no such
// file", "not a regular file", "larger than 1 MiB"). Never blocks on a FIFO
// or a device: those are refused before a byte is read.
std::optional<std::string> readTextFile(const QString& path, QString& why);

}  // namespace tessra::recipe
