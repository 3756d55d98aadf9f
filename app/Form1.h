#pragma once

#include <QMainWindow>
#include <array>
#include <cstdint>
#include <memory>

#include "app/ButtonGroupPanel.h"
#include "app/CustomerCodeFrame.h"
#include "app/FormViews.h"
#include "app/MacAddressFrame.h"
#include "app/ReadWriteDispatch.h"
#include "app/WidgetSurface.h"
#include "commands/ButtonTables.h"
#include "link/Clock.h"
#include "link/LineSettings.h"
#include "link/Operator.h"
#include "link/PrinterLink.h"
#include "link/SerialPort.h"
#include "printer/LinkPrinter.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QScrollBar;

namespace tessra::app {

// The utility's one window. It drives the printer core attended (its boxes,
// its event passes, its line choice of port, speed and parity in the
// "Interface" frame); its handlers turn the core's outcomes into its own
// boxes and control states.
class Form1 final : public QMainWindow {
    Q_OBJECT

public:
    Form1(SerialPort& port, Clock& clock, Operator& op, QWidget* parent = nullptr);
    ~Form1() override;

    PrinterLink& link() { return printer_->link(); }
    printer::LinkPrinter& printer() { return *printer_; }
    settings::OptionPanel& optionPanel() { return *panel_; }
    models::ControlSurface& controlSurface() { return *surface_; }
    QButtonGroup* optionGroup(settings::Group group) const { return panel_->group(group); }

    LineChoice& lineChoice() { return lineChoice_; }
    // Each port entry's tool tip shows the device it opens and the system's
    // description of it. Changes nothing else: entries and selection stay.
    void refreshPortToolTips();
    app::MacAddressFrame& macFrame() { return *macFrame_; }

    // Handlers
    void Form_Load();
    void OptCOM_Click(int Index);
    void Opt_PRT_MODEL_Click(int Index);
    void cmdSelPage_Click(int Index);
    // Maintenance and paper buttons, connected with their table entry.
    void Command_Click(const commands::CommandButton& button);
    // Wireless module buttons, connected with their table entry.
    void Wireless_Click(const commands::WirelessButton& button);

    void Command12_Click();
    void Command13_Click();
    void Command20_Click(int Index);

    // State that outlives a click.
    settings::Block Setting_Block{};
    bool mblnReady = false;
    // mbytMac4 to mbytMac6 and mblnLevel1Passed.
    app::MacRows mac;

    // Controls, by their names in the window.
    QGroupBox* Frame1 = nullptr;
    QButtonGroup* OptCOM = nullptr;
    QComboBox* cboPORT = nullptr;
    QComboBox* cboSPEED = nullptr;
    QComboBox* cboPARITY = nullptr;
    QGroupBox* Frame11 = nullptr;
    QButtonGroup* Opt_read = nullptr;
    QGroupBox* Frame12 = nullptr;
    QLineEdit* IPTXT = nullptr;
    QButtonGroup* Opt_PRT_MODEL = nullptr;
    std::array<QPushButton*, 2> cmdSelPage{};

    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* Command3 = nullptr;
    QPushButton* Command5 = nullptr;
    QPushButton* Command14 = nullptr;
    QPushButton* Command15 = nullptr;
    QPushButton* Command16 = nullptr;
    QPushButton* Command17 = nullptr;
    QPushButton* Command18 = nullptr;
    QPushButton* Command19 = nullptr;
    QPushButton* Command21 = nullptr;

    QPushButton* Command12 = nullptr;
    QPushButton* Command13 = nullptr;
    // Text1 to Text6 (save row) and Text7 to Text12 (read-back row), by number.
    std::array<QLineEdit*, 13> Text{};
    std::array<QScrollBar*, 4> VScroll{};  // VScroll1 to VScroll3, by number
    QLabel* Label4 = nullptr;
    QCheckBox* Check1 = nullptr;

    QGroupBox* Frame17 = nullptr;
    QLineEdit* Text13 = nullptr;
    std::array<QPushButton*, 2> Command20{};

    QPlainTextEdit* Text14 = nullptr;
    QPlainTextEdit* Text15 = nullptr;
    QFrame* Line1 = nullptr;

private:
    void buildUi();
    QWidget* buildInterfacePanel();
    QWidget* buildCodePage();
    QWidget* buildSettingsFrames();
    QWidget* buildMaintenanceColumn();
    QWidget* buildPaperAndWireless();
    QWidget* buildMacRows();
    QWidget* buildCustomerCode();
    QWidget* buildNotices();
    QGroupBox* buildOptionFrame(settings::Group group, int rows);
    QPushButton* commandButton(std::string_view name) const;
    void connectHandlers();

    SerialPort& port_;
    ButtonGroupPanel::Groups groups_{};
    std::unique_ptr<ButtonGroupPanel> panel_;
    std::unique_ptr<WidgetSurface> surface_;
    std::unique_ptr<printer::LinkPrinter> printer_;
    FormLineChoice lineChoice_{*this};
    FormMacView macView_{*this};
    FormCustomerCodeView customerCodeView_{*this};
    FormReadWriteButtons readWriteButtons_{*this};
    std::unique_ptr<app::MacAddressFrame> macFrame_;
    std::unique_ptr<app::CustomerCodeFrame> customerCodeFrame_;
    std::unique_ptr<ReadWriteDispatch> dispatch_;
};

}  // namespace tessra::app
