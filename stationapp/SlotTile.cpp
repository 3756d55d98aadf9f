#include "stationapp/SlotTile.h"

#include <QLabel>
#include <QVBoxLayout>
#include <chrono>

namespace tessra::stationapp {

namespace {

const char* colourOf(station::SlotState state) {
    switch (state) {
        case station::SlotState::Waiting:
            return "#dfe6ee";
        case station::SlotState::Provisioning:
            return "#ffe08a";
        case station::SlotState::Done:
            return "#9be39b";
        case station::SlotState::Failed:
            return "#f29b9b";
        case station::SlotState::PortFault:
            return "#f5b971";
        case station::SlotState::Stopped:
            return "#c8c8c8";
    }
    return "#ffffff";
}

QLabel* label(QVBoxLayout* layout, int pointSize, bool bold = false) {
    auto* l = new QLabel;
    QFont f = l->font();
    f.setPointSize(pointSize);
    f.setBold(bold);
    l->setFont(f);
    l->setWordWrap(true);
    layout->addWidget(l);
    return l;
}

}  // namespace

SlotTile::SlotTile(const std::string& port, QWidget* parent) : QFrame(parent) {
    view_.port = port;
    setObjectName(QStringLiteral("slotTile"));
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(280, 180);
    auto* layout = new QVBoxLayout(this);
    port_ = label(layout, 14, true);
    state_ = label(layout, 20, true);
    unit_ = label(layout, 14);
    elapsed_ = label(layout, 14);
    failure_ = label(layout, 11);
    layout->addStretch();
    port_->setText(QString::fromStdString(port));
    refresh();
}

void SlotTile::follow(const station::Event& event) {
    view_.follow(event);
    refresh();
}

void SlotTile::refresh() {
    using station::SlotState;
    QString state = QString::fromStdString(std::string(station::stateWords(view_.state)));
    if (view_.state == SlotState::Provisioning && !view_.step.empty()) {
        state += QStringLiteral(": ") + QString::fromStdString(view_.step);
    }
    state_->setText(state);
    QString unit;
    if (!view_.mac.empty()) unit = QStringLiteral("MAC ") + QString::fromStdString(view_.mac);
    if (view_.customerCode) {
        unit += QStringLiteral("   customer code %1").arg(*view_.customerCode);
    }
    unit_->setText(unit);
    const auto elapsed = view_.elapsed(std::chrono::system_clock::now());
    elapsed_->setText(elapsed ? QStringLiteral("%1 s").arg(*elapsed, 0, 'f', 1) : QString());
    failure_->setText(QString::fromStdString(view_.failure) +
                      (view_.hint.empty()
                           ? QString()
                           : QStringLiteral("\n") + QString::fromStdString(view_.hint)));
    setAccessibleName(QStringLiteral("Slot ") + QString::fromStdString(view_.port));
    setAccessibleDescription(QString::fromStdString(view_.description()));
    if (shownState_ == view_.state) return;
    shownState_ = view_.state;
    setStyleSheet(QStringLiteral("QFrame#slotTile { background: %1; border: 2px solid #555; "
                                 "border-radius: 6px; }"
                                 "QFrame#slotTile:focus { border: 4px solid #000; }")
                      .arg(QLatin1String(colourOf(view_.state))));
}

}  // namespace tessra::stationapp
