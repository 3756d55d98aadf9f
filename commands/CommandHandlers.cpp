#include "commands/CommandHandlers.h"

#include <algorithm>

namespace tessra::commands {

namespace {
template <class Visit>
void forEachCommand(Visit visit) {
    for (const auto& b : kMaintenanceColumn)
        if (!b.name.empty()) visit(b.name, b.calls);
    for (const auto& b : kPaperButtons) visit(b.name, b.calls);
    for (const auto& w : kWirelessColumn) visit(w.name, w.calls);
}
}  // namespace

std::vector<std::string_view> commandNames() {
    std::vector<std::string_view> names;
    forEachCommand([&](std::string_view name, auto) { names.push_back(name); });
    return names;
}

std::optional<std::span<const CommandCall>> callsOf(std::string_view name) {
    std::optional<std::span<const CommandCall>> found;
    forEachCommand([&](std::string_view n, std::span<const CommandCall> calls) {
        if (!found && !name.empty() && n == name) found = calls;
    });
    return found;
}

std::string_view wirelessCommandName(std::uint8_t mode) {
    const auto at = std::ranges::find(kWirelessColumn, mode, &WirelessButton::mode);
    return at == kWirelessColumn.end() ? std::string_view() : at->name;
}

}  // namespace tessra::commands
