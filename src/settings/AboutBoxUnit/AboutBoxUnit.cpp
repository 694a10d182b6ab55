// Handlers of the settings dialog: memory choice, ant maximum and mode, states and spectrum,
// hand brake coefficient, refresh period, and the limits that follow from them.

#include "settings/AboutBoxUnit/AboutBoxUnit.h"

#include <algorithm>

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QRadioButton>
#include <QShowEvent>
#include <QTimer>

#include "app/Dialogs.h"
#include "core/RunSetup.h"
#include "definitions/NumberText.h"
#include "settings/AboutBoxUnit/RadioGroup.h"
#include "settings/AboutBoxUnit/SettingsHost.h"
#include "core/IntegerDivision.h"
#include "view/ImageSurface.h"

namespace {

constexpr int32_t SecondsWhenUnreadable = 3;

QColor toQColor(qm::ColourRef colour) { return QColor::fromRgb(qm::toArgb(colour)); }

}  // namespace

// --- Shown, closed, links ---

void TAboutBox::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

void TAboutBox::FormShow() { recomputeLimits(); }

void TAboutBox::done(int result) {
    FormClose();
    QDialog::done(result);
}

void TAboutBox::FormClose() {
    int32_t coefficient = qm::textToInt32Or(Edit1->text().toStdString(), InvalidHandBrakeCoefficient);
    if (coefficient > MaxHandBrakeCoefficient) coefficient = MaxHandBrakeCoefficient;
    // A negative count would never let the brake release; it means the same as no brake.
    if (coefficient < 0) coefficient = 0;
    handBrakeCoefficient_ = coefficient;
    Edit1->setText(QString::number(coefficient));
    host_->applyHandBrake();
}

