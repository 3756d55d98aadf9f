#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tessra {

// About this many characters of a quoted input reach a message.
inline constexpr std::size_t kQuotedInputLimit = 80;

// Text that came from outside (a file line, an argument, a location, a reply)
// as a message may quote it: cut to about `limit` characters, with "..."
// after a cut, so a hostile input cannot flood the terminal; control
// characters, broken UTF-8 and the characters that reorder text shown as
// escapes (\n, \t, \x1B, \u202E), so none reaches the terminal as itself.
std::string quotedInput(std::string_view text, std::size_t limit = kQuotedInputLimit);

}  // namespace tessra
