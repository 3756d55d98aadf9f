#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QScrollBar>
#include <optional>
#include <vector>

#include "WindowFixture.h"
#include "app/QtText.h"
#include "settings/OptionTables.h"

namespace tessra::testing {
namespace {

struct Expected {
    const char* name;
    const char* caption;  // nullptr: the control has no caption to check
    bool enabled;
    bool visible;
    std::optional<bool> checked = std::nullopt;
    std::optional<bool> bold = std::nullopt;
};

constexpr bool on = true;
constexpr bool off = false;

// Every control of the window right after start-up, with the Orrin profile applied.
const std::vector<Expected> kStartup = {
    {"Frame1", "Interface", on, on},
    {"OptCOM_0", "COM", on, on, on},
    {"OptCOM_1", "USB", off, on, off},
    {"OptCOM_2", "Ethernet", off, on, off},
    {"Label1", "Port List :", on, on},
    {"Label2", "COM Speed :", on, on},
    {"Label3", "Parity :", on, on},
    {"cboPORT", nullptr, on, on},
    {"cboSPEED", nullptr, on, on},
    {"cboPARITY", nullptr, on, on},
    {"Frame11", "Read_Method", on, on},
    {"Opt_read_0", "Manual", on, on, off},
    {"Opt_read_1", "Auto", on, on, on},
    {"Frame12", "IP Address", on, on},
    {"IPTXT", nullptr, on, off},
    {"Opt_PRT_MODEL_0", "Orrin", on, on, on},
    {"Opt_PRT_MODEL_1", "Velda", on, on, off},
    {"cmdSelPage_0", "Read", on, on},
    {"cmdSelPage_1", "Write", on, on},

    {"Frame2", "Code Page", on, on},
    {"Frame3", "Baudrate", on, on},
    {"Frame4", "Handshaking", on, on},
    {"Frame13", "Parity-bit", on, on},
    {"Frame5", "Error Sound", on, on},
    {"Frame6", "USB Mode", on, on},
    {"Frame7", "Cutter Setting", on, on},
    {"Frame8", "Auto Cut Mode", on, on},
    {"Frame9", "Print Speed", on, on},
    {"Frame10", "Paper Width", on, on},
    {"Frame14", "Ext Buzzer", on, on},
    {"Frame15", "Font System", on, on},
    {"Frame16", "Paper Type", on, on},
    {"Opt_Codepage_0", "CP-437 : USA Standard Europe", on, on, on},
    {"Opt_Autocut_0", "AutoCut Install", on, on, on},
    {"Opt_AutocutMode_0", "Programable", on, on, on},
    {"Opt_PrintSpeed_0", "Lv1 [250mm/s]", on, on, on},
    {"Opt_PrintSpeed_4", "Lv5 [170mm/s]", on, on, off},
    {"Opt_ErrorSound_0", "No Sound", on, on, on},
    {"Opt_SerialBaudrate_0", "2400 bps", on, on, on},
    {"Opt_SerialParityBit_0", "None", on, on, on},
    {"Opt_serialHandshaking_0", "DTR/DSR", on, on, on},
    {"Opt_USBMode_0", "Serial Emulation", on, on, off},
    {"Opt_USBMode_1", "Actual USB", on, on, on},
    {"Opt_width_0", "80mm", on, on, on},
    {"Opt_ExtBuzzer_0", "Pattern 1", on, on, on},
    {"Opt_FontSystem_0", "42CPL (180DPI)", on, on, on},
    {"Opt_PaperType_0", "TF50KS-E2D", on, on, on},
    {"Opt_PaperType_6", "Alpha400-2.1", on, on, off},

    {"Command2", "Self-Test", on, on, std::nullopt, off},
    {"Command3", "Sample-Font", on, on, std::nullopt, off},
    {"Command1", "Hex-Dump", on, on, std::nullopt, off},
    {"Command4", "Maintenance", off, on, std::nullopt, off},
    {"Command6", "Blackmark Read", off, on, std::nullopt, off},
    {"Command7", "Blackmark Write Disable", off, on, std::nullopt, off},
    {"Command8", "Blackmark Write Enable", off, on, std::nullopt, off},
    {"Command10", "Erase MCU  (Internal Flash)", off, on, std::nullopt, off},
    {"Command9", "Erase Font-ROM (External Flash)", off, on, std::nullopt, off},
    {"Command11", "Factory Initialize", off, on, std::nullopt, on},
    {"Command5", "Firmware Recovery (Restart)", on, on, std::nullopt, on},
    {"Command14", "Feeding", on, on, std::nullopt, on},
    {"Command15", "Cutting", on, on, std::nullopt, on},
    {"Command16", "Print Test Pattern", on, on, std::nullopt, on},
    {"Command17", "ESP32 WiFi Soft AP", on, on, std::nullopt, on},
    {"Command18", "ESP32 WiFi Station", on, on, std::nullopt, off},
    {"Command19", "ESP32 Bluetooth Classic", on, on, std::nullopt, off},
    {"Command21", "ESP32 Bluetooth Classic+BLE", on, on, std::nullopt, off},

    {"Command12", "MAC Address Load", off, on},
    {"Command13", "MAC Address Save", off, on},
    {"Text1", "0A", off, on},
    {"Text2", "5C", off, on},
    {"Text3", "3E", off, on},
    {"Text4", "00", off, on},
    {"Text5", "00", off, on},
    {"Text6", "00", off, on},
    {"Text7", "00", off, on},
    {"Text8", "00", off, on},
    {"Text9", "00", off, on},
    {"Text10", "00", off, on},
    {"Text11", "00", off, on},
    {"Text12", "00", off, on},
    {"VScroll1", nullptr, off, on},
    {"VScroll2", nullptr, off, on},
    {"VScroll3", nullptr, off, on},
    {"Label4", "Auto Increment", off, on},
    {"Check1", "", off, on, off},

    {"Frame17", "Customer Code", on, on},
    {"Text13", "000", off, on},
    {"Command20_0", "Customer Code Read", on, on},
    {"Command20_1", "Customer Code Write", off, on},

    {"Text15",
     "Use of the program is strictly limited for in-house development and production and is "
     "prohibited from distribution.",
     off, on, std::nullopt, on},
    {"Text14", "프로그램의 사용은 사내 개발 및 생산용으로 엄격하게 제한하며, 배포를 금지합니다.",
     off, on, std::nullopt, on},
    {"Line1", nullptr, on, on},
};

TEST_F(WindowTest, EveryControlStartsAsDesigned) {
    for (const Expected& e : kStartup) {
        SCOPED_TRACE(e.name);
        QWidget* w = control(e.name);
        ASSERT_NE(w, nullptr);
        if (e.caption) {
            EXPECT_EQ(caption(w), QString::fromUtf8(e.caption));
        }
        EXPECT_EQ(w->isEnabled(), e.enabled);
        EXPECT_EQ(shown(w), e.visible);
        if (e.checked) {
            auto* b = qobject_cast<QAbstractButton*>(w);
            ASSERT_NE(b, nullptr);
            EXPECT_EQ(b->isChecked(), *e.checked);
        }
        if (e.bold) {
            EXPECT_EQ(bold(w), *e.bold);
        }
    }
}

TEST_F(WindowTest, WindowIsTitledAndShownWithTheFlagsSetAndSendsNothing) {
    EXPECT_EQ(form->windowTitle(), "Tessra Printer Utility (v2.03) - Kestrow");
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(form->mblnReady);
    EXPECT_FALSE(form->mac.mblnLevel1Passed);
    EXPECT_TRUE(port.openings.empty());
    EXPECT_TRUE(op.messages.empty());
}

QStringList items(const QComboBox* c) {
    QStringList out;
    for (int i = 0; i < c->count(); ++i) out << c->itemText(i);
    return out;
}

TEST_F(WindowTest, CombosHoldTheLineChoicesWithComOneAt9600None) {
    auto* portBox = control<QComboBox>("cboPORT");
    auto* speedBox = control<QComboBox>("cboSPEED");
    auto* parityBox = control<QComboBox>("cboPARITY");
    EXPECT_EQ(items(portBox), QStringList({"COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7",
                                           "COM8", "COM9", "COM10"}));
    EXPECT_EQ(portBox->currentIndex(), 0);
    EXPECT_EQ(items(speedBox),
              QStringList({"2400", "4800", "9600", "19200", "38400", "57600", "115200"}));
    EXPECT_EQ(speedBox->currentText(), "9600");
    EXPECT_EQ(items(parityBox), QStringList({"None", "Even", "Odd"}));
    EXPECT_EQ(parityBox->currentIndex(), 0);
}

TEST_F(WindowTest, PortListTipsNameTheDevice) {
    auto* portBox = control<QComboBox>("cboPORT");
    for (int i = 0; i < portBox->count(); ++i)
        EXPECT_EQ(portBox->itemData(i, Qt::ToolTipRole).toString(),
                  QString("/dev/fake%1").arg(i + 1));
}

TEST_F(WindowTest, PortListTipsFollowANewMappingAndTheSelectionStays) {
    auto* portBox = control<QComboBox>("cboPORT");
    portBox->setCurrentIndex(2);
    port.devicePrefix = "/dev/ttyUSB";
    port.found = {{"/dev/ttyUSB3", "FT232R USB UART", "FTDI", "A50285BI"}};
    form->refreshPortToolTips();
    EXPECT_EQ(portBox->itemData(2, Qt::ToolTipRole).toString(),
              "/dev/ttyUSB3: FT232R USB UART (FTDI, serial A50285BI)");
    EXPECT_EQ(portBox->itemData(9, Qt::ToolTipRole).toString(), "/dev/ttyUSB10");
    EXPECT_EQ(portBox->count(), 10);
    EXPECT_EQ(portBox->currentIndex(), 2);
}

TEST_F(WindowTest, CodePageOffersThirtySevenMembersByIndex) {
    QButtonGroup* g = form->optionGroup(settings::Group::Codepage);
    ASSERT_EQ(g->buttons().size(), 37);
    std::vector<int> ids;
    for (int i = 0; i <= 32; ++i) ids.push_back(i);
    for (int i = 60; i <= 63; ++i) ids.push_back(i);
    for (int id : ids) {
        QAbstractButton* b = g->button(id);
        ASSERT_NE(b, nullptr) << id;
        EXPECT_EQ(b->objectName(), QString("Opt_Codepage_%1").arg(id));
        EXPECT_TRUE(shown(b)) << id;
    }
    EXPECT_EQ(g->button(17)->text(), "CP-775 : Baitic");
    EXPECT_EQ(g->button(61)->text(), "CP-936 : Slimplified Chinese GBK");
    EXPECT_EQ(g->button(63)->text(), "CP-949 : Korean");
}

// The start-up selection of each group is in the control list above.
TEST_F(WindowTest, EverySettingsGroupShowsItsMembersInItsFrame) {
    for (const settings::OptionGroup& t : settings::kOptionGroups) {
        SCOPED_TRACE(std::string(t.name));
        QButtonGroup* g = form->optionGroup(t.group);
        ASSERT_NE(g, nullptr);
        EXPECT_TRUE(g->exclusive());
        EXPECT_EQ(g->buttons().size(), static_cast<qsizetype>(t.members.size()));
        auto* frame = control<QGroupBox>(app::qstr(t.frame));
        ASSERT_NE(frame, nullptr);
        for (const settings::Member& m : t.members) {
            QAbstractButton* b = g->button(m.index);
            ASSERT_NE(b, nullptr) << m.index;
            EXPECT_EQ(b->text(), app::qstr(m.caption));
            EXPECT_TRUE(frame->isAncestorOf(b)) << m.index;
        }
    }
}

TEST_F(WindowTest, SpinnersStartAtZeroWithinAnOctet) {
    for (const char* name : {"VScroll1", "VScroll2", "VScroll3"}) {
        SCOPED_TRACE(name);
        auto* s = control<QScrollBar>(name);
        ASSERT_NE(s, nullptr);
        EXPECT_EQ(s->orientation(), Qt::Vertical);
        EXPECT_EQ(s->minimum(), 0);
        EXPECT_EQ(s->maximum(), 255);
        EXPECT_EQ(s->singleStep(), 1);
        EXPECT_EQ(s->pageStep(), 1);
        EXPECT_EQ(s->value(), 0);
    }
    EXPECT_FALSE(control<QCheckBox>("Check1")->isChecked());
}

TEST_F(WindowTest, DisplayOnlyBoxesCannotBeTypedInto) {
    for (int n = 1; n <= 12; ++n) {
        auto* e = control<QLineEdit>(QString("Text%1").arg(n));
        ASSERT_NE(e, nullptr) << n;
        EXPECT_TRUE(e->isReadOnly()) << n;
        EXPECT_FALSE(e->isEnabled()) << n;
    }
    EXPECT_EQ(control<QLineEdit>("Text13")->toolTip(), "Customer Code : 1 ~ 255");
}

TEST_F(WindowTest, KoreanNoticeIsRed) {
    auto* t = control<QPlainTextEdit>("Text14");
    EXPECT_EQ(t->palette().color(QPalette::Disabled, QPalette::Text), QColor(Qt::red));
    EXPECT_TRUE(t->isReadOnly());
}

TEST_F(WindowTest, FitsA1280By720ScreenWithRoomForATitleBar) {
    constexpr int kTitleBar = 30;
    for (const QSize size : {form->sizeHint(), form->minimumSizeHint(), form->size()}) {
        EXPECT_LE(size.width(), 1280);
        EXPECT_LE(size.height(), 720 - kTitleBar);
    }
}

}  // namespace
}  // namespace tessra::testing
