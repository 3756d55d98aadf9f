#pragma once

#include <array>

#include "link/ProgramUsage.h"

namespace tessra::app {

inline constexpr std::array<VariableUsage, 2> kUtilityEnvironment{{
    {"TESSRA_COMn",
     "the device that port entry COMn opens (n = 1 to 10), e.g. TESSRA_COM1=/dev/ttyUSB0; wins "
     "over the mapping saved in Tools > Ports..., which wins over /dev/ttyS(n-1)"},
    {"TESSRA_LEDGER",
     "the MAC address ledger that records every MAC Address Save: an SQLite file or "
     "postgresql://...; default ~/.local/share/tessra/ledger.sqlite"},
}};

inline constexpr std::array<SectionUsage, 2> kUtilitySections{{
    {"FILES",
     "`~/.config/Tessra/tessra-printer-utility.conf`: the port mapping and the traffic view's "
     "height.\n\n"
     "`/usr/lib/udev/rules.d/70-tessra-*.rules`: ModemManager, uaccess and FTDI latency "
     "settings for USB-serial adapters."},
    {"NOTES",
     "To open a serial port the user must be in the group dialout, or be logged in at the seat "
     "where the adapter is plugged in (the uaccess rule). See the Troubleshooting section of "
     "README.md."},
}};

inline constexpr ProgramUsage kUtilityUsage{
    "tessra-printer-utility",
    "configure Tessra thermal receipt printers over a serial port",
    "[--help] [--version]",
    "Configures Tessra thermal receipt printers over a serial port: the settings block, "
    "maintenance commands, the wireless module, the MAC address and the customer code. Opens "
    "the window; takes no other arguments.\n\n"
    "From the window the user reads and writes the printer's settings block, finds its speed and "
    "parity, sends maintenance commands (self-test, sample font, hex dump, feed, cut, test "
    "patterns, firmware recovery), switches the wireless module, and programs the Ethernet MAC "
    "address and the customer code.\n\n"
    "The port list offers COM1 to COM10; Tools > Ports... maps each entry to a device, for "
    "example a stable name under `/dev/serial/by-path`. View > Traffic shows every byte sent and "
    "received. File > Quit (Ctrl+Q) closes the window. When a port cannot be opened, the status "
    "bar keeps the reason and what to do about it until the next operation.",
    kWindowOptions,
    {},
    kUtilityEnvironment,
    kUtilitySections,
};

}  // namespace tessra::app
