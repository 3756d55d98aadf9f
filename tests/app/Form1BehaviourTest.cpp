#include <QComboBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <tuple>

#include "WindowFixture.h"
#include "app/QtText.h"
#include "commands/ButtonTables.h"
#include "models/Profiles.h"

namespace tessra::testing {
namespace {

using settings::Group;

// Caption, visibility and state of every control a model profile names.
using ControlStates = std::vector<std::tuple<QString, bool, bool>>;
ControlStates profileControls(const QWidget* window) {
    ControlStates states;
    for (auto model : {models::Model::Orrin, models::Model::Velda}) {
        for (const models::Assignment& a : models::profile(model)) {
            const auto* w = window->findChild<QWidget*>(app::qstr(a.control));
            EXPECT_NE(w, nullptr) << a.control;
            if (!w) continue;
            const auto* b = qobject_cast<const QAbstractButton*>(w);
            states.emplace_back(b ? b->text() : QString(), w->isVisibleTo(window), w->isEnabled());
        }
    }
    return states;
}

// What each profile assigns is its table; the window must apply every kind
// of assignment, and Orrin, the start-up model, undoes whatever Velda did.
TEST_F(WindowTest, ChoosingVeldaRelabelsHidesAndEnablesAndOrrinUndoesAllOfIt) {
    form->Opt_PRT_MODEL_Click(0);  // as at start-up, before the MAC controls were disabled
    const ControlStates orrin = profileControls(form.get());
    form->Command12->setEnabled(false);  // as Form_Load leaves it
    form->optionPanel().select(Group::PaperType, 6);
    button("Opt_PRT_MODEL_1")->click();
    EXPECT_EQ(button("Opt_PrintSpeed_2")->text(), "Slightly");
    EXPECT_FALSE(shown(button("Command19")));
    EXPECT_TRUE(form->Command12->isEnabled());
    EXPECT_EQ(form->optionPanel().selected(Group::PaperType), 6) << "hidden, still selected";

    button("Opt_PRT_MODEL_0")->click();
    EXPECT_EQ(profileControls(form.get()), orrin);
    form->Opt_PRT_MODEL_Click(2);  // no such model
    EXPECT_EQ(profileControls(form.get()), orrin);
}

// The buttons' bytes are checked on the command tables; these clicks prove
// the window's wiring to them and to the interface combos.
TEST_F(WindowTest, FeedingOpensTheChosenPortAtTheChosenLine) {
    form->cboPORT->setCurrentIndex(2);
    form->cboSPEED->setCurrentIndex(6);
    form->cboPARITY->setCurrentIndex(1);
    QTest::mouseClick(button("Command14"), Qt::LeftButton);
    ASSERT_EQ(port.openings.size(), 1u);
    EXPECT_EQ(port.openings[0].portNumber, 3);
    EXPECT_EQ(port.openings[0].settings, "115200,e,8,1");
    EXPECT_EQ(port.openings[0].bytes(), Bytes({0x0A, 0x00}));
    EXPECT_TRUE(op.messages.empty());
}

// Clicks while another operation waits are dropped; the mark moves once the
// wireless send has returned, even after a time-out.
TEST_F(WindowTest, WirelessButtonTakesTheBoldMarkOnceItsSendReturned) {
    port.dsrAsserted = false;  // the DSR wait lets the window handle events
    bool boldDuringSend = true;
    op.onProcessEvents = [&] {
        boldDuringSend = bold(button("Command19"));
        button("Command18")->click();
        button("Command15")->click();
        EXPECT_FALSE(bold(button("Command18"))) << "a dropped click takes no mark";
    };
    button("Command19")->click();
    EXPECT_EQ(port.bytesPerOpening(),
              std::vector<Bytes>({{0x01, 0x39, 0x36, 0x02, 0x23, 0x02, 0x00}}));
    EXPECT_EQ(op.messageTexts(),
              std::vector<std::string>({"Communication Error.(5 Sec Time out)"}));
    EXPECT_FALSE(boldDuringSend);
    for (const auto& w : commands::kWirelessColumn)
        EXPECT_EQ(bold(button(app::qstr(w.control))), w.control == "Command19") << w.control;
}

// Drawn with high values at the top: the upper arrow raises the value, and the
// arrow keys count the same way, within an octet.
TEST_F(WindowTest, SpinnerCountsUpwardsWithinAnOctet) {
    button("Opt_PRT_MODEL_1")->click();  // enables the spinners
    auto* s = control<QScrollBar>("VScroll1");
    const QPoint upper(s->width() / 2, 3);
    const QPoint lower(s->width() / 2, s->height() - 3);
    QTest::mouseClick(s, Qt::LeftButton, {}, upper);
    EXPECT_EQ(s->value(), 1);
    QTest::mouseClick(s, Qt::LeftButton, {}, lower);
    EXPECT_EQ(s->value(), 0);
    s->setValue(255);
    QTest::mouseClick(s, Qt::LeftButton, {}, upper);
    EXPECT_EQ(s->value(), 255);
    s->setFocus();
    QTest::keyClick(s, Qt::Key_Down);
    EXPECT_EQ(s->value(), 254);
}

}  // namespace
}  // namespace tessra::testing
