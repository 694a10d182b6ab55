#include "view/StatePanel.h"

#include <QComboBox>
#include <QLabel>
#include <QSlider>
#include <QTimer>

#include "app/MainForm/MainForm.h"
#include "settings/AboutBoxUnit/AboutBoxUnit.h"

StatePanel::StatePanel(TForm1& form) : form_(form) {}

void StatePanel::displayModeChange() {
    displayItem = form_.CBShow->currentIndex();
    previousItem = displayItem;
    timerRule();
}

void StatePanel::textStateRoutine() {}

void StatePanel::overlayRoutine() {}

void StatePanel::handBrakeChange() {
    const uint32_t position = static_cast<uint32_t>(form_.TrackBarSpeed->value());
    if (position != 100) form_.Label19->setText(QStringLiteral("stop ^"));
    const uint32_t coefficient =
        form_.aboutBox ? static_cast<uint32_t>(form_.aboutBox->handBrakeCoefficient()) : 0u;
    const uint32_t factor = displayItem == 0 ? 5u : displayItem == 1 ? 3u : 1u;
    form_.world.handBrakeCount = position * coefficient * position * factor;
}

void StatePanel::pauseLinkClick() {}

void StatePanel::timerRule() {
    if (form_.aboutBox) form_.aboutBox->ComboBoxTimerChange();
}

void StatePanel::timerEvent() { textStateRoutine(); }

void StatePanel::labelsEnable(bool) {}

void StatePanel::runStartDuties() {}

void StatePanel::afterAntsRead() {}

void StatePanel::runEndDuties() {
    form_.Timer1->stop();
    form_.TrackBarSpeed->setValue(savedBrakePosition);
}
