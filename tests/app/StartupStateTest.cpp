// The window right after start-up, against the tables it is built from; only
// the states no table holds are listed here.
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <optional>
#include <vector>

#include "WindowFixture.h"
#include "app/QtText.h"
#include "app/SettingsTransaction.h"
#include "app/WindowTexts.h"
#include "fakes/FakeOptionPanel.h"

namespace tessra::testing {
namespace {

struct Expected {
    const char* name;
    bool enabled;
    std::optional<QString> text = std::nullopt;
};

// The MAC controls wait for a model to be chosen, Write for the first read.
const std::vector<Expected> kStates = {
    {"OptCOM_0", true},     {"OptCOM_1", false},    {"OptCOM_2", false},    {"Command12", false},
    {"Command13", false},   {"VScroll1", false},    {"VScroll2", false},    {"VScroll3", false},
    {"Label4", false},      {"Check1", false},      {"Text1", false, "0A"}, {"Text2", false, "5C"},
    {"Text3", false, "3E"}, {"Text4", false, "00"}, {"Text7", false, "00"}, {"Text12", false, "00"},
    {"Text13", false},      {"Command20_0", true},  {"Command20_1", false}, {"Command5", true},
};

TEST_F(WindowTest, StartsInItsStartUpStateAndSendsNothing) {
    for (const Expected& e : kStates) {
        SCOPED_TRACE(e.name);
        QWidget* w = control(e.name);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->isEnabled(), e.enabled);
        if (e.text) {
            EXPECT_EQ(qobject_cast<QLineEdit*>(w)->text(), *e.text);
        }
    }
    EXPECT_EQ(form->OptCOM->checkedId(), app::kComInterface);
    EXPECT_EQ(form->Opt_read->checkedId(), kAutoReadMember);
    EXPECT_FALSE(form->Check1->isChecked());

    const settings::Selections startup = startupSelections();
    for (const settings::OptionGroup& t : settings::kOptionGroups) {
        SCOPED_TRACE(std::string(t.name));
        QButtonGroup* g = form->optionGroup(t.group);
        EXPECT_EQ(g->checkedId(), startup[static_cast<std::size_t>(t.group)]);
        auto* frame = control<QGroupBox>(app::qstr(t.frame));
        for (const settings::Member& m : t.members) {
            QAbstractButton* b = g->button(m.index);
            ASSERT_NE(b, nullptr) << m.index;
            EXPECT_EQ(b->text(), app::qstr(m.caption));
            EXPECT_TRUE(frame->isAncestorOf(b)) << m.index;
        }
    }
    using Buttons = std::span<const commands::CommandButton>;
    for (const Buttons table :
         {Buttons(commands::kMaintenanceColumn), Buttons(commands::kPaperButtons)}) {
        for (const commands::CommandButton& b : table) {
            const QAbstractButton* w = button(app::qstr(b.control));
            EXPECT_EQ(w->text(), app::qstr(b.caption)) << b.control;
            EXPECT_EQ(w->isEnabled(), !b.alwaysDisabled) << b.control;
            EXPECT_EQ(bold(w), b.bold) << b.control;
        }
    }
    for (const commands::WirelessButton& w : commands::kWirelessColumn)
        EXPECT_EQ(bold(button(app::qstr(w.control))), &w == &commands::kWirelessColumn.front());

    EXPECT_EQ(form->cboPORT->count(), 10);
    EXPECT_EQ(form->cboPORT->itemText(9), "COM10");
    EXPECT_EQ(form->cboPORT->currentIndex(), 0);
    EXPECT_EQ(form->cboSPEED->currentText(), "9600");
    EXPECT_EQ(form->cboPARITY->currentText(), "None");
    EXPECT_EQ(form->windowTitle(), app::qstr(app::kWindowTitle));
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(form->mblnReady);
    EXPECT_FALSE(form->mac.mblnLevel1Passed);
    EXPECT_TRUE(port.openings.empty());
    EXPECT_TRUE(op.messages.empty());
    EXPECT_EQ(
        control<QPlainTextEdit>("Text14")->palette().color(QPalette::Disabled, QPalette::Text),
        QColor(Qt::red));
}

TEST_F(WindowTest, PortListTipsFollowANewMappingAndTheSelectionStays) {
    QComboBox* portBox = form->cboPORT;
    portBox->setCurrentIndex(2);
    port.devicePrefix = "/dev/ttyUSB";
    port.found = {{"/dev/ttyUSB3", "FT232R USB UART", "FTDI", "A50285BI"}};
    form->refreshPortToolTips();
    EXPECT_EQ(portBox->itemData(2, Qt::ToolTipRole).toString(),
              "/dev/ttyUSB3: FT232R USB UART (FTDI, serial A50285BI)");
    EXPECT_EQ(portBox->itemData(9, Qt::ToolTipRole).toString(), "/dev/ttyUSB10");
    EXPECT_EQ(portBox->currentIndex(), 2);
}

}  // namespace
}  // namespace tessra::testing
