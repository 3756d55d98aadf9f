// Read and Write of the settings block from the window, against the virtual
// printer through the real serial adapter.
#include <termios.h>

#include <QAbstractButton>
#include <QButtonGroup>
#include <QComboBox>
#include <QPushButton>
#include <algorithm>
#include <fstream>

#include "WindowWithPrinter.h"
#include "app/SettingsTransaction.h"

namespace tessra::testing {
namespace {

using settings::Group;

// 57600 bps with every byte off its default: code page 16; Xon/Xoff, Int
// Sound, no parity; USB disabled, buzzer pattern 2, full cut only, cutter
// installed; Lv4, 58mm, 48CPL, paper type 3.
constexpr const char* kPrinterBlock = "10 1D 2A 7B";
const std::vector<std::pair<Group, int>> kPrinterSelections{
    {Group::Codepage, 16},         {Group::SerialBaudrate, 5}, {Group::SerialParityBit, 0},
    {Group::SerialHandshaking, 1}, {Group::ErrorSound, 1},     {Group::UsbMode, 2},
    {Group::ExtBuzzer, 1},         {Group::AutocutMode, 1},    {Group::Autocut, 0},
    {Group::PrintSpeed, 3},        {Group::Width, 1},          {Group::FontSystem, 1},
    {Group::PaperType, 3},
};

const std::vector<std::pair<Group, int>> kChanges{
    {Group::Codepage, 2}, {Group::ErrorSound, 2}, {Group::PrintSpeed, 0}, {Group::PaperType, 5}};

class SettingsWindow : public WindowWithPrinter {
protected:
    void choose(Group group, int index) const { form->optionGroup(group)->button(index)->click(); }
    // Moves every group away from the given selections, then reads.
    void readOver(const std::vector<std::pair<Group, int>>& expected) {
        for (const auto& [group, member] : expected) choose(group, member == 0 ? 1 : 0);
        form->cmdSelPage[0]->click();
        EXPECT_TRUE(op.messages.empty()) << op.messages.front().text;
        for (const auto& [group, member] : expected)
            EXPECT_EQ(form->optionPanel().selected(group), member) << static_cast<int>(group);
    }
};

TEST_F(SettingsWindow, AutoReadFindsThePrinterAt57600ThenWriteAndReadBack) {
    const std::string state = (printer.dir() / "flash").string();
    std::ofstream(state) << "block " << kPrinterBlock << "\nmac 0A 5C 3E 00 00 01\n"
                         << "customer-code 1\nwireless-mode 0\ncuts 0\nprints 0\n";
    ASSERT_NO_FATAL_FAILURE(start({"--state", state, "--speed", "57600"}));
    termios line{};  // as a run killed at the search's odd-parity try leaves the terminal
    const int fd = ::open(printer.link().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_EQ(::tcgetattr(fd, &line), 0);
    line.c_cflag |= PARENB | PARODD;
    ASSERT_EQ(::tcsetattr(fd, TCSANOW, &line) + ::close(fd), 0);
    readOver(kPrinterSelections);  // Auto is the start-up method
    EXPECT_EQ(form->cboSPEED->currentText(), "57600");
    EXPECT_TRUE(logged("57600: not understood: 7 bytes at 9600 bps\n")) << printer.transcript();

    std::vector<std::pair<Group, int>> written = kPrinterSelections;
    for (const auto& [group, member] : kChanges) {
        choose(group, member);
        std::ranges::find(written, group, &std::pair<Group, int>::first)->second = member;
    }
    form->cmdSelPage[1]->click();
    EXPECT_TRUE(op.messages.empty()) << op.messages.front().text;
    // 02; 05+08+20; unchanged; 00+08+10+A0.
    EXPECT_TRUE(loggedInOrder({"57600: printed \" Setting Complete\"\n", "57600: cut\n",
                               "57600: settings write 02 2D 2A B8 ("}));

    // Back at the speed the automatic read found, which is quicker.
    form->Opt_read->button(kManualReadMember)->click();
    readOver(written);
    EXPECT_TRUE(loggedInOrder({"settings write 02 2D 2A B8 (", "57600: settings read 02 2D 2A B8\n",
                               "57600: printed \" Read Complete\"\n"}));
}

}  // namespace
}  // namespace tessra::testing
