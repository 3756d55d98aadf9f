#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "models/Profiles.h"
#include "settings/OptionPanel.h"
#include "settings/SettingsBlock.h"

namespace tessra::settings {

// A settings file keeps one configuration of the thirteen groups as text a
// person can read, edit and diff:
//
//   tessra-settings 1
//   # comments and blank lines anywhere after the first line
//   Baudrate = 9600 bps        (frame caption = member caption or index)
//   ...                        (every group exactly once, in any order)
//   block = 00 02 01 00        (optional, for reference only)
//
// Names match ignoring case and surrounding blanks. The captions are the
// option tables' own, also where a model relabels them in the window, unless
// the file names the model it was written for:
//
//   model = Velda              (optional, once, anywhere after the first line)
//
// Then member captions are read as that model's window shows them (under
// Velda "Paper Type = PD160R-63" is the third paper, not the fifth), and a
// member the model hides is given by its index only.
inline constexpr std::string_view kSettingsFileVersionLine = "tessra-settings 1";

struct SettingsFileError {
    int line;             // counted from 1
    std::string message;  // without the line number
};

struct SettingsFileResult {
    Selections selections{};  // every group, unless there is an error
    Block block{};            // built from the selections
    // Told to the user even when the file is read, e.g. a block line that
    // disagrees with the groups.
    std::vector<std::string> notes;
    std::optional<models::Model> model;      // when the file names one
    std::optional<SettingsFileError> error;  // then nothing else is set
};

// The file for these selections, or nothing when a group has no selection or
// one that names no member. With a model the file names it and uses its captions.
std::optional<std::string> formatSettingsFile(const Selections& selections,
                                              std::optional<models::Model> model = std::nullopt);

// A file means exactly one block or is refused with its first fault.
SettingsFileResult parseSettingsFile(std::string_view text);

}  // namespace tessra::settings
