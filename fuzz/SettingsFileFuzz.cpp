// libFuzzer target: a settings file is refused with a short, clean message,
// or means exactly the block its groups build, and writing it out reads the
// same again.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "FuzzCheck.h"
#include "settings/OptionTables.h"
#include "settings/SettingsBlock.h"
#include "settings/SettingsFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tessra::settings;
    using tessra::fuzz::check;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const SettingsFileResult file = parseSettingsFile(text);
    if (file.error) {
        check(file.error->line >= 1, "the fault names a line");
        check(tessra::fuzz::fitForTerminal(file.error->message, 2000), "the message is clean");
        return 0;
    }
    for (const OptionGroup& g : kOptionGroups)
        check(findMember(g.group, file.selections[static_cast<std::size_t>(g.group)].value_or(-1)),
              "every group has a member");
    Block built{};
    buildBlock(file.selections, built);
    check(built == file.block, "the block is the one the groups build");
    check(decodeBlock(file.block).select == file.selections, "the block decodes to the groups");
    const auto written = formatSettingsFile(file.selections);
    check(written.has_value(), "accepted groups can be written");
    const SettingsFileResult again = parseSettingsFile(*written);
    check(!again.error && again.selections == file.selections && again.notes.empty(),
          "a written file reads the same");
    return 0;
}
