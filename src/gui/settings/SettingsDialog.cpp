// Handlers of the settings dialog: memory choice, ant maximum and mode, states and spectrum,
// hand brake coefficient, refresh period, and the limits that follow from them.

#include "gui/settings/SettingsDialog.h"

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

#include "gui/Dialogs.h"
#include "core/RunSetup.h"
#include "definitions/NumberText.h"
#include "gui/settings/RadioGroup.h"
#include "gui/settings/SettingsHost.h"
#include "core/IntegerDivision.h"
#include "gui/view/ImageSurface.h"
#include "gui/view/RefreshPeriod.h"

namespace {

constexpr int32_t SecondsWhenUnreadable = 3;

QColor toQColor(qm::ColourRef colour) { return QColor::fromRgb(qm::toArgb(colour)); }

}  // namespace

// --- Shown, closed, links ---

void SettingsDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) prepareToShow();
}

void SettingsDialog::prepareToShow() { recomputeLimits(); }

void SettingsDialog::showModally(Dialogs& dialogs) { dialogs.showModal(*this); }

void SettingsDialog::done(int result) {
    applyOnClose();
    QDialog::done(result);
}

void SettingsDialog::applyOnClose() {
    int32_t coefficient = qm::textToInt32Or(handBrakeCoefficientEdit->text().toStdString(), InvalidHandBrakeCoefficient);
    if (coefficient > MaxHandBrakeCoefficient) coefficient = MaxHandBrakeCoefficient;
    // A negative count would never let the brake release; it means the same as no brake.
    if (coefficient < 0) coefficient = 0;
    settings_.handBrakeCoefficient = coefficient;
    handBrakeCoefficientEdit->setText(QString::number(coefficient));
    host_->applyHandBrake();
}

