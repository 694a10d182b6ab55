// The main window as the settings dialog sees it.

#include <QCheckBox>
#include <QLabel>

#include "gui/window/MainWindow.h"
#include "core/FastGrid.h"
#include "gui/settings/SettingsDialog.h"

std::unique_ptr<SettingsDialog> MainWindow::createSettingsDialog() {
    auto box = std::make_unique<SettingsDialog>(&settingsHost_, dialogs, this);
    setSettingsDialog(box.get());
    return box;
}

qm::RunSettings& MainWindowSettingsHost::settings() { return form_.settings_; }
qm::World& MainWindowSettingsHost::world() { return form_.world; }

void MainWindowSettingsHost::releaseRunStructures() {
    qm::releaseFastGrid(form_.world.grid);
    form_.world.releaseStores();
}

void MainWindowSettingsHost::setGeneralizedUi(bool generalized, int states) {
    form_.ui_.eye.updateWhiteInEyeCheck->setVisible(!generalized);
    form_.ui_.definition.firstSixteenCheck->setVisible(!generalized);
    form_.ui_.definition.definitionLegend->setText(definitionLegendCaption(generalized));
    form_.ui_.definition.definitionLegend->setToolTip(definitionLegendHint(generalized, states));
}

void MainWindowSettingsHost::setPeakLabel(const QString& caption, const QString& hint) {
    form_.ui_.state.peakFilledLabel->setText(caption);
    form_.ui_.state.peakFilledLabel->setToolTip(hint);
}

void MainWindowSettingsHost::reselectPainters() { form_.squareSizeChanged(); }
void MainWindowSettingsHost::applyHandBrake() { form_.handBrakeChanged(); }
qm::StateColourTable& MainWindowSettingsHost::stateColours() { return form_.stateColours; }
qm::ColourRef MainWindowSettingsHost::viewBackground() { return form_.viewBackground; }

void MainWindowSettingsHost::setHalfSizes(const std::array<int32_t, qm::MemoryChoiceCount>& halfSizes) {
    form_.halfSizes = halfSizes;
}

bool MainWindowSettingsHost::continuePossible() { return form_.continuePossible; }
bool MainWindowSettingsHost::runActive() { return form_.world.idle == 0; }
bool MainWindowSettingsHost::stateNumbersDisabled() { return !form_.ui_.state.allStepsValue->isEnabled(); }
QTimer* MainWindowSettingsHost::stateTimer() { return form_.ui_.state.stateRefreshTimer; }
void MainWindowSettingsHost::settingsDialogGone() { form_.settingsDialog = nullptr; }
