#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "settings/OptionTables.h"
#include "settings/SettingsBlock.h"

namespace tessra::settings {

// A name looked up in the option tables: what it names, or else every name
// that would have been accepted, for the message.
template <class T>
struct NameMatch {
    const T* found = nullptr;
    std::vector<std::string> choices;  // only when nothing was found
};

// Group by its frame caption, ignoring case and surrounding blanks. The
// choices are the frame captions in table order.
NameMatch<OptionGroup> findGroupByName(std::string_view frameCaption);

// Member of a group by its caption, ignoring case and surrounding blanks, or
// by its index in decimal. The choices read "caption (index)".
NameMatch<Member> findMemberByName(Group group, std::string_view captionOrIndex);

// "a, b, c" for a message.
std::string joinChoices(const std::vector<std::string>& choices);

// "Frame Caption = Member Caption": one group as a settings file and a
// listing show it.
std::string groupLine(const OptionGroup& group, const Member& member);

// One line per group in table order. A field that names no member reads
// "Frame Caption = unassigned 07" (the field in hex, in its bit position).
std::vector<std::string> blockGroupLines(const Block& block);

// "00 02 01 00": upper-case, two digits, one blank between bytes.
std::string blockHex(const Block& block);

}  // namespace tessra::settings
