#pragma once

#include <cstdint>
#include <functional>
#include <utility>

#include "app/MacView.h"
#include "identity/MacAddress.h"
#include "printer/LinkPrinter.h"

namespace tessra::app {

// Window state of the MAC address rows; the window owns it for the run.
struct MacRows {
    std::uint8_t mbytMac4 = 0;
    std::uint8_t mbytMac5 = 0;
    std::uint8_t mbytMac6 = 0;
    bool mblnLevel1Passed = false;
    // The last address of the range has been written; saves are refused
    // until a spinner moves.
    bool mblnMacMaximum = false;
};

// Handlers of the MAC address load and save rows.
class MacAddressFrame {
public:
    MacAddressFrame(printer::LinkPrinter& printer, MacRows& state, MacView& view);

    // "MAC Address Load": reads the printer's address into Text7 to Text12.
    void Command12_Click();
    // "MAC Address Save": password, the three write commands, auto increment.
    void Command13_Click();

    // Spinner changes (value 0 to 255).
    void VScroll1_Change(int value);
    void VScroll2_Change(int value);
    void VScroll3_Change(int value);
    // Text4 to Text6 changes: the spinner follows the stored octet.
    void Text4_Change();
    void Text5_Change();
    void Text6_Change();

    // Told the address of every save once its three commands have been sent,
    // e.g. to keep a record of the addresses handed out.
    using AddressWritten = std::function<void(identity::MacOctets written)>;
    void onAddressWritten(AddressWritten observer) { addressWritten_ = std::move(observer); }

private:
    bool passwordAccepted();
    void autoIncrement(identity::MacOctets written);
    void spinnerChanged(int octet, int value);
    void showOctet(int octet);
    std::uint8_t& member(int octet);
    identity::MacOctets address() const;

    printer::LinkPrinter& printer_;
    PrinterLink& link_;
    MacRows& state_;
    MacView& view_;
    AddressWritten addressWritten_;
};

}  // namespace tessra::app
