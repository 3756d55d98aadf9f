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

// The same escapes without a cut, for a value shown whole (a ledger row, an
// event line).
std::string shownText(std::string_view text);

// One CSV field that a spreadsheet reads as text: controls escaped as in
// shownText, a leading = + - or @ (which would start a formula) behind a
// single quote, and quoted as RFC 4180 asks when it holds a comma or a quote.
std::string csvField(std::string_view text);

// A JSON string, quotes included, with every control character (C0, DEL
// and C1) as \u00XX, so that no JSON line can drive a terminal.
std::string jsonString(std::string_view text);

// The same for a document another writer made (Qt leaves DEL and C1 raw):
// those code points, which only occur inside strings, become \u00XX.
std::string jsonControlsEscaped(std::string_view json);

}  // namespace tessra