bool SettingsDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == productHomeLink && linkClick_.completes(productHomeLink, event)) {
        openProductHomePage();
        return true;
    }
    if (watched == makerHomeLink && linkClick_.completes(makerHomeLink, event)) {
        openMakerHomePage();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void SettingsDialog::openProductHomePage() {
    if (dialogs_) dialogs_->openUrl(QString::fromLatin1(ProductHomePage));
}

void SettingsDialog::openMakerHomePage() {
    if (dialogs_) dialogs_->openUrl(QString::fromLatin1(MakerHomePage));
}

void SettingsDialog::showError(const char* text) {
    if (dialogs_) dialogs_->showMessage(text, qm::BoxType::Error, qm::BoxButtons::Ok);
}

// --- Memory choice and limits ---

int SettingsDialog::memoryItem() const { return memoryChoice->itemIndex(); }

bool SettingsDialog::continueChecked() const { return continueCheck->isChecked(); }

int SettingsDialog::spectrumItem() const { return spectrumChoice->itemIndex(); }

int SettingsDialog::memoryItemCount() const { return memoryChoice->count(); }

void SettingsDialog::storeSettings() {
    settings_.memoryItem = memoryItem();
    settings_.memoryItemsOffered = memoryItemCount();
    settings_.continueCompute = continueChecked();
    settings_.antMax = antMaxChoice();
    settings_.generalized = generalizedRadio->isChecked();
    settings_.states = statesCombo->currentIndex() + 2;
    settings_.spectrumItem = spectrumItem();
}

void SettingsDialog::applySettings(qm::RunSettings settings) {
    const bool guard = warningGuard_;
    warningGuard_ = true;
    const int states = settings.states;
    const int spectrum = settings.spectrumItem;
    const int memoryItem = settings.memoryItem;
    (settings.generalized ? generalizedRadio : langtonRadio)->setChecked(true);
    switch (settings.antMax) {
        case qm::AntMaxChoice::Ants15: ants15Radio->setChecked(true); break;
        case qm::AntMaxChoice::Ants65535: ants65535Radio->setChecked(true); break;
        case qm::AntMaxChoice::BlackWhite: antsManyRadio->setChecked(true); break;
        default: ants255Radio->setChecked(true); break;
    }
    if (states >= 2 && states - 2 < statesCombo->count()) statesCombo->setCurrentIndex(states - 2);
    if (spectrum >= 0 && spectrum < spectrumChoice->count()) spectrumChoice->setItemIndex(spectrum);
    if (memoryItem >= 0 && memoryItem < memoryChoice->count()) memoryChoice->setItemIndex(memoryItem);
    continueCheck->setChecked(settings.continueCompute && host_->continuePossible());
    modeChanged();
    statesChanged();
    storeSettings();
    warningGuard_ = guard;
}

int32_t SettingsDialog::halfSize() const {
    const int item = memoryItem();
    return item >= 0 && item < qm::MemoryChoiceCount ? halfSizes_[static_cast<std::size_t>(item)] : 0;
}

void SettingsDialog::fitMemoryChoices() {
    const bool guard = warningGuard_;
    warningGuard_ = true;
    memoryChoice->setItemIndex(1);
    const qm::MemoryStatus status = qm::queryMemoryStatus();
    memoryChoice->setItemIndex(qm::defaultMemoryItem(status.available));
    const int kept = qm::memoryItemsKept(status.total);
    while (memoryChoice->count() > kept) memoryChoice->removeLastItem();
    const int item = memoryChoice->itemIndex();
    if (item < 0 || item >= memoryChoice->count()) memoryChoice->setItemIndex(0);
    storeSettings();
    warningGuard_ = guard;
}

void SettingsDialog::firstActivation() {
    memoryChoice->setItemIndex(1);
    fitMemoryChoices();
    handBrakeCoefficientEdit->setText(QString::number(settings_.handBrakeCoefficient));
    const bool possible = host_->continuePossible();
    continueCheck->setChecked(settings_.continueCompute && possible);
    if (!possible) continueCheck->setToolTip(QString::fromLatin1(MsgNotPossibleOn9x));
    continueCheck->setEnabled(possible);
    computeHalfSizes();
    memoryChoiceChanged();
    clearWarningGuard();
}

void SettingsDialog::memoryChoiceClicked() { memoryChoiceChanged(); }

void SettingsDialog::memoryChoiceChanged() {
    storeSettings();
    host_->releaseRunStructures();
    const qm::MemoryStatus status = qm::queryMemoryStatus();
    memoryNeedValue->setText(QString::fromStdString(qm::totalMemoryCaption(status.total)));
    if (!warningGuard_) {
        if (const auto warning = qm::memoryWarning(memoryItem(), status.available); warning && dialogs_)
            dialogs_->showMessage(*warning, qm::BoxType::Warning, qm::BoxButtons::Ok);
    }
    recomputeLimits();
}

void SettingsDialog::continueToggled() {
    storeSettings();
    recomputeLimits();
}

qm::AntMaxChoice SettingsDialog::antMaxChoice() const {
    if (ants15Radio->isChecked()) return qm::AntMaxChoice::Ants15;
    if (ants65535Radio->isChecked()) return qm::AntMaxChoice::Ants65535;
    if (antsManyRadio->isChecked()) return qm::AntMaxChoice::BlackWhite;
    return qm::AntMaxChoice::Ants255;
}

void SettingsDialog::computeHalfSizes() {
    halfSizes_ = qm::computeHalfSizes(antMaxChoice());
    host_->setHalfSizes(halfSizes_);
}

void SettingsDialog::recomputeLimits() {
    const qm::MemoryStatus status = qm::queryMemoryStatus();
    memoryNeedValue->setText(QString::fromStdString(qm::totalMemoryCaption(status.total)));
    const bool generalized = generalizedRadio->isChecked();
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

    stepsLimitValue->setText(QString::fromStdString(figures.stepsText));
    boundsLimitValue->setText(QString::fromStdString(figures.boundsText));
    filledLimitValue->setText(QString::fromStdString(figures.filledText));
    fastGridLimitValue->setText(QString::fromStdString(figures.fastToText));
}

void SettingsDialog::setRunLock(bool locked) {
    for (QWidget* control : {static_cast<QWidget*>(langtonRadio), static_cast<QWidget*>(generalizedRadio),
                             static_cast<QWidget*>(memoryChoice), static_cast<QWidget*>(ants15Radio),
                             static_cast<QWidget*>(ants255Radio), static_cast<QWidget*>(ants65535Radio),
                             static_cast<QWidget*>(antsManyRadio)})
        control->setEnabled(!locked);
    // In generalized mode the other ant maximums come back enabled but stay hidden.
    continueCheck->setEnabled(!locked && host_->continuePossible());
}

// --- Mode: ant maximum, Langton or generalized ---

void SettingsDialog::modeChanged() {
    if (appliedMode_ == std::pair{antMaxChoice(), generalizedRadio->isChecked()}) return;
    host_->releaseRunStructures();
    qm::World& world = host_->world();
    world.states = statesCombo->currentIndex() + 2;
    const bool generalized = generalizedRadio->isChecked();
    world.generalized = generalized;

    host_->setGeneralizedUi(generalized, world.states);
    if (generalized) {
        // Generalized squares are one byte wide: the 255 layout, whatever the ant count.
        ants255Radio->setChecked(true);
        ants15Radio->setEnabled(false);
        ants65535Radio->setEnabled(false);
        antsManyRadio->setEnabled(false);
        antKindPanel->show();
        spectrumChanged();
        for (QRadioButton* button : {ants15Radio, ants255Radio, ants65535Radio, antsManyRadio}) button->hide();
        unlimitedLabel->show();
    } else {
        ants15Radio->setEnabled(true);
        ants65535Radio->setEnabled(true);
        antsManyRadio->setEnabled(true);
        for (QRadioButton* button : {ants15Radio, ants255Radio, ants65535Radio, antsManyRadio}) button->show();
        unlimitedLabel->hide();
        antKindPanel->hide();
    }

    computeHalfSizes();
    host_->reselectPainters();
    applyAntMaximum();
    appliedMode_ = std::pair{antMaxChoice(), generalized};
    storeSettings();
    recomputeLimits();
}

void SettingsDialog::applyAntMaximum() {
    qm::World& world = host_->world();
    if (ants15Radio->isChecked()) {
        world.antMaxMode = qm::AntMaxMode::Ants15;
        world.antMax = 15;
    } else if (ants255Radio->isChecked()) {
        world.antMaxMode = qm::AntMaxMode::Ants255;
        world.antMax = world.generalized ? 65535 : 255;
    } else if (antsManyRadio->isChecked()) {
        // Black-and-white runs size their ant arrays from the definition list.
        world.antMaxMode = qm::AntMaxMode::BlackWhite;
        world.antMax = 15;
    } else {
        world.antMaxMode = qm::AntMaxMode::Ants65535;
        world.antMax = 65535;
    }

    if (qm::allocateIndexedAntArrays(world, world.antMax)) return;
    showError(MsgAntArraysMemory);
    ants15Radio->setChecked(true);
    world.antMaxMode = qm::AntMaxMode::Ants15;
    world.antMax = 15;
    if (!qm::allocateIndexedAntArrays(world, world.antMax)) showError(MsgFatalMemory);
}

// --- States, spectrum and preview ---

void SettingsDialog::statesChanged() {
    storeSettings();
    host_->world().states = statesCombo->currentIndex() + 2;
    // The legend's hint names the program range, which grows with the number of states.
    if (generalizedRadio->isChecked()) host_->setGeneralizedUi(true, host_->world().states);
    spectrumChanged();
}

void SettingsDialog::spectrumChanged() {
    storeSettings();
    qm::rebuildStateColours(host_->stateColours(), host_->world().states, spectrumChoice->itemIndex() + 1,
                            host_->viewBackground());
    paintSpectrum();
}

void SettingsDialog::paintSpectrum() {
    QImage& image = spectrumPreview->image();
    // In widget pixels: on a high-density screen the surface's image holds more.
    const QSize size = spectrumPreview->size();
    if (image.deviceIndependentSize().toSize() != size) image = QImage(size, QImage::Format_RGB32);
    if (image.isNull()) return;

    const qm::StateColourTable& colours = host_->stateColours();
    QPainter painter(&image);
    const int w = size.width();
    const int h = size.height();
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
    spectrumPreview->update();
}

// --- Refresh period of the state panel ---

void SettingsDialog::refreshPeriodChanged() {
    if (refreshPeriodCombo->currentIndex() == 0) {
        settings_.refreshSeconds = 0;
    } else {
        QString text = refreshPeriodCombo->currentText();
        text.chop(4);  // " sec"
        settings_.refreshSeconds = qm::textToInt32Or(text.toStdString(), SecondsWhenUnreadable);
    }
    if (QTimer* timer = host_->stateTimer())
        applyRefreshPeriod(*timer, settings_.refreshSeconds, host_->runActive() && host_->stateNumbersDisabled());
}
