// Read and Write of the settings block from the window, against the virtual
// printer through the real serial adapter.
#include <fstream>

#include "WindowWithPrinter.h"

namespace tessra::testing {
namespace {

using settings::Group;

// 57600 bps with every byte off its default: code page 16; Xon/Xoff, Int
// Sound, no parity; USB disabled, buzzer pattern 2, full cut only, cutter
// installed; Lv4, 58mm, 48CPL, paper type 3.
constexpr const char* kPrinterBlock = "10 1D 2A 7B";

struct Expected {
    Group group;
    int member;
};
const std::vector<Expected> kPrinterSelections{
    {Group::Codepage, 16},         {Group::SerialBaudrate, 5}, {Group::SerialParityBit, 0},
    {Group::SerialHandshaking, 1}, {Group::ErrorSound, 1},     {Group::UsbMode, 2},
    {Group::ExtBuzzer, 1},         {Group::AutocutMode, 1},    {Group::Autocut, 0},
    {Group::PrintSpeed, 3},        {Group::Width, 1},          {Group::FontSystem, 1},
    {Group::PaperType, 3},
};

class SettingsWindow : public WindowWithPrinter {
protected:
    void startAt57600() {
        const std::string state = (printer.dir() / "flash").string();
        std::ofstream(state) << "block " << kPrinterBlock << "\nmac 0A 5C 3E 00 00 01\n"
                             << "customer-code 1\nwireless-mode 0\ncuts 0\nprints 0\n";
        ASSERT_NO_FATAL_FAILURE(start({"--state", state, "--speed", "57600"}));
        ASSERT_TRUE(printer.waitForLine(std::string("settings ") + kPrinterBlock + ","))
            << printer.transcript();
    }
    void expectSelections(const std::vector<Expected>& expected) const {
        for (const Expected& e : expected)
            EXPECT_EQ(selected(e.group), e.member) << settings::optionGroup(e.group).name;
    }
    // Moves every group away from the printer's block, so a read must set them all.
    void selectOtherMembers() const {
        for (const Expected& e : kPrinterSelections) choose(e.group, e.member == 0 ? 1 : 0);
    }
};

TEST_F(SettingsWindow, AutoReadFindsThePrinterAt57600AndShowsItsBlock) {
    ASSERT_NO_FATAL_FAILURE(startAt57600());
    selectOtherMembers();
    read();  // Auto is the start-up method
    EXPECT_TRUE(op.messages.empty()) << op.messages.front().text;
    EXPECT_EQ(form->cboSPEED->currentText(), "57600");
    expectSelections(kPrinterSelections);
    EXPECT_TRUE(printer.inOrder(
        {"57600: settings read 10 1D 2A 7B\n", "57600: printed \" Read Complete\"\n"}));
    // The speeds tried before were not understood.
    EXPECT_TRUE(printer.waitForLine("57600: not understood: 7 bytes at 9600 bps\n"));
    EXPECT_TRUE(printer.waitForLine("57600: not understood: 7 bytes at 115200 bps\n"))
        << printer.transcript();
}

TEST_F(SettingsWindow, WriteChangedGroupsThenReadThemBack) {
    ASSERT_NO_FATAL_FAILURE(startAt57600());
    read();
    ASSERT_EQ(form->cboSPEED->currentText(), "57600");

    choose(Group::Codepage, 2);
    choose(Group::ErrorSound, 2);
    choose(Group::PrintSpeed, 0);
    choose(Group::PaperType, 5);
    write();
    EXPECT_TRUE(op.messages.empty()) << op.messages.front().text;
    // 02; 05+08+20; unchanged; 00+08+10+A0.
    EXPECT_TRUE(printer.inOrder({"57600: printed \" Setting Complete\"\n", "57600: cut\n",
                                 "57600: settings write 02 2D 2A B8 ("}));

    // Read back at the speed the automatic read found, which is quicker.
    selectOtherMembers();
    form->Opt_read->button(kManualReadMember)->click();
    read();
    EXPECT_TRUE(op.messages.empty()) << op.messages.front().text;
    std::vector<Expected> written = kPrinterSelections;
    for (Expected& e : written) {
        if (e.group == Group::Codepage) e.member = 2;
        if (e.group == Group::ErrorSound) e.member = 2;
        if (e.group == Group::PrintSpeed) e.member = 0;
        if (e.group == Group::PaperType) e.member = 5;
    }
    expectSelections(written);
    EXPECT_TRUE(
        printer.inOrder({"settings write 02 2D 2A B8 (", "57600: settings read 02 2D 2A B8\n",
                         "57600: printed \" Read Complete\"\n"}));
}

TEST_F(SettingsWindow, ManualReadAtAnotherSpeedTimesOut) {
    ASSERT_NO_FATAL_FAILURE(startAt57600());
    selectOtherMembers();
    form->Opt_read->button(kManualReadMember)->click();
    ASSERT_EQ(form->cboSPEED->currentText(), "9600");
    read();
    EXPECT_EQ(op.messageTexts(), std::vector<std::string>{std::string(kTimeoutMessage)});
    EXPECT_EQ(selected(Group::Codepage), 0);  // untouched
    EXPECT_TRUE(printer.waitForLine("57600: not understood: 7 bytes at 9600 bps\n"))
        << printer.transcript();
    EXPECT_EQ(printer.transcript().find("settings read"), std::string::npos);
    EXPECT_EQ(printer.transcript().find("printed"), std::string::npos);
}

}  // namespace
}  // namespace tessra::testing
