// The main window as the settings dialog sees it.

#include <QCheckBox>
#include <QLabel>

#include "app/MainForm/MainForm.h"
#include "core/FastGrid.h"
#include "settings/AboutBoxUnit/AboutBoxUnit.h"

std::unique_ptr<TAboutBox> TForm1::createAboutBox() {
    auto box = std::make_unique<TAboutBox>(&settingsHost_, dialogs, this);
    setAboutBox(box.get());
    return box;
}

qm::World& MainFormSettingsHost::world() { return form_.world; }

void MainFormSettingsHost::releaseRunStructures() {
    qm::releaseFastGrid(form_.world.grid);
    form_.world.releaseStores();
}

void MainFormSettingsHost::setGeneralizedUi(bool generalized, int states) {
    form_.CheckBox4->setVisible(!generalized);
    form_.CheckBox1->setVisible(!generalized);
    form_.Label12->setText(definitionLegendCaption(generalized));
    form_.Label12->setToolTip(definitionLegendHint(generalized, states));
}

void MainFormSettingsHost::setPeakLabel(const QString& caption, const QString& hint) {
    form_.Label9->setText(caption);
    form_.Label9->setToolTip(hint);
}

void MainFormSettingsHost::reselectPainters() { form_.ComboBoxSizeChange(); }
void MainFormSettingsHost::applyHandBrake() { form_.TrackBarSpeedChange(); }
qm::StateColourTable& MainFormSettingsHost::stateColours() { return form_.stateColours; }
qm::ColourRef MainFormSettingsHost::viewBackground() { return form_.viewBackground; }

void MainFormSettingsHost::setHalfSizes(const std::array<int32_t, qm::MemoryChoiceCount>& halfSizes) {
    form_.halfSizes = halfSizes;
}

bool MainFormSettingsHost::continuePossible() { return form_.continuePossible; }
bool MainFormSettingsHost::runActive() { return form_.world.idle == 0; }
bool MainFormSettingsHost::stateNumbersDisabled() { return !form_.StaticAll->isEnabled(); }
QTimer* MainFormSettingsHost::stateTimer() { return form_.Timer1; }
void MainFormSettingsHost::settingsDialogGone() { form_.aboutBox = nullptr; }
