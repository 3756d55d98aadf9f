#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>

#include "WindowFixture.h"
#include "app/QtText.h"
#include "commands/ButtonTables.h"
#include "models/Profiles.h"

namespace tessra::testing {
namespace {

using settings::Group;

TEST_F(WindowTest, EveryControlAProfileNamesExists) {
    for (auto model : {models::Model::Orrin, models::Model::Velda}) {
        for (const models::Assignment& a : models::profile(model))
            EXPECT_NE(control(app::qstr(a.control)), nullptr) << a.control;
    }
}

// Every assignment is checked on the profile tables; these prove the window applies them.
TEST_F(WindowTest, ChoosingVeldaRelabelsHidesAndEnablesTheMacControls) {
    button("Opt_PRT_MODEL_1")->click();
    EXPECT_EQ(button("Opt_PrintSpeed_2")->text(), "Slightly");
    EXPECT_FALSE(shown(button("Opt_PaperType_6")));
    EXPECT_FALSE(shown(control("Frame14")));
    EXPECT_FALSE(shown(button("Command19")));
    EXPECT_EQ(button("Command19")->text(), "");
    EXPECT_EQ(button("Command17")->text(), "WizFi250 (Soft AP)");
    for (const char* name :
         {"Command12", "Command13", "VScroll1", "VScroll2", "VScroll3", "Label4", "Check1"})
        EXPECT_TRUE(control(name)->isEnabled()) << name;
    EXPECT_TRUE(bold(button("Command17")));

    button("Opt_PRT_MODEL_0")->click();
    EXPECT_EQ(button("Opt_PrintSpeed_2")->text(), "Lv3 [210mm/s]");
    EXPECT_TRUE(shown(button("Opt_PaperType_6")));
    EXPECT_TRUE(shown(control("Frame14")));
    EXPECT_TRUE(shown(button("Command19")));
    EXPECT_EQ(button("Command19")->text(), "ESP32 Bluetooth Classic");
}

TEST_F(WindowTest, HiddenMemberStaysSelected) {
    form->optionPanel().select(Group::PaperType, 6);
    button("Opt_PRT_MODEL_1")->click();
    EXPECT_EQ(form->optionPanel().selected(Group::PaperType), 6);
}

TEST_F(WindowTest, SelectingByCodeRaisesTheHandlerOnceAndReselectingNothing) {
    auto* portBox = control<QComboBox>("cboPORT");
    QButtonGroup* group = form->OptCOM;
    // Take the selection away so that code can select COM afresh.
    group->setExclusive(false);
    group->button(0)->setChecked(false);
    group->setExclusive(true);
    portBox->setCurrentIndex(4);

    QSignalSpy inserted(portBox->model(), &QAbstractItemModel::rowsInserted);
    group->button(0)->setChecked(true);
    EXPECT_EQ(inserted.count(), 10);  // one rebuild of the port list
    EXPECT_EQ(portBox->currentIndex(), 0);

    portBox->setCurrentIndex(4);
    group->button(0)->setChecked(true);
    button("OptCOM_0")->click();
    EXPECT_EQ(inserted.count(), 10);
    EXPECT_EQ(portBox->currentIndex(), 4);
}

TEST_F(WindowTest, ReselectingTheModelAppliesNothing) {
    form->Opt_PRT_MODEL->button(1)->setChecked(true);
    EXPECT_FALSE(shown(button("Command19")));
    button("Command19")->show();
    form->Opt_PRT_MODEL->button(1)->setChecked(true);
    EXPECT_TRUE(shown(button("Command19")));
}

TEST_F(WindowTest, OptionPanelSelectsAndReportsByIndex) {
    settings::OptionPanel& panel = form->optionPanel();
    panel.select(Group::Codepage, 63);
    EXPECT_TRUE(button("Opt_Codepage_63")->isChecked());
    EXPECT_EQ(panel.selected(Group::Codepage), 63);
    panel.select(Group::Codepage, 40);  // no such member: the selection stays
    EXPECT_EQ(panel.selected(Group::Codepage), 63);
    panel.select(Group::Autocut, 2);
    EXPECT_EQ(panel.selected(Group::Autocut), 2);
    EXPECT_FALSE(button("Opt_Autocut_0")->isChecked());
}

TEST_F(WindowTest, LineChoiceReadsTheInterfaceCombos) {
    LineChoice& line = form->lineChoice();
    EXPECT_EQ(line.portIndex(), 0);
    EXPECT_EQ(line.speedText(), "9600");
    EXPECT_EQ(line.parityIndex(), 0);
    control<QComboBox>("cboPORT")->setCurrentIndex(9);
    line.showDetected(6, 2);
    EXPECT_EQ(line.portIndex(), 9);
    EXPECT_EQ(line.speedText(), "115200");
    EXPECT_EQ(line.parityIndex(), 2);
    EXPECT_EQ(control<QComboBox>("cboPARITY")->currentText(), "Odd");
}

// The other buttons' bytes are checked against the command tables; this click
// proves the window's wiring to them and to the interface combos.
TEST_F(WindowTest, FeedingOpensTheChosenPortAtTheChosenLine) {
    QTest::mouseClick(button("Command14"), Qt::LeftButton);
    ASSERT_EQ(port.openings.size(), 1u);
    EXPECT_EQ(port.openings[0].portNumber, 1);
    EXPECT_EQ(port.openings[0].settings, "9600,n,8,1");
    EXPECT_EQ(port.bytesPerOpening(), std::vector<Bytes>({{0x0A, 0x00}}));
    EXPECT_FALSE(port.isOpen());
    EXPECT_TRUE(op.messages.empty());

    control<QComboBox>("cboPORT")->setCurrentIndex(2);
    control<QComboBox>("cboSPEED")->setCurrentIndex(6);
    control<QComboBox>("cboPARITY")->setCurrentIndex(1);
    button("Command14")->click();
    ASSERT_EQ(port.openings.size(), 2u);
    EXPECT_EQ(port.openings[1].portNumber, 3);
    EXPECT_EQ(port.openings[1].settings, "115200,e,8,1");
}

TEST_F(WindowTest, WirelessButtonSendsItsModeAndTakesTheBoldMark) {
    button("Command18")->click();
    EXPECT_EQ(port.bytesPerOpening(),
              std::vector<Bytes>({{0x01, 0x39, 0x36, 0x02, 0x23, 0x01, 0x00}}));
    EXPECT_FALSE(bold(button("Command17")));
    EXPECT_TRUE(bold(button("Command18")));
    EXPECT_FALSE(bold(button("Command19")));
    EXPECT_FALSE(bold(button("Command21")));

    button("Command21")->click();
    EXPECT_EQ(port.bytesPerOpening().back(), Bytes({0x01, 0x39, 0x36, 0x02, 0x23, 0x03, 0x00}));
    EXPECT_FALSE(bold(button("Command18")));
    EXPECT_TRUE(bold(button("Command21")));
}

TEST_F(WindowTest, BoldMarkMovesOnceTheSendReturnedEvenAfterATimeOut) {
    bool boldDuringSend = true;
    op.onProcessEvents = [&] { boldDuringSend = bold(button("Command19")); };
    port.dsrAsserted = false;  // the DSR wait lets the window handle events
    button("Command19")->click();
    EXPECT_EQ(op.messageTexts(),
              std::vector<std::string>({"Communication Error.(5 Sec Time out)"}));
    EXPECT_FALSE(boldDuringSend);
    EXPECT_TRUE(bold(button("Command19")));
    EXPECT_FALSE(bold(button("Command17")));
}

TEST_F(WindowTest, ClickDuringAnotherOperationIsDroppedAndMarksNothing) {
    port.dsrAsserted = false;
    bool clicked = false;
    op.onProcessEvents = [&] {
        if (clicked) return;
        clicked = true;
        button("Command18")->click();
        button("Command15")->click();
    };
    button("Command14")->click();
    EXPECT_TRUE(clicked);
    EXPECT_EQ(port.bytesPerOpening(), std::vector<Bytes>({{0x0A, 0x00}}));
    EXPECT_TRUE(bold(button("Command17")));
    EXPECT_FALSE(bold(button("Command18")));
}

TEST_F(WindowTest, DisabledButtonsSendNothing) {
    for (const commands::CommandButton& b : commands::kMaintenanceColumn) {
        if (!b.alwaysDisabled) continue;
        QTest::mouseClick(button(app::qstr(b.control)), Qt::LeftButton);
    }
    EXPECT_TRUE(port.openings.empty());
}

TEST_F(WindowTest, UpperSpinnerArrowRaisesTheValue) {
    button("Opt_PRT_MODEL_1")->click();  // enables the spinners
    auto* s = control<QScrollBar>("VScroll1");
    const QPoint upper(s->width() / 2, 3);
    const QPoint lower(s->width() / 2, s->height() - 3);
    QTest::mouseClick(s, Qt::LeftButton, {}, upper);
    EXPECT_EQ(s->value(), 1);
    QTest::mouseClick(s, Qt::LeftButton, {}, lower);
    QTest::mouseClick(s, Qt::LeftButton, {}, lower);
    EXPECT_EQ(s->value(), 0);
    s->setValue(255);
    QTest::mouseClick(s, Qt::LeftButton, {}, upper);
    EXPECT_EQ(s->value(), 255);
    QTest::mouseClick(s, Qt::LeftButton, {}, lower);
    EXPECT_EQ(s->value(), 254);
    s->setFocus();
    QTest::keyClick(s, Qt::Key_Up);
    EXPECT_EQ(s->value(), 255);
    QTest::keyClick(s, Qt::Key_Down);
    EXPECT_EQ(s->value(), 254);
    QWheelEvent wheelUp(QPointF(s->width() / 2.0, s->height() / 2.0), s->mapToGlobal(QPointF(2, 2)),
                        QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                        false);
    QApplication::sendEvent(s, &wheelUp);
    EXPECT_EQ(s->value(), 255);
}

// Top to bottom, as the columns are specified.
void expectColumn(const std::vector<QWidget*>& widgets) {
    for (std::size_t i = 1; i < widgets.size(); ++i) {
        const QPoint above = widgets[i - 1]->mapTo(widgets[i]->window(), QPoint(0, 0));
        const QPoint below = widgets[i]->mapTo(widgets[i]->window(), QPoint(0, 0));
        EXPECT_LT(above.y(), below.y()) << widgets[i]->objectName().toStdString();
    }
}

TEST_F(WindowTest, ColumnsStandInTheirOrder) {
    std::vector<QWidget*> maintenance;
    for (const auto& b : commands::kMaintenanceColumn)
        maintenance.push_back(button(app::qstr(b.control)));
    expectColumn(maintenance);
    std::vector<QWidget*> paper{maintenance.back()};
    for (const auto& b : commands::kPaperButtons) paper.push_back(button(app::qstr(b.control)));
    expectColumn(paper);
    std::vector<QWidget*> wireless;
    for (const auto& w : commands::kWirelessColumn)
        wireless.push_back(button(app::qstr(w.control)));
    expectColumn(wireless);
    // Upper row reads back, lower row saves.
    expectColumn({button("Command12"), button("Command13")});
}

}  // namespace
}  // namespace tessra::testing
