#include "app/ReadWriteDispatch.h"

namespace tessra {

void cmdSelPage_Click(ReadWriteDispatch& d, int Index) {
    if (Index != kReadButton && Index != kWriteButton) return;
    ReadWriteButtons& buttons = d.cmdSelPage;
    if (!buttons.isEnabled(kReadButton)) return;
    if (!buttons.isEnabled(kWriteButton)) return;
    if (!d.mblnReady) return;
    d.mblnReady = false;

    buttons.setEnabled(Index, false);
    buttons.setEnabled(kReadButton, false);
    buttons.setEnabled(kWriteButton, false);

    const SettingsTransaction& t = Index == kReadButton ? kReadTransaction : kWriteTransaction;
    int kind = t.kind;
    std::string message(t.confirmation);
    // Another port operation may be waiting for DSR: then nothing is sent.
    if (!d.printer.inOneOperation([&] { d.Comm_Setting(kind, message); })) d.mblnReady = true;

    buttons.setEnabled(Index, true);
    buttons.setEnabled(kReadButton, true);
    buttons.setEnabled(kWriteButton, true);
    buttons.setFocus(Index);
}

}  // namespace tessra
