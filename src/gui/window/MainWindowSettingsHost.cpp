// The main window as the settings dialog sees it.

#include <QCheckBox>
#include <QLabel>

#include "gui/window/MainWindow.h"
#include "core/FastGrid.h"
#include "gui/settings/SettingsDialog.h"

std::unique_ptr<SettingsDialog> MainWindow::createSettingsDialog() {
    return std::make_unique<SettingsDialog>(&settingsHost_, dialogs, this);
}

qm::RunSettings& MainWindow::SettingsBridge::settings() { return form_.settings_; }
qm::World& MainWindow::SettingsBridge::world() { return form_.world; }

void MainWindow::SettingsBridge::releaseRunStructures() {
    qm::releaseFastGrid(form_.world.grid);
    form_.world.releaseStores();
}

void MainWindow::SettingsBridge::setGeneralizedUi(bool generalized, int states) {
    form_.ui_.eye.updateWhiteInEyeCheck->setVisible(!generalized);
    form_.ui_.definition.firstSixteenCheck->setVisible(!generalized);
    form_.ui_.definition.definitionLegend->setText(definitionLegendCaption(generalized));
    form_.ui_.definition.definitionLegend->setToolTip(definitionLegendHint(generalized, states));
}

void MainWindow::SettingsBridge::setPeakLabel(const QString& caption, const QString& hint) {
    form_.ui_.state.peakFilledLabel->setText(caption);
    form_.ui_.state.peakFilledLabel->setToolTip(hint);
}

void MainWindow::SettingsBridge::reselectPainters() { form_.squareSizeChanged(); }
void MainWindow::SettingsBridge::applyHandBrake() { form_.handBrakeChanged(); }
qm::StateColourTable& MainWindow::SettingsBridge::stateColours() { return form_.stateColours; }
qm::ColourRef MainWindow::SettingsBridge::viewBackground() { return form_.viewBackground; }

void MainWindow::SettingsBridge::setHalfSizes(const std::array<int32_t, qm::MemoryChoiceCount>& halfSizes) {
    form_.halfSizes = halfSizes;
}

bool MainWindow::SettingsBridge::continuePossible() { return form_.continuePossible; }
bool MainWindow::SettingsBridge::runActive() { return form_.world.idle == 0; }
bool MainWindow::SettingsBridge::stateNumbersDisabled() { return !form_.ui_.state.allStepsValue->isEnabled(); }
QTimer* MainWindow::SettingsBridge::stateTimer() { return form_.ui_.state.stateRefreshTimer; }
void MainWindow::SettingsBridge::setSettingsView(SettingsView* view) {
    form_.settingsView_ = view ? view : &form_.noSettingsView_;
}
