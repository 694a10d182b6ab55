// Worlds that last: "Continue run", "Save world..." and "Open world..." of the context menu, and
// a file named on the command line.

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QTimer>

#include "gui/Dialogs.h"
#include "gui/window/MainWindow.h"
#include "core/RunContinue.h"
#include "core/StepLoops.h"
#include "core/WorldFile.h"
#include "core/WorldFileFormat.h"
#include "gui/editor/EditorCommands.h"
#include "gui/settings/SettingsDialog.h"
#include "gui/timeline/TimelineCommands.h"
#include "gui/view/EyeWindow.h"
#include "gui/view/MainView.h"
#include "gui/view/StatePanel.h"
#include "gui/view/WaitCursor.h"

namespace {

constexpr int DefinePage = 0;

std::string pathBytes(const QString& fileName) { return QFile::encodeName(fileName).toStdString(); }

bool startsAsWorldFile(const QString& fileName) { return qm::startsAsWorldFile(pathBytes(fileName)); }

}  // namespace

bool MainWindow::canSaveWorld() const {
    return !runInProgress_ && world.idle && world.grid.exists() && world.counters.antCount > 0 && world.antPos;
}

bool MainWindow::canContinueRun() const { return !runInProgress_ && qm::canContinue(world); }

void MainWindow::updateWorldActions() {
    ui_.view.continueRunAction->setEnabled(canContinueRun());
    ui_.view.saveWorldAction->setEnabled(canSaveWorld());
    ui_.view.openWorldAction->setEnabled(!runInProgress_);
    if (timelineCommands) timelineCommands->updateActions();
}

void MainWindow::continueRunFromMenu() {
    if (!canContinueRun()) return;
    const RunProcedure procedure(*this);
    continueWhileActive();
}

// As a start from the moment the run is active, without reading the ants or clearing anything:
// the run goes on with its counters, its computing time and its picture.
void MainWindow::continueWhileActive() {
    try {
        statePanel->timerRule();
        ui_.state.stateRefreshTimer->stop();
        statePanel->savedBrakePosition = ui_.visualisation.handBrakeSlider->value();
        eyeWindow->updateOptions();
        world.idle = 0;
        ui_.control.startButton->setText(QString::fromLatin1(BreakCaption));
        setRunLock(true);
        updateWorldActions();
        statePanel->runContinueDuties();
        displayModeChanged();
        maxStepsEdited();
        if (stepTarget_ >= 0) world.limits.userMaxSteps = stepTarget_;
        qm::resumeClock(world, qm::systemClock().nowDays());
        showRunStarting();
        runLoopTimed();
        endOfRun();
    } catch (...) {
        showUnexpectedRunError();
        endOfRunAfterFailure();
    }
}

void MainWindow::saveWorldFromMenu() {
    if (!canSaveWorld()) return;
    const std::optional<QString> chosen =
        dialogs->saveFileName(worldFileDialog.filter, worldFileDialog.defaultSuffix, worldFileDialog.lastDir);
    if (!chosen) return;
    qm::WorldDocument document;
    qm::WorldSettings& s = document.settings;
    s.mode = world.mode();
    s.states = world.states;
    qm::writeSettings(settings_, s);
    s.continueCompute = world.storeIndexed || world.storeBW || world.storeMulti;
    s.viewOffsetX = mainView->viewOffsetX;
    s.viewOffsetY = mainView->viewOffsetY;
    s.squareSizeItem = ui_.visualisation.squareSizeCombo->currentIndex();
    document.definitionText = runDefinitionText;
    qm::WaitCursor cursor;
    const std::string reason = qm::saveWorldFile(pathBytes(*chosen), world, document);
    cursor.restore();
    if (!reason.empty()) dialogs->showMessage(qm::worldSaveMessage(chosen->toStdString(), reason), qm::BoxType::Error);
}

void MainWindow::openWorldFromMenu() {
    if (runInProgress_) return;
    const std::optional<QString> chosen = dialogs->openFileName(worldFileDialog.filter, worldFileDialog.lastDir);
    if (chosen) openWorldFile(*chosen);
}

bool MainWindow::openWorldFile(const QString& fileName) {
    if (runInProgress_) return false;
    qm::WaitCursor cursor;
    std::string error;
    std::unique_ptr<qm::LoadedWorld> loaded = qm::readWorldFile(pathBytes(fileName), world, error);
    if (!loaded) {
        cursor.restore();
        dialogs->showMessage(qm::worldOpenMessage(fileName.toStdString(), error), qm::BoxType::Error);
        return false;
    }
    const qm::WorldSettings& s = loaded->document.settings;
    settings_ = qm::readSettings(s, settings_, settings_.memoryItemsOffered, continuePossible);
    settingsView_->applySettings(settings_);
    qm::installWorld(world, *loaded);
    worldDisplayAfterOpen(*loaded);
    timelineCommands->worldOpened();
    return true;
}

// Everything that shows the world, as after a run: editor, view, state panel, eye.
void MainWindow::worldDisplayAfterOpen(const qm::LoadedWorld& loaded) {
    const qm::WorldSettings& s = loaded.document.settings;
    runDefinitionText = loaded.document.definitionText;
    ui_.definition.definitionEditor->setPlainText(QString::fromStdString(runDefinitionText));
    ui_.definition.definitionTabs->setCurrentIndex(DefinePage);
    ui_.visualisation.squareSizeCombo->setCurrentIndex(s.squareSizeItem);
    squareSizeChanged();
    mainView->viewOffsetX = s.viewOffsetX;
    mainView->viewOffsetY = s.viewOffsetY;
    // The labels show the moves, the offsets' opposites, as navigation shows them.
    ui_.navigation.moveXValue->setText(QString::number(-int64_t{s.viewOffsetX}));
    ui_.navigation.moveYValue->setText(QString::number(-int64_t{s.viewOffsetY}));
    // The squares painted outside the bounding box (start squares) must be repainted too.
    mainView->forgetVisited();
    if (loaded.paintedMinX <= loaded.paintedMaxX) {
        mainView->noteVisited(loaded.paintedMinX, loaded.paintedMinY);
        mainView->noteVisited(loaded.paintedMaxX, loaded.paintedMaxY);
    }
    qm::resumeClock(world, qm::systemClock().nowDays());
    handBrakeChanged();
    statePanel->afterAntsRead();
    statePanel->textStateRoutine();
    mainView->updateViewCentre();
    // The view as the world's settings give it, with the overlay of the show mode: the picture
    // of the panned view before must not stay.
    mainView->paintHandler();
    if (ui_.eye.eyeFrame->isVisible()) eyeWindow->redrawClick();
    updateWorldActions();
    repaint();
}

void MainWindow::openFromCommandLine(const QString& fileName) {
    if (startsAsWorldFile(fileName)) openWorldFile(fileName);
    else editorCommands->loadFile(fileName);
}