bool TAboutBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Label18 && linkClick_.completes(Label18, event)) {
        Label18Click();
        return true;
    }
    if (watched == Label17 && linkClick_.completes(Label17, event)) {
        Label17Click();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TAboutBox::Label18Click() {
    if (dialogs_) dialogs_->openUrl(QString::fromLatin1(ProductHomePage));
}

void TAboutBox::Label17Click() {
    if (dialogs_) dialogs_->openUrl(QString::fromLatin1(MakerHomePage));
}

void TAboutBox::showError(const char* text) {
    if (dialogs_) dialogs_->showMessage(text, qm::BoxType::Error, qm::BoxButtons::Ok);
}

// --- Memory choice and limits ---

int TAboutBox::memoryItem() const { return RadioGroupMem->itemIndex(); }

bool TAboutBox::continueChecked() const { return CheckBoxContinue->isChecked(); }

int TAboutBox::spectrumItem() const { return RadioGroupCS->itemIndex(); }

void TAboutBox::applyWorldSettings(bool generalized, qm::AntMaxChoice antMax, int states, int spectrum,
                                   int memoryItem, bool continueCompute) {
    const bool guard = warningGuard_;
    warningGuard_ = true;
    (generalized ? RadioButtonG : RadioButtonL)->setChecked(true);
    switch (antMax) {
        case qm::AntMaxChoice::Ants15: RB15->setChecked(true); break;
        case qm::AntMaxChoice::Ants65535: RB65535->setChecked(true); break;
        case qm::AntMaxChoice::BlackWhite: RBmany->setChecked(true); break;
        default: RB255->setChecked(true); break;
    }
    if (states >= 2 && states - 2 < ComboBoxStates->count()) ComboBoxStates->setCurrentIndex(states - 2);
    if (spectrum >= 0 && spectrum < RadioGroupCS->count()) RadioGroupCS->setItemIndex(spectrum);
    if (memoryItem >= 0 && memoryItem < RadioGroupMem->count()) RadioGroupMem->setItemIndex(memoryItem);
    CheckBoxContinue->setChecked(continueCompute && host_->continuePossible());
    RB15Click();
    ComboBoxStatesChange();
    warningGuard_ = guard;
}

int32_t TAboutBox::halfSize() const {
    const int item = memoryItem();
    return item >= 0 && item < qm::MemoryChoiceCount ? halfSizes_[static_cast<std::size_t>(item)] : 0;
}

void TAboutBox::fitMemoryChoices() {
    const bool guard = warningGuard_;
    warningGuard_ = true;
    RadioGroupMem->setItemIndex(1);
    const qm::MemoryStatus status = qm::queryMemoryStatus();
    RadioGroupMem->setItemIndex(qm::defaultMemoryItem(status.available));
    const int kept = qm::memoryItemsKept(status.total);
    while (RadioGroupMem->count() > kept) RadioGroupMem->removeLastItem();
    const int item = RadioGroupMem->itemIndex();
    if (item < 0 || item >= RadioGroupMem->count()) RadioGroupMem->setItemIndex(0);
    warningGuard_ = guard;
}

void TAboutBox::RadioGroupMemClick() { memoryChoiceChanged(); }

void TAboutBox::memoryChoiceChanged() {
    host_->releaseRunStructures();
    const qm::MemoryStatus status = qm::queryMemoryStatus();
    LabelMem->setText(QString::fromStdString(qm::totalMemoryCaption(status.total)));
    if (!warningGuard_) {
        if (const auto warning = qm::memoryWarning(memoryItem(), status.available); warning && dialogs_)
            dialogs_->showMessage(*warning, qm::BoxType::Warning, qm::BoxButtons::Ok);
    }
    recomputeLimits();
}

void TAboutBox::CheckBoxContinueClick() { recomputeLimits(); }

qm::AntMaxChoice TAboutBox::antMaxChoice() const {
    if (RB15->isChecked()) return qm::AntMaxChoice::Ants15;
    if (RB65535->isChecked()) return qm::AntMaxChoice::Ants65535;
    if (RBmany->isChecked()) return qm::AntMaxChoice::BlackWhite;
    return qm::AntMaxChoice::Ants255;
}

void TAboutBox::computeHalfSizes() {
    halfSizes_ = qm::computeHalfSizes(antMaxChoice());
    host_->setHalfSizes(halfSizes_);
}

void TAboutBox::recomputeLimits() {
    const qm::MemoryStatus status = qm::queryMemoryStatus();
    LabelMem->setText(QString::fromStdString(qm::totalMemoryCaption(status.total)));
    const bool generalized = RadioButtonG->isChecked();
    const qm::RunLimitsFigures figures =
        qm::computeLimits(continueChecked(), halfSize(), antMaxChoice(), generalized, status.total);

    qm::RunLimits& limits = host_->world().limits;
    limits.stepMax = figures.stepMax;
    limits.filledMax = figures.filledMax;
    limits.axisBound = figures.axisBound;
    limits.axisBoundNeg = -figures.axisBound;

    // Without continuing the peak label keeps whatever it showed.
    if (continueChecked()) {
        if (generalized)
            host_->setPeakLabel(QString::fromLatin1(qm::Label9Generalized),
                                QString::fromLatin1(qm::Label9GeneralizedHint));
        else
            host_->setPeakLabel(QString::fromLatin1(qm::Label9Langton),
                                QString::fromLatin1(qm::Label9LangtonHint));
    }

    LabelSteps->setText(QString::fromStdString(figures.stepsText));
    LabelBounds->setText(QString::fromStdString(figures.boundsText));
    LabelFilled->setText(QString::fromStdString(figures.filledText));
    LabelFastTo->setText(QString::fromStdString(figures.fastToText));
}

void TAboutBox::setRunLock(bool locked) {
    for (QWidget* control : {static_cast<QWidget*>(RadioButtonL), static_cast<QWidget*>(RadioButtonG),
                             static_cast<QWidget*>(RadioGroupMem), static_cast<QWidget*>(RB15),
                             static_cast<QWidget*>(RB255), static_cast<QWidget*>(RB65535),
                             static_cast<QWidget*>(RBmany)})
        control->setEnabled(!locked);
    // In generalized mode the other ant maximums come back enabled but stay hidden.
    CheckBoxContinue->setEnabled(!locked && host_->continuePossible());
}

// --- Mode: ant maximum, Langton or generalized ---

void TAboutBox::RB15Click() {
    if (appliedMode_ == std::pair{antMaxChoice(), RadioButtonG->isChecked()}) return;
    host_->releaseRunStructures();
    qm::World& world = host_->world();
    world.states = ComboBoxStates->currentIndex() + 2;
    const bool generalized = RadioButtonG->isChecked();
    world.generalized = generalized;

    host_->setGeneralizedUi(generalized, world.states);
    if (generalized) {
        // Generalized squares are one byte wide: the 255 layout, whatever the ant count.
        RB255->setChecked(true);
        RB15->setEnabled(false);
        RB65535->setEnabled(false);
        RBmany->setEnabled(false);
        Panel3->show();
        RadioGroupCSClick();
        for (QRadioButton* button : {RB15, RB255, RB65535, RBmany}) button->hide();
        LabelMM->show();
    } else {
        RB15->setEnabled(true);
        RB65535->setEnabled(true);
        RBmany->setEnabled(true);
        for (QRadioButton* button : {RB15, RB255, RB65535, RBmany}) button->show();
        LabelMM->hide();
        Panel3->hide();
    }

    computeHalfSizes();
    host_->reselectPainters();
    applyAntMaximum();
    appliedMode_ = std::pair{antMaxChoice(), generalized};
    recomputeLimits();
}

void TAboutBox::applyAntMaximum() {
    qm::World& world = host_->world();
    if (RB15->isChecked()) {
        world.antMaxMode = qm::AntMaxMode::Ants15;
        world.antMax = 15;
    } else if (RB255->isChecked()) {
        world.antMaxMode = qm::AntMaxMode::Ants255;
        world.antMax = world.generalized ? 65535 : 255;
    } else if (RBmany->isChecked()) {
        // Black-and-white runs size their ant arrays from the definition list.
        world.antMaxMode = qm::AntMaxMode::BlackWhite;
        world.antMax = 15;
    } else {
        world.antMaxMode = qm::AntMaxMode::Ants65535;
        world.antMax = 65535;
    }

    if (qm::allocateIndexedAntArrays(world, world.antMax)) return;
    showError(MsgAntArraysMemory);
    RB15->setChecked(true);
    world.antMaxMode = qm::AntMaxMode::Ants15;
    world.antMax = 15;
    if (!qm::allocateIndexedAntArrays(world, world.antMax)) showError(MsgFatalMemory);
}

// --- States, spectrum and preview ---

void TAboutBox::ComboBoxStatesChange() {
    host_->world().states = ComboBoxStates->currentIndex() + 2;
    // The legend's hint names the program range, which grows with the number of states.
    if (RadioButtonG->isChecked()) host_->setGeneralizedUi(true, host_->world().states);
    RadioGroupCSClick();
}

void TAboutBox::RadioGroupCSClick() {
    qm::rebuildStateColours(host_->stateColours(), host_->world().states, RadioGroupCS->itemIndex() + 1,
                            host_->viewBackground());
    PaintBox1Paint();
}

void TAboutBox::PaintBox1Paint() {
    QImage& image = PaintBox1->image();
    if (image.size() != PaintBox1->size()) image = QImage(PaintBox1->size(), QImage::Format_RGB32);
    if (image.isNull()) return;

    const qm::StateColourTable& colours = host_->stateColours();
    QPainter painter(&image);
    const int w = image.width();
    const int h = image.height();
    painter.fillRect(0, 0, w, h, toQColor(colours[0]));

    const int states = host_->world().states;
    if (states >= 1) {
        // Centred bars, each b - 1 wide, with a one-pixel gap of background between them.
        const int b = (w - 2) / states;
        const int left = static_cast<int>(qm::floorDiv(w - states * b, 2)) + 1;
        const int bars = std::min(states, static_cast<int>(colours.size()) - 1);
        for (int i = 0; i < bars; ++i)
            painter.fillRect(left + b * i, 2, b - 1, h - 4, toQColor(colours[static_cast<std::size_t>(i) + 1]));
    }
    painter.end();
    PaintBox1->update();
}

// --- Refresh period of the state panel ---

void TAboutBox::ComboBoxTimerChange() {
    QTimer* timer = host_->stateTimer();
    if (!timer) return;
    if (ComboBoxTimer->currentIndex() == 0) {
        timer->stop();
        return;
    }
    QString text = ComboBoxTimer->currentText();
    text.chop(4);  // " sec"
    const int32_t seconds = qm::textToInt32Or(text.toStdString(), SecondsWhenUnreadable);
    timer->setInterval(seconds * 1000);
    if (host_->runActive() && host_->stateNumbersDisabled() && !timer->isActive()) timer->start();
}
