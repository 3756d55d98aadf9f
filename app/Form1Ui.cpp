// Builds the controls of the window in their design state; Form_Load then
// puts them into their start-up state.
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QVBoxLayout>

#include "app/Form1.h"
#include "app/OctetSpinner.h"
#include "app/QtText.h"
#include "app/WindowTexts.h"
#include "commands/CommandHandlers.h"
#include "identity/IdentityTexts.h"
#include "identity/MacAddress.h"
#include "models/Profiles.h"

namespace tessra::app {

using settings::Group;

namespace {

QString memberName(std::string_view array, int index) {
    return qstr(array) + QLatin1Char('_') + QString::number(index);
}

QButtonGroup* makeGroup(QObject* owner, std::string_view name) {
    auto* g = new QButtonGroup(owner);
    g->setObjectName(qstr(name));
    g->setExclusive(true);
    return g;
}

QRadioButton* addMember(QButtonGroup* group, int index, std::string_view caption) {
    auto* b = new QRadioButton(qstr(caption));
    b->setObjectName(memberName(group->objectName().toStdString(), index));
    group->addButton(b, index);
    return b;
}

const QMargins kFrameMargins(8, 2, 8, 4);

QGroupBox* frame(std::string_view name, std::string_view caption) {
    auto* f = new QGroupBox(qstr(caption));
    f->setObjectName(qstr(name));
    return f;
}

QPushButton* button(std::string_view name, std::string_view caption, bool bold = false) {
    auto* b = new QPushButton(qstr(caption));
    b->setObjectName(qstr(name));
    if (bold) setBold(b, true);
    return b;
}

// Display-only boxes are disabled, yet their text must stay legible.
void keepTextColour(QWidget* w, const QColor& colour) {
    QPalette p = w->palette();
    p.setColor(QPalette::Disabled, QPalette::Text, colour);
    w->setPalette(p);
}

QLineEdit* displayBox(std::string_view name, std::string_view text) {
    auto* e = new QLineEdit(qstr(text));
    e->setObjectName(qstr(name));
    e->setReadOnly(true);
    e->setEnabled(false);
    e->setAlignment(Qt::AlignCenter);
    e->setFixedWidth(40);
    keepTextColour(e, e->palette().color(QPalette::Active, QPalette::Text));
    return e;
}

QPlainTextEdit* notice(std::string_view name, std::string_view text, const QColor& colour) {
    auto* t = new QPlainTextEdit(qstr(text));
    t->setObjectName(qstr(name));
    t->setReadOnly(true);
    t->setEnabled(false);
    t->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QPalette p = t->palette();
    for (auto state : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        p.setColor(state, QPalette::Text, colour);
    t->setPalette(p);
    return t;
}

}  // namespace

QPushButton* Form1::commandButton(std::string_view name) const {
    return findChild<QPushButton*>(qstr(name));
}

QGroupBox* Form1::buildOptionFrame(Group group, int rows) {
    const settings::OptionGroup& table = settings::optionGroup(group);
    QGroupBox* f = frame(table.frame, table.frameCaption);
    QButtonGroup* g = makeGroup(this, table.name);
    groups_[static_cast<int>(group)] = g;
    auto* grid = new QGridLayout(f);
    grid->setContentsMargins(kFrameMargins);
    grid->setVerticalSpacing(0);
    grid->setHorizontalSpacing(12);
    int i = 0;
    for (const settings::Member& m : table.members) {
        grid->addWidget(addMember(g, m.index, m.caption), i % rows, i / rows);
        ++i;
    }
    grid->setRowStretch(rows, 1);
    return f;
}

QWidget* Form1::buildInterfacePanel() {
    auto* panel = new QWidget;
    auto* v = new QVBoxLayout(panel);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(4);

    Frame1 = frame("Frame1", kInterfaceFrame);
    auto* f1 = new QVBoxLayout(Frame1);
    f1->setContentsMargins(kFrameMargins);
    OptCOM = makeGroup(this, "OptCOM");
    auto* interfaces = new QHBoxLayout;
    for (int i = 0; i < static_cast<int>(kInterfaces.size()); ++i) {
        QRadioButton* b = addMember(OptCOM, i, kInterfaces[static_cast<std::size_t>(i)]);
        b->setEnabled(i == kComInterface);  // only the serial link exists
        interfaces->addWidget(b);
    }
    f1->addLayout(interfaces);
    auto* form = new QFormLayout;
    const auto combo = [&](std::string_view labelName, std::string_view caption,
                           std::string_view name) {
        auto* label = new QLabel(qstr(caption));
        label->setObjectName(qstr(labelName));
        auto* c = new QComboBox;
        c->setObjectName(qstr(name));
        form->addRow(label, c);
        return c;
    };
    cboPORT = combo("Label1", kPortLabel, "cboPORT");
    cboSPEED = combo("Label2", kSpeedLabel, "cboSPEED");
    cboPARITY = combo("Label3", kParityLabel, "cboPARITY");
    f1->addLayout(form);
    v->addWidget(Frame1);

    Frame11 = frame("Frame11", kReadMethodFrame);
    auto* f11 = new QHBoxLayout(Frame11);
    f11->setContentsMargins(kFrameMargins);
    Opt_read = makeGroup(this, "Opt_read");
    for (int i = 0; i < static_cast<int>(kReadMethods.size()); ++i)
        f11->addWidget(addMember(Opt_read, i, kReadMethods[static_cast<std::size_t>(i)]));
    v->addWidget(Frame11);

    Frame12 = frame("Frame12", kIpAddressFrame);
    auto* f12 = new QHBoxLayout(Frame12);
    f12->setContentsMargins(kFrameMargins);
    IPTXT = new QLineEdit;
    IPTXT->setObjectName("IPTXT");
    f12->addWidget(IPTXT);
    v->addWidget(Frame12);

    auto* models = new QFrame;
    models->setFrameShape(QFrame::StyledPanel);
    auto* m = new QHBoxLayout(models);
    Opt_PRT_MODEL = makeGroup(this, "Opt_PRT_MODEL");
    for (int i = 0; i < static_cast<int>(models::kModelCaptions.size()); ++i)
        m->addWidget(
            addMember(Opt_PRT_MODEL, i, models::kModelCaptions[static_cast<std::size_t>(i)]));
    v->addWidget(models);

    auto* rw = new QHBoxLayout;
    for (int i = 0; i < 2; ++i) {
        cmdSelPage[static_cast<std::size_t>(i)] =
            button(memberName("cmdSelPage", i).toStdString(),
                   kReadWriteButtons[static_cast<std::size_t>(i)]);
        cmdSelPage[static_cast<std::size_t>(i)]->setMinimumHeight(34);
        rw->addWidget(cmdSelPage[static_cast<std::size_t>(i)]);
    }
    v->addLayout(rw);
    v->addStretch(1);
    return panel;
}

QWidget* Form1::buildCodePage() {
    return buildOptionFrame(Group::Codepage, 13);
}

QWidget* Form1::buildSettingsFrames() {
    auto* row = new QWidget;
    auto* h = new QHBoxLayout(row);
    h->setContentsMargins(0, 0, 0, 0);
    // Frames per column, in window order after the code page.
    constexpr std::array<int, 7> kFramesPerColumn{1, 2, 2, 2, 2, 2, 1};
    std::size_t next = 1;
    for (int count : kFramesPerColumn) {
        auto* column = new QVBoxLayout;
        column->setSpacing(2);
        for (int k = 0; k < count; ++k) {
            const Group g = settings::kWindowOrder[next++];
            column->addWidget(
                buildOptionFrame(g, static_cast<int>(settings::optionGroup(g).members.size())));
        }
        column->addStretch(1);
        h->addLayout(column);
    }
    return row;
}

QWidget* Form1::buildMaintenanceColumn() {
    auto* panel = new QWidget;
    auto* column = new QVBoxLayout(panel);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(3);
    for (const commands::CommandButton& b : commands::kMaintenanceColumn)
        column->addWidget(button(b.control, b.caption, b.bold));
    column->addStretch(1);
    return panel;
}

QWidget* Form1::buildPaperAndWireless() {
    auto* panel = new QWidget;
    auto* v = new QVBoxLayout(panel);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(3);

    // Below the maintenance column, to its left.
    auto* paperRow = new QHBoxLayout;
    auto* paper = new QVBoxLayout;
    paper->setSpacing(3);
    for (const commands::CommandButton& b : commands::kPaperButtons)
        paper->addWidget(button(b.control, b.caption, b.bold));
    paperRow->addLayout(paper, 2);
    paperRow->addStretch(1);
    v->addLayout(paperRow);
    v->addSpacing(10);

    for (const commands::WirelessButton& w : commands::kWirelessColumn)
        v->addWidget(button(w.control, w.designCaption));
    v->addStretch(1);
    return panel;
}

QWidget* Form1::buildMacRows() {
    auto* rows = new QWidget;
    auto* grid = new QGridLayout(rows);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(4);

    // Upper row reads the address back, lower row holds the one to write.
    Command12 = button("Command12", kMacLoadButton);
    Command13 = button("Command13", kMacSaveButton);
    grid->addWidget(Command12, 0, 0);
    grid->addWidget(Command13, 1, 0);

    for (int octet = 0; octet < 6; ++octet) {
        const int column = 1 + 2 * octet;
        const int readBack = 7 + octet;
        const int save = 1 + octet;
        Text[readBack] = displayBox("Text" + std::to_string(readBack), kReadBackText);
        // The fixed prefix as two hex digits, then "00" until an octet is written.
        const std::uint8_t startOctet =
            octet < 3 ? identity::kMacPrefix[static_cast<std::size_t>(octet)] : 0;
        Text[save] = displayBox(
            "Text" + std::to_string(save),
            QStringLiteral("%1").arg(startOctet, 2, 16, QLatin1Char('0')).toUpper().toStdString());
        grid->addWidget(Text[readBack], 0, column);
        grid->addWidget(Text[save], 1, column);
        if (octet >= 3) {
            const int n = octet - 2;
            auto* s = new OctetSpinner;
            s->setObjectName(QStringLiteral("VScroll%1").arg(n));
            s->setFixedSize(18, Text[save]->sizeHint().height() + 6);
            VScroll[static_cast<std::size_t>(n)] = s;
            grid->addWidget(s, 1, column + 1);
        }
    }

    auto* increment = new QVBoxLayout;
    increment->setSpacing(0);
    Label4 = new QLabel(qstr(kAutoIncrementLabel));
    Label4->setObjectName("Label4");
    Check1 = new QCheckBox;
    Check1->setObjectName("Check1");
    increment->addWidget(Label4);
    increment->addWidget(Check1, 0, Qt::AlignHCenter);
    grid->addLayout(increment, 1, 13);
    grid->setColumnMinimumWidth(12, 18);
    grid->setColumnStretch(14, 1);
    return rows;
}

QWidget* Form1::buildCustomerCode() {
    Frame17 = frame("Frame17", kCustomerCodeFrame);
    auto* v = new QVBoxLayout(Frame17);
    v->setContentsMargins(kFrameMargins);
    Text13 = new QLineEdit(qstr(kCustomerCodeText));
    Text13->setObjectName("Text13");
    Text13->setToolTip(qstr(identity::kCustomerCodeRangeMessage));
    v->addWidget(Text13);
    for (int i = 0; i < 2; ++i) {
        auto* b = button(memberName("Command20", i).toStdString(),
                         kCustomerCodeButtons[static_cast<std::size_t>(i)]);
        Command20[static_cast<std::size_t>(i)] = b;
        v->addWidget(b);
    }
    return Frame17;
}

QWidget* Form1::buildNotices() {
    auto* box = new QWidget;
    auto* v = new QVBoxLayout(box);
    v->setContentsMargins(0, 0, 0, 0);
    Text15 = notice("Text15", kNoticeEnglish, palette().color(QPalette::Active, QPalette::Text));
    Text14 = notice("Text14", kNoticeKorean, Qt::red);
    for (QPlainTextEdit* t : {Text15, Text14}) {
        t->setFixedHeight(3 * t->fontMetrics().lineSpacing() + 12);
        v->addWidget(t);
    }
    return box;
}

void Form1::buildUi() {
    setWindowTitle(qstr(kWindowTitle));
    auto* central = new QWidget;
    setCentralWidget(central);
    statusBar();

    // Three bands; the command buttons and the customer code stand in a
    // column of their own on the right.
    constexpr int kRightColumnWidth = 240;
    const auto band = [](QVBoxLayout* outer, std::initializer_list<std::pair<QWidget*, int>> parts,
                         QWidget* right) {
        auto* h = new QHBoxLayout;
        for (const auto& [w, stretch] : parts) h->addWidget(w, stretch);
        right->setFixedWidth(kRightColumnWidth);
        h->addWidget(right);
        outer->addLayout(h);
    };
    auto* outer = new QVBoxLayout(central);
    outer->setContentsMargins(8, 6, 8, 4);
    outer->setSpacing(6);
    band(outer, {{buildInterfacePanel(), 0}, {buildCodePage(), 1}}, buildMaintenanceColumn());
    band(outer, {{buildSettingsFrames(), 1}}, buildPaperAndWireless());

    Line1 = new QFrame;
    Line1->setObjectName("Line1");
    Line1->setFrameShape(QFrame::HLine);
    Line1->setFrameShadow(QFrame::Sunken);
    outer->addWidget(Line1);

    band(outer, {{buildMacRows(), 0}, {buildNotices(), 1}}, buildCustomerCode());
    outer->addStretch(1);

    Command1 = commandButton("Command1");
    Command2 = commandButton("Command2");
    Command3 = commandButton("Command3");
    Command5 = commandButton("Command5");
    Command14 = commandButton("Command14");
    Command15 = commandButton("Command15");
    Command16 = commandButton("Command16");
    Command17 = commandButton("Command17");
    Command18 = commandButton("Command18");
    Command19 = commandButton("Command19");
    Command21 = commandButton("Command21");
}

}  // namespace tessra::app
