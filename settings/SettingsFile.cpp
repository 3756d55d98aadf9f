#include "settings/SettingsFile.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <utility>

#include "link/QuotedText.h"
#include "settings/OptionNames.h"
#include "settings/TextMatch.h"

namespace tessra::settings {

namespace {

constexpr std::string_view kBlockKey = "block";
constexpr std::string_view kModelKey = "model";
constexpr std::string_view kVersionPrefix = "tessra-settings ";
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

constexpr std::string_view kHeader =
    "# Tessra Printer Utility settings: one group per line, \"group = member\";\n"
    "# a member may also be given by its index. Print Speed and Paper Type keep\n"
    "# these captions even for a model whose window shows others.\n"
    "# The block line is for reference only: the groups decide.\n";

constexpr std::string_view kModelHeader =
    "# Tessra Printer Utility settings: one group per line, \"group = member\";\n"
    "# a member may also be given by its index. Captions are the named model's.\n"
    "# The block line is for reference only: the groups decide.\n";

// The caption the model's window shows for a member, nothing when it hides
// it; the table's own without a model.
std::optional<std::string_view> shownCaption(std::optional<models::Model> model,
                                             const OptionGroup& g, const Member& m) {
    if (!model) return m.caption;
    const std::string control = std::string(g.name) + "_" + std::to_string(m.index);
    std::optional<std::string_view> caption = m.caption;
    for (const models::Assignment& a : models::profile(*model)) {
        if (a.control != control) continue;
        if (a.kind == models::Assignment::Kind::Caption) caption = a.caption;
        if (a.kind == models::Assignment::Kind::Visible && !a.flag) return std::nullopt;
    }
    return caption;
}

bool allDigits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A member by the caption the model shows, or by its index.
NameMatch<Member> findShownMember(std::optional<models::Model> model, const OptionGroup& g,
                                  std::string_view value) {
    if (!model) return findMemberByName(g.group, value);
    const std::string_view wanted = trimBlanks(value);
    NameMatch<Member> match;
    for (const Member& m : g.members) {
        const auto caption = shownCaption(model, g, m);
        if (caption && equalIgnoringCase(*caption, wanted)) {
            match.found = &m;
            return match;
        }
    }
    if (allDigits(wanted)) return findMemberByName(g.group, wanted);
    for (const Member& m : g.members)
        match.choices.push_back(std::string(shownCaption(model, g, m).value_or("(hidden)")) + " (" +
                                std::to_string(m.index) + ")");
    return match;
}

constexpr std::size_t at(Group g) {
    return static_cast<std::size_t>(g);
}

// Quotes the file's text cut and escaped: a refused file must not flood or
// steer the terminal.
std::string quoted(std::string_view s) {
    return "\"" + quotedInput(s) + "\"";
}

std::optional<Block> parseHexBlock(std::string_view text) {
    Block block{};
    std::size_t count = 0;
    for (text = trimBlanks(text); !text.empty(); text = trimBlanks(text)) {
        const std::string_view word = text.substr(0, text.find_first_of(" \t"));
        unsigned value = 0;
        const auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), value, 16);
        if (count == block.size() || word.size() != 2 || ec != std::errc{} ||
            end != word.data() + word.size())
            return std::nullopt;
        block[count++] = static_cast<std::uint8_t>(value);
        text.remove_prefix(word.size());
    }
    if (count != block.size()) return std::nullopt;
    return block;
}

std::optional<SettingsFileError> versionFault(std::string_view firstLine) {
    const std::string_view line = trimBlanks(firstLine);
    if (line == kSettingsFileVersionLine) return std::nullopt;
    if (line.starts_with(kVersionPrefix)) {
        // Any blanks may part the name and the version.
        if (trimBlanks(line.substr(kVersionPrefix.size())) ==
            kSettingsFileVersionLine.substr(kVersionPrefix.size()))
            return std::nullopt;
        return SettingsFileError{
            1, "version " + quoted(trimBlanks(line.substr(kVersionPrefix.size()))) +
                   " is not supported; this reader knows " + quoted(kSettingsFileVersionLine)};
    }
    return SettingsFileError{
        1, "not a settings file: the first line must be " + quoted(kSettingsFileVersionLine)};
}

// Reads the lines after the version line, one at a time.
class Reader {
public:
    explicit Reader(std::optional<models::Model> model) : model_(model) {}

    std::optional<SettingsFileError> readLine(int number, std::string_view line) {
        const std::string_view content = trimBlanks(line);
        if (content.empty() || content.starts_with('#')) return std::nullopt;
        const auto equals = content.find('=');
        if (equals == std::string_view::npos) {
            return SettingsFileError{number,
                                     "expected \"group = member\", \"block = 00 02 01 00\", "
                                     "a comment starting with # or a blank line"};
        }
        const std::string_view key = trimBlanks(content.substr(0, equals));
        const std::string_view value = content.substr(equals + 1);
        if (equalIgnoringCase(key, kBlockKey)) return readBlock(number, value);
        if (equalIgnoringCase(key, kModelKey)) return std::nullopt;  // read before the groups
        return readGroup(number, key, value);
    }

    std::optional<SettingsFileError> missingGroups(int lastLine) const {
        std::vector<std::string> missing;
        for (const OptionGroup& g : kOptionGroups)
            if (givenOn_[at(g.group)] == 0) missing.emplace_back(g.frameCaption);
        if (missing.empty()) return std::nullopt;
        return SettingsFileError{lastLine, "missing groups: " + joinChoices(missing) +
                                               "; every group must be given once"};
    }

    const Selections& selections() const { return selections_; }

