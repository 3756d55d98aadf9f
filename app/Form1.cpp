#include "app/Form1.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>

#include "app/QtText.h"
#include "app/WindowTexts.h"
#include "commands/CommandHandlers.h"
#include "models/Profiles.h"

namespace tessra::app {

using settings::Group;

Form1::Form1(SerialPort& port, Clock& clock, Operator& op, QWidget* parent)
    : QMainWindow(parent), port_(port) {
    buildUi();
    panel_ = std::make_unique<ButtonGroupPanel>(groups_);
    surface_ = std::make_unique<WidgetSurface>(*this);
    printer_ = std::make_unique<printer::LinkPrinter>(port, clock, op, lineChoice_);
    macFrame_ = std::make_unique<app::MacAddressFrame>(*printer_, mac, macView_);
    customerCodeFrame_ = std::make_unique<app::CustomerCodeFrame>(*printer_, customerCodeView_);
    dispatch_ = std::make_unique<ReadWriteDispatch>(ReadWriteDispatch{
        readWriteButtons_, mblnReady, *printer_, [this](int& kind, std::string& message) {
            QAbstractButton* method = Opt_read->checkedButton();
            SettingsContext context{
                *printer_, *panel_, Setting_Block, mblnReady,
                method ? std::optional<int>(Opt_read->id(method)) : std::nullopt};
            Comm_Setting(context, kind, message);
        }});
    connectHandlers();
    Form_Load();
}

Form1::~Form1() = default;

namespace {
void check(QButtonGroup* group, int id) {
    group->button(id)->setChecked(true);
}
}  // namespace

void Form1::Form_Load() {
    for (std::string_view s : kSpeedTexts) cboSPEED->addItem(qstr(s));
    cboSPEED->setCurrentIndex(kStartupSpeedIndex);
    cboSPEED->setEnabled(false);

    for (const ParityChoice& p : kParities) cboPARITY->addItem(qstr(p.caption));
    cboPARITY->setCurrentIndex(0);
    cboPARITY->setEnabled(false);

    check(OptCOM, kComInterface);

    check(optionGroup(Group::Codepage), 0);
    check(optionGroup(Group::Autocut), 0);
    check(optionGroup(Group::AutocutMode), 0);
    check(optionGroup(Group::PrintSpeed), 0);
    check(optionGroup(Group::ErrorSound), 0);
    check(optionGroup(Group::SerialBaudrate), 0);
    check(optionGroup(Group::SerialParityBit), 0);
    check(optionGroup(Group::SerialHandshaking), 0);
    check(optionGroup(Group::UsbMode), 1);
    check(optionGroup(Group::Width), 0);
    check(Opt_PRT_MODEL, static_cast<int>(models::Model::Orrin));
    check(Opt_read, kAutoReadMember);

    mblnReady = true;

    check(optionGroup(Group::ExtBuzzer), 0);
    check(optionGroup(Group::FontSystem), 0);
    check(optionGroup(Group::PaperType), 0);

    for (const auto& w : commands::kWirelessColumn)
        setBold(commandButton(w.control), &w == &commands::kWirelessColumn.front());

    Text13->setEnabled(false);
    Command20[1]->setEnabled(false);

    setBold(Text14, true);
    setBold(Text15, true);

    for (const auto& b : commands::kMaintenanceColumn) {
        if (b.alwaysDisabled) commandButton(b.control)->setEnabled(false);
    }
    Command12->setEnabled(false);
    Command13->setEnabled(false);
    for (int n = 1; n <= 3; ++n) VScroll[n]->setEnabled(false);
    Label4->setEnabled(false);
    Check1->setEnabled(false);

    mac.mblnLevel1Passed = false;

    show();
}

void Form1::OptCOM_Click(int Index) {
    if (Index != kComInterface) return;
    cboPORT->clear();
    cboSPEED->setEnabled(true);
    cboSPEED->setVisible(true);
    cboPARITY->setEnabled(true);
    cboPARITY->setVisible(true);
    cboPORT->setEnabled(true);
    cboPORT->setVisible(true);
    for (int n = 1; n <= kPortCount; ++n) cboPORT->addItem(qstr(portCaption(n)));
    refreshPortToolTips();
    Frame11->setVisible(true);
    cboPORT->setCurrentIndex(0);
    IPTXT->setVisible(false);
    cmdSelPage[0]->setEnabled(true);
}

void Form1::refreshPortToolTips() {
    const std::vector<FoundPort> found = port_.foundPorts();
    for (int i = 0; i < cboPORT->count(); ++i) {
        const std::string device = port_.deviceName(i + 1);
        cboPORT->setItemData(i, qstr(describeDevice(device, found)), Qt::ToolTipRole);
    }
}

void Form1::Opt_PRT_MODEL_Click(int Index) {
    models::applyProfile(*surface_, Index);
}

void Form1::cmdSelPage_Click(int Index) {
    tessra::cmdSelPage_Click(*dispatch_, Index);
}

void Form1::Command12_Click() {
    macFrame_->Command12_Click();
}
void Form1::Command13_Click() {
    macFrame_->Command13_Click();
}
void Form1::Command20_Click(int Index) {
    customerCodeFrame_->Command20_Click(Index);
}

void Form1::Command_Click(const commands::CommandButton& button) {
    // Every failure has been shown as it happened.
    printer_->run(button.name);
}

void Form1::Wireless_Click(const commands::WirelessButton& button) {
    const auto sent = printer_->setWireless(button.mode);
    if (!sent && sent.failure().kind == printer::FailureKind::Busy)
        return;  // dropped: another operation runs
    for (const auto& w : commands::kWirelessColumn)
        setBold(commandButton(w.control), &w == &button);
}

void Form1::connectHandlers() {
    const auto onSelect = [this](QButtonGroup* group, void (Form1::*handler)(int)) {
        connect(group, &QButtonGroup::idToggled, this, [this, handler](int id, bool checked) {
            if (checked) (this->*handler)(id);
        });
    };
    onSelect(OptCOM, &Form1::OptCOM_Click);
    onSelect(Opt_PRT_MODEL, &Form1::Opt_PRT_MODEL_Click);

    for (int i = 0; i < 2; ++i)
        connect(cmdSelPage[i], &QPushButton::clicked, this, [this, i] { cmdSelPage_Click(i); });

    for (const auto table : {std::span<const commands::CommandButton>(commands::kMaintenanceColumn),
                             std::span<const commands::CommandButton>(commands::kPaperButtons)}) {
        for (const commands::CommandButton& b : table) {
            if (b.alwaysDisabled) continue;
            connect(commandButton(b.control), &QPushButton::clicked, this,
                    [this, &b] { Command_Click(b); });
        }
    }
    for (const commands::WirelessButton& w : commands::kWirelessColumn)
        connect(commandButton(w.control), &QPushButton::clicked, this,
                [this, &w] { Wireless_Click(w); });

    connect(Command12, &QPushButton::clicked, this, &Form1::Command12_Click);
    connect(Command13, &QPushButton::clicked, this, &Form1::Command13_Click);
    for (int i = 0; i < 2; ++i)
        connect(Command20[i], &QPushButton::clicked, this, [this, i] { Command20_Click(i); });

    const std::array<void (app::MacAddressFrame::*)(int), 4> spinnerChanged{
        nullptr, &app::MacAddressFrame::VScroll1_Change, &app::MacAddressFrame::VScroll2_Change,
        &app::MacAddressFrame::VScroll3_Change};
    const std::array<void (app::MacAddressFrame::*)(), 4> octetChanged{
        nullptr, &app::MacAddressFrame::Text4_Change, &app::MacAddressFrame::Text5_Change,
        &app::MacAddressFrame::Text6_Change};
    for (std::size_t n = 1; n <= 3; ++n) {
        const auto onSpinner = spinnerChanged[n];
        const auto onText = octetChanged[n];
        connect(VScroll[n], &QScrollBar::valueChanged, this,
                [this, onSpinner](int value) { ((*macFrame_).*onSpinner)(value); });
        connect(Text[n + 3], &QLineEdit::textChanged, this,
                [this, onText] { ((*macFrame_).*onText)(); });
    }
}

}  // namespace tessra::app
