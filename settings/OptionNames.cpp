#include "settings/OptionNames.h"

#include <charconv>
#include <optional>

#include "settings/TextMatch.h"

namespace tessra::settings {

namespace {

std::optional<int> decimal(std::string_view s) {
    int value = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (s.empty() || s.front() == '-' || ec != std::errc{} || end != s.data() + s.size())
        return std::nullopt;
    return value;
}

std::string hexByte(std::uint8_t byte) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    return {kDigits[byte >> 4], kDigits[byte & 0x0F]};
}

}  // namespace

NameMatch<OptionGroup> findGroupByName(std::string_view frameCaption) {
    const std::string_view wanted = trimBlanks(frameCaption);
    NameMatch<OptionGroup> match;
    for (const OptionGroup& g : kOptionGroups) {
        if (equalIgnoringCase(g.frameCaption, wanted)) {
            match.found = &g;
            return match;
        }
    }
    for (const OptionGroup& g : kOptionGroups) match.choices.emplace_back(g.frameCaption);
    return match;
}

NameMatch<Member> findMemberByName(Group group, std::string_view captionOrIndex) {
    const std::string_view wanted = trimBlanks(captionOrIndex);
    NameMatch<Member> match;
    const auto members = optionGroup(group).members;
    // Captions first: no caption is a bare number, but a caption must never
    // lose to another member's index.
    for (const Member& m : members) {
        if (equalIgnoringCase(m.caption, wanted)) {
            match.found = &m;
            return match;
        }
    }
    if (const auto index = decimal(wanted)) {
        if ((match.found = findMember(group, *index))) return match;
    }
    for (const Member& m : members)
        match.choices.push_back(std::string(m.caption) + " (" + std::to_string(m.index) + ")");
    return match;
}

std::string joinChoices(const std::vector<std::string>& choices) {
    std::string text;
    for (const std::string& c : choices) {
        if (!text.empty()) text += ", ";
        text += c;
    }
    return text;
}

std::string groupLine(const OptionGroup& group, const Member& member) {
    return std::string(group.frameCaption) + " = " + std::string(member.caption);
}

std::vector<std::string> blockGroupLines(const Block& block) {
    std::vector<std::string> lines;
    for (const OptionGroup& g : kOptionGroups) {
        const auto field =
            static_cast<std::uint8_t>(block[static_cast<std::size_t>(g.byte)] & g.mask);
        if (const Member* m = memberForField(g.group, field)) {
            lines.push_back(groupLine(g, *m));
        } else {
            lines.push_back(std::string(g.frameCaption) + " = unassigned " + hexByte(field));
        }
    }
    return lines;
}

std::string blockHex(const Block& block) {
    std::string text;
    for (const std::uint8_t b : block) {
        if (!text.empty()) text += ' ';
        text += hexByte(b);
    }
    return text;
}

}  // namespace tessra::settings
