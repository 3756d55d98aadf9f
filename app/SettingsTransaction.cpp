#include "app/SettingsTransaction.h"

#include "link/LinkTexts.h"
#include "settings/ReadSetting.h"

namespace tessra {

namespace {

using printer::FailureKind;

// The port failed or the window is closing: that has been shown, and the
// transaction goes no further.
bool endsTheRead(const printer::Failure& failure) {
    return failure.kind != FailureKind::NoReply && failure.kind != FailureKind::ReplyRejected;
}

void read(SettingsContext& c, std::string_view message) {
    printer::LinkPrinter& printer = c.printer;
    PrinterLink& link = printer.link();
    std::optional<printer::Outcome<printer::SettingsBlock>> block;
    if (c.readMethod == kAutoReadMember) {
        const auto found = printer.find();
        // No answer at any speed has been shown by the search itself.
        if (!found && endsTheRead(found.failure())) return;
        if (found) block = printer.readBlock();
    } else if (c.readMethod == kManualReadMember) {
        block = printer.readBlock();
        if (!*block && endsTheRead(block->failure())) return;
    }
    if (block) {
        if (!*block || !settings::selectFromReply(block->value(), c.options)) {
            link.op().message(kTimeoutMessage);
            block.reset();
        }
        link.processEvents();
    }
    if (link.stopping()) return;  // closing: no confirmation either
    if (block) printer.confirmRead(message);
}

void write(SettingsContext& c, std::string_view message) {
    settings::Block block = c.block;
    settings::buildBlock(settings::currentSelections(c.options), block);
    const auto written = c.printer.writeBlock(block, message);
    // Built once the port has opened, as the window always has.
    if (written || written.failure().kind != FailureKind::PortUnavailable) c.block = block;
}

}  // namespace

void Comm_Setting(SettingsContext& context, int mode, std::string_view message) {
    if (mode == kWriteSettings) {
        write(context, message);
    } else if (mode == kReadSettings) {
        read(context, message);
    }
    context.ready = true;
}

}  // namespace tessra