    // The block line's bytes and where they were given, if they were.
    std::optional<std::pair<int, Block>> blockLine() const {
        if (blockLineNumber_ == 0) return std::nullopt;
        return std::pair{blockLineNumber_, hexBlock_};
    }

private:
    std::optional<SettingsFileError> readBlock(int number, std::string_view value) {
        if (blockLineNumber_ != 0) {
            return SettingsFileError{number, "block is given again (first on line " +
                                                 std::to_string(blockLineNumber_) + ")"};
        }
        const auto block = parseHexBlock(value);
        if (!block) {
            return SettingsFileError{
                number, "block must be four two-digit hex bytes, like \"00 02 01 00\""};
        }
        blockLineNumber_ = number;
        hexBlock_ = *block;
        return std::nullopt;
    }

    std::optional<SettingsFileError> readGroup(int number, std::string_view key,
                                               std::string_view value) {
        const auto group = findGroupByName(key);
        if (!group.found) {
            return SettingsFileError{number, "unknown group " + quoted(key) +
                                                 "; valid groups: " + joinChoices(group.choices)};
        }
        const OptionGroup& g = *group.found;
        int& givenOn = givenOn_[at(g.group)];
        if (givenOn != 0) {
            return SettingsFileError{number, quoted(g.frameCaption) +
                                                 " is given again (first on line " +
                                                 std::to_string(givenOn) + ")"};
        }
        const auto member = findShownMember(model_, g, value);
        if (!member.found) {
            return SettingsFileError{number, quoted(g.frameCaption) + " has no member " +
                                                 quoted(trimBlanks(value)) +
                                                 "; valid members: " + joinChoices(member.choices)};
        }
        givenOn = number;
        selections_[at(g.group)] = member.found->index;
        return std::nullopt;
    }

    std::optional<models::Model> model_;
    Selections selections_{};
    std::array<int, kGroupCount> givenOn_{};  // 0 while not given
    int blockLineNumber_ = 0;
    Block hexBlock_{};
};

struct ModelLine {
    std::optional<models::Model> model;
    std::optional<SettingsFileError> error;
};

// The model line, looked for before the groups are read since it decides
// how their captions read.
ModelLine findModel(std::string_view text) {
    ModelLine found;
    int number = 0, givenOn = 0;
    for (std::string_view rest = text; !rest.empty();) {
        const auto newline = rest.find('\n');
        const std::string_view line = trimBlanks(rest.substr(0, newline));
        rest.remove_prefix(newline == std::string_view::npos ? rest.size() : newline + 1);
        const auto equals = line.find('=');
        if (++number == 1 || line.starts_with('#') || equals == std::string_view::npos ||
            !equalIgnoringCase(trimBlanks(line.substr(0, equals)), kModelKey))
            continue;
        if (givenOn != 0)
            return {{},
                    SettingsFileError{number, "model is given again (first on line " +
                                                  std::to_string(givenOn) + ")"}};
        givenOn = number;
        const std::string_view name = trimBlanks(line.substr(equals + 1));
        const auto known = std::find_if(
            models::kModelCaptions.begin(), models::kModelCaptions.end(),
            [&](std::string_view caption) { return equalIgnoringCase(caption, name); });
        if (known == models::kModelCaptions.end())
            return {{},
                    SettingsFileError{
                        number, "unknown model " + quoted(name) + "; valid models: Orrin, Velda"}};
        found.model = static_cast<models::Model>(known - models::kModelCaptions.begin());
    }
    return found;
}

SettingsFileResult refused(SettingsFileError error) {
    SettingsFileResult result;
    result.error = std::move(error);
    return result;
}

}  // namespace

std::optional<std::string> formatSettingsFile(const Selections& selections,
                                              std::optional<models::Model> model) {
    std::string text =
        std::string(kSettingsFileVersionLine) + "\n" + std::string(model ? kModelHeader : kHeader);
    if (model)
        text += std::string(kModelKey) + " = " +
                std::string(models::kModelCaptions[static_cast<std::size_t>(*model)]) + "\n";
    for (const OptionGroup& g : kOptionGroups) {
        const auto& index = selections[at(g.group)];
        const Member* member = index ? findMember(g.group, *index) : nullptr;
        if (!member) return std::nullopt;
        if (!model) {
            text += groupLine(g, *member) + "\n";
            continue;
        }
        const auto caption = shownCaption(model, g, *member);
        text += std::string(g.frameCaption) + " = " +
                (caption ? std::string(*caption) : std::to_string(member->index)) + "\n";
    }
    Block block{};
    buildBlock(selections, block);
    text += std::string(kBlockKey) + " = " + blockHex(block) + "\n";
    return text;
}

SettingsFileResult parseSettingsFile(std::string_view text) {
    if (text.starts_with(kUtf8Bom)) text.remove_prefix(kUtf8Bom.size());
    const ModelLine model = findModel(text);
    if (model.error && !versionFault(text.substr(0, text.find('\n')))) return refused(*model.error);
    Reader reader(model.model);
    int number = 0;
    while (!text.empty() || number == 0) {
        const auto newline = text.find('\n');
        const std::string_view line = text.substr(0, newline);
        text.remove_prefix(newline == std::string_view::npos ? text.size() : newline + 1);
        ++number;
        const auto fault = number == 1 ? versionFault(line) : reader.readLine(number, line);
        if (fault) return refused(*fault);
    }
    if (const auto fault = reader.missingGroups(number)) return refused(*fault);

    SettingsFileResult result;
    result.model = model.model;
    result.selections = reader.selections();
    buildBlock(result.selections, result.block);
    if (const auto given = reader.blockLine(); given && given->second != result.block) {
        result.notes.push_back("line " + std::to_string(given->first) + ": the block line says " +
                               blockHex(given->second) + " but the groups give " +
                               blockHex(result.block) + "; the groups are used");
    }
    return result;
}

}  // namespace tessra::settings
