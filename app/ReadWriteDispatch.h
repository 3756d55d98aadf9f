#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "app/SettingsTransaction.h"
#include "printer/LinkPrinter.h"
#include "settings/SettingsTexts.h"

namespace tessra {

// The Read (0) and Write (1) buttons of the cmdSelPage array.
class ReadWriteButtons {
public:
    virtual ~ReadWriteButtons() = default;
    virtual bool isEnabled(int index) const = 0;
    virtual void setEnabled(int index, bool on) = 0;
    virtual void setFocus(int index) = 0;
};

inline constexpr int kReadButton = 0;
inline constexpr int kWriteButton = 1;

// Per button: the transaction kind and the text the printer prints when done.
struct SettingsTransaction {
    int kind;
    std::string_view confirmation;
};
inline constexpr SettingsTransaction kReadTransaction{kReadSettings, kReadConfirmation};
inline constexpr SettingsTransaction kWriteTransaction{kWriteSettings, kWriteConfirmation};

struct ReadWriteDispatch {
    ReadWriteButtons& cmdSelPage;
    bool& mblnReady;
    printer::LinkPrinter& printer;
    // Runs the settings exchange with the kind and the confirmation text.
    std::function<void(int& kind, std::string& message)> Comm_Setting;
};

// Click handler of both buttons: one settings transaction at a time; a click
// that arrives while one runs, or while another port operation is in flight,
// is dropped.
void cmdSelPage_Click(ReadWriteDispatch& dispatch, int Index);

}  // namespace tessra
