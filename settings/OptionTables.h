#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace tessra::settings {

// The thirteen option groups, in the order the block is built: the first
// group of each byte stores its value, the later ones add theirs.
enum class Group {
    Codepage,
    SerialBaudrate,
    SerialParityBit,
    SerialHandshaking,
    ErrorSound,
    UsbMode,
    ExtBuzzer,
    AutocutMode,
    Autocut,
    PrintSpeed,
    Width,
    FontSystem,
    PaperType,
};
inline constexpr int kGroupCount = 13;

struct Member {
    int index;
    std::string_view caption;
    std::uint8_t value;  // already in its bit position
};

struct OptionGroup {
    Group group;
    std::string_view name;   // control array name in the window
    std::string_view frame;  // frame control name
    std::string_view frameCaption;
    int byte;
    std::uint8_t mask;  // bits compared on read
    std::span<const Member> members;
};

namespace detail {
// Code page members carry their index in byte 0; 0-32 and 60-63.
inline constexpr std::array<Member, 37> kCodepage{{
    {0, "CP-437 : USA Standard Europe", 0x00},
    {1, "Katakana : Japanese", 0x01},
    {2, "CP-850 : Multilingual", 0x02},
    {3, "CP-860 : Portuguese", 0x03},
    {4, "CP-863 : Canadian-French", 0x04},
    {5, "CP-865 : Nordic", 0x05},
    {6, "CP-1252 : Latin I", 0x06},
    {7, "CP-866 : Cyrillic Russian", 0x07},
    {8, "CP-852 : Latin II", 0x08},
    {9, "CP-858 : Euro", 0x09},
    {10, "Thai-42 : Thailand character", 0x0A},
    {11, "Thai-11 : Thailand character", 0x0B},
    {12, "Thai-14 : Thailand character", 0x0C},
    {13, "Thai-16 : Thailand character", 0x0D},
    {14, "Thai-18 : Thailand character", 0x0E},
    {15, "CP-874 : Thailand character", 0x0F},
    {16, "CP-737 : Greek", 0x10},
    {17, "CP-775 : Baitic", 0x11},
    {18, "CP-855 : Cyrillic", 0x12},
    {19, "CP-857 : Turkish", 0x13},
    {20, "CP-861 : Icelandic", 0x14},
    {21, "CP-862 : Hebrew", 0x15},
    {22, "CP-864 : Arabic", 0x16},
    {23, "CP-869 : Greek II", 0x17},
    {24, "CP-1251 : Cyrillic", 0x18},
    {25, "CP-1253 : Greek", 0x19},
    {26, "CP-1254 : Turkish", 0x1A},
    {27, "CP-1255 : Hebrew", 0x1B},
    {28, "CP-1256 : Arabic", 0x1C},
    {29, "CP-1257 : Baltic", 0x1D},
    {30, "CP-1258 : Vietnam", 0x1E},
    {31, "CP-1250", 0x1F},
    {32, "Farsi", 0x20},
    {60, "CP-950 : Traditional Chinese Big5", 0x3C},
    {61, "CP-936 : Slimplified Chinese GBK", 0x3D},
    {62, "CP-932 : Japanese Shift-JIS", 0x3E},
    {63, "CP-949 : Korean", 0x3F},
}};
inline constexpr std::array<Member, 7> kSerialBaudrate{{
    {0, "2400 bps", 0x00},
    {1, "4800 bps", 0x01},
    {2, "9600 bps", 0x02},
    {3, "19200 bps", 0x03},
    {4, "38400 bps", 0x04},
    {5, "57600 bps", 0x05},
    {6, "115200 bps", 0x06},
}};
inline constexpr std::array<Member, 3> kSerialParityBit{{
    {0, "None", 0x00},
    {1, "Even", 0x40},
    {2, "Odd", 0x80},
}};
inline constexpr std::array<Member, 2> kSerialHandshaking{{
    {0, "DTR/DSR", 0x00},
    {1, "Xon/Xoff", 0x08},
}};
inline constexpr std::array<Member, 3> kErrorSound{{
    {0, "No Sound", 0x00},
    {1, "Int Sound", 0x10},
    {2, "Ext Sound", 0x20},
}};
inline constexpr std::array<Member, 3> kUsbMode{{
    {0, "Serial Emulation", 0x00},
    {1, "Actual USB", 0x01},
    {2, "Disable", 0x02},
}};
inline constexpr std::array<Member, 2> kExtBuzzer{{
    {0, "Pattern 1", 0x00},
    {1, "Pattern 2", 0x08},
}};
inline constexpr std::array<Member, 3> kAutocutMode{{
    {0, "Programable", 0x00},
    {1, "Full Cut Only", 0x20},
    {2, "Partial Cut Only", 0x40},
}};
// Member 1 is bit 7 and member 2 bit 4: the values do not follow the order.
inline constexpr std::array<Member, 3> kAutocut{{
    {0, "AutoCut Install", 0x00},
    {1, "AutoCut Disable", 0x80},
    {2, "Cut ( No Feed )", 0x10},
}};
inline constexpr std::array<Member, 5> kPrintSpeed{{
    {0, "Lv1 [250mm/s]", 0x00},
    {1, "Lv2 [230mm/s]", 0x01},
    {2, "Lv3 [210mm/s]", 0x02},
    {3, "Lv4 [190mm/s]", 0x03},
    {4, "Lv5 [170mm/s]", 0x04},
}};
inline constexpr std::array<Member, 2> kWidth{{
    {0, "80mm", 0x00},
    {1, "58mm", 0x08},
}};
inline constexpr std::array<Member, 2> kFontSystem{{
    {0, "42CPL (180DPI)", 0x00},
    {1, "48CPL (203DPI)", 0x10},
}};
inline constexpr std::array<Member, 7> kPaperType{{
    {0, "TF50KS-E2D", 0x00},
    {1, "TF60KS-E", 0x20},
    {2, "P220VBB-1", 0x40},
    {3, "PD160R", 0x60},
    {4, "PD160R-63", 0x80},
    {5, "KT48FA", 0xA0},
    {6, "Alpha400-2.1", 0xC0},
}};
}  // namespace detail

