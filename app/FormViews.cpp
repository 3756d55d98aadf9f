#include "app/FormViews.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>

#include "app/Form1.h"
#include "app/QtText.h"

namespace tessra::app {

int FormLineChoice::portIndex() const {
    return form_.cboPORT->currentIndex();
}

std::string FormLineChoice::speedText() const {
    return form_.cboSPEED->currentText().toStdString();
}

int FormLineChoice::parityIndex() const {
    return form_.cboPARITY->currentIndex();
}

void FormLineChoice::showDetected(int speedIndex, int parityIndex) {
    form_.cboSPEED->setCurrentIndex(speedIndex);
    form_.cboPARITY->setCurrentIndex(parityIndex);
}

void FormMacView::setText(int textBox, std::string_view text) {
    form_.Text.at(static_cast<std::size_t>(textBox))->setText(qstr(text));
}

void FormMacView::setSpinner(int spinner, int value) {
    form_.VScroll.at(static_cast<std::size_t>(spinner))->setValue(value);
}

bool FormMacView::autoIncrementChecked() const {
    return form_.Check1->isChecked();
}

void FormMacView::setAutoIncrementEnabled(bool enabled) {
    form_.Check1->setEnabled(enabled);
}

std::string FormCustomerCodeView::customerCodeText() const {
    return form_.Text13->text().toStdString();
}

void FormCustomerCodeView::setCustomerCodeText(std::string_view text) {
    form_.Text13->setText(qstr(text));
}

void FormCustomerCodeView::enableCustomerCodeWrite() {
    form_.Text13->setEnabled(true);
    form_.Command20[1]->setEnabled(true);
}

bool FormReadWriteButtons::isEnabled(int index) const {
    return form_.cmdSelPage.at(static_cast<std::size_t>(index))->isEnabled();
}

void FormReadWriteButtons::setEnabled(int index, bool on) {
    form_.cmdSelPage.at(static_cast<std::size_t>(index))->setEnabled(on);
}

void FormReadWriteButtons::setFocus(int index) {
    form_.cmdSelPage.at(static_cast<std::size_t>(index))->setFocus();
}

}  // namespace tessra::app