// Indexed by Group. Captions of print speed and paper type are the window's
// own design; the model profile may relabel them, the values never change.
inline constexpr std::array<OptionGroup, kGroupCount> kOptionGroups{{
    {Group::Codepage, "Opt_Codepage", "Frame2", "Code Page", 0, 0xFF, detail::kCodepage},
    {Group::SerialBaudrate, "Opt_SerialBaudrate", "Frame3", "Baudrate", 1, 0x07,
     detail::kSerialBaudrate},
    {Group::SerialParityBit, "Opt_SerialParityBit", "Frame13", "Parity-bit", 1, 0xC0,
     detail::kSerialParityBit},
    {Group::SerialHandshaking, "Opt_serialHandshaking", "Frame4", "Handshaking", 1, 0x08,
     detail::kSerialHandshaking},
    {Group::ErrorSound, "Opt_ErrorSound", "Frame5", "Error Sound", 1, 0x30, detail::kErrorSound},
    {Group::UsbMode, "Opt_USBMode", "Frame6", "USB Mode", 2, 0x07, detail::kUsbMode},
    {Group::ExtBuzzer, "Opt_ExtBuzzer", "Frame14", "Ext Buzzer", 2, 0x08, detail::kExtBuzzer},
    {Group::AutocutMode, "Opt_AutocutMode", "Frame8", "Auto Cut Mode", 2, 0x60,
     detail::kAutocutMode},
    {Group::Autocut, "Opt_Autocut", "Frame7", "Cutter Setting", 2, 0x90, detail::kAutocut},
    {Group::PrintSpeed, "Opt_PrintSpeed", "Frame9", "Print Speed", 3, 0x07, detail::kPrintSpeed},
    {Group::Width, "Opt_width", "Frame10", "Paper Width", 3, 0x08, detail::kWidth},
    {Group::FontSystem, "Opt_FontSystem", "Frame15", "Font System", 3, 0x10, detail::kFontSystem},
    {Group::PaperType, "Opt_PaperType", "Frame16", "Paper Type", 3, 0xE0, detail::kPaperType},
}};

constexpr const OptionGroup& optionGroup(Group g) {
    return kOptionGroups[static_cast<int>(g)];
}

// Member with the given index, or nullptr.
constexpr const Member* findMember(Group g, int index) {
    for (const Member& m : optionGroup(g).members) {
        if (m.index == index) return &m;
    }
    return nullptr;
}

// Member whose value equals the field (byte AND mask), or nullptr.
constexpr const Member* memberForField(Group g, std::uint8_t field) {
    for (const Member& m : optionGroup(g).members) {
        if (m.value == field) return &m;
    }
    return nullptr;
}

// Frames in the order the window shows them, left to right, top to bottom.
inline constexpr std::array<Group, kGroupCount> kWindowOrder{
    Group::Codepage,   Group::SerialBaudrate, Group::SerialHandshaking, Group::SerialParityBit,
    Group::ErrorSound, Group::UsbMode,        Group::Autocut,           Group::AutocutMode,
    Group::PrintSpeed, Group::Width,          Group::ExtBuzzer,         Group::FontSystem,
    Group::PaperType,
};

}  // namespace tessra::settings
