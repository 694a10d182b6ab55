// "Start": the whole run, from freeing the previous one to the window's restoration.
// The step loop serves the window's events, so this handler is re-entered by a click on
// "Break"; the re-entered call only asks the running loop to stop.

#include <chrono>
#include <exception>
#include <memory>
#include <new>
#include <optional>

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QTimer>

#include "gui/Dialogs.h"
#include "gui/window/MainWindow.h"
#include "gui/window/StartClickGuard.h"
#include "core/RunContinue.h"
#include "core/RunSetup.h"
#include "core/StepLoops.h"
#include "definitions/AntReader.h"
#include "definitions/LineReader.h"
#include "gui/settings/SettingsDialog.h"
#include "gui/timeline/TimelineCommands.h"
#include "gui/view/EyeWindow.h"
#include "gui/view/MainView.h"
#include "gui/view/StatePanel.h"
#include "gui/view/WaitCursor.h"
#include "gui/recording/RecordingCommands.h"

namespace {

constexpr int FromFilePage = 1;

void releaseBlock(uint8_t*& block) {
    if (block) qm::allocator().release(block);
    block = nullptr;
}

void releaseBlock(uint64_t*& block) {
    if (block) qm::allocator().release(block);
    block = nullptr;
}

// The definition a run starts from, kept for a world file: the editor's lines, or the text of
// the definition file (empty when it cannot be read; the run reports that itself).
std::string definitionText(const std::vector<std::string>& editorLines, const QString& fileName) {
    if (!fileName.isEmpty()) {
        // Regular files only: a pipe named here would be waited on for ever.
        const std::optional<qm::FileBytes> file =
            qm::readRegularFile(QFile::encodeName(fileName).toStdString(), INT64_MAX);
        return file ? file->bytes : std::string();
    }
    std::string text;
    for (const std::string& line : editorLines) text += line + "\n";
    return text;
}

bool isIndexedMode(const qm::World& w) {
    return !w.generalized && w.antMaxMode != qm::AntMaxMode::BlackWhite;
}

}  // namespace

void MainWindow::startOrBreakRun() {
    if (runInProgress_ || world.idle == 0) {
        // A second "Start" clicked during the hourglass is not the "Break" of the run it started.
        if (startClickGuard->clickMadeDuringPreparation()) return;
        world.idle = 1;
        return;
    }
    const RunProcedure procedure(*this);
    runFromStart();
}

void MainWindow::afterRunProcedure() {
    runInProgress_ = false;
    updateWorldActions();
    if (closePending_) {
        closePending_ = false;
        // Close once this handler has returned to the event loop.
        QTimer::singleShot(0, this, [this] { close(); });
    }
}

void MainWindow::setRunLock(bool locked) {
    for (QWidget* control : std::initializer_list<QWidget*>{ui_.definition.definitionEditor, ui_.definition.loadButton, ui_.definition.clearButton, ui_.definition.saveButton, ui_.definition.addDiagonalButton, ui_.definition.addByAxisButton,
                                                            ui_.definition.addDistanceEdit, ui_.definition.selectFileButton, ui_.definition.selectedFileEdit, ui_.definition.definitionTabs, ui_.definition.firstSixteenCheck})
        control->setEnabled(!locked);
    settingsView_->setRunLock(locked);
}

void MainWindow::showRunError(const std::string& text) {
    dialogs->showMessage("ERROR: " + text, qm::BoxType::Error);
}

void MainWindow::runFromStart() {
    qm::WaitCursor cursor;  // the hourglass for the preparation
    startClickGuard->preparationStarts();
    bool active = false;
    try {
        timelineCommands->runStarting();
        statePanel->timerRule();
        ui_.state.stateRefreshTimer->stop();
        statePanel->savedBrakePosition = ui_.visualisation.handBrakeSlider->value();
        mainView->viewClear();
        eyeWindow->updateOptions();
        releaseBlock(world.antDir);

        std::vector<std::string> lines = editorLines();
        if (lines.empty()) return;

        if (qm::cleanUpEditorLines(lines)) setEditorLines(lines);
        const bool fromFile = ui_.definition.definitionTabs->currentIndex() == FromFilePage;
        if (!fromFile && isIndexedMode(world) && lines.size() > static_cast<size_t>(world.antMax)) {
            cursor.restore();
            dialogs->showMessage(qm::MsgTooManyAnts, qm::BoxType::Error);
            return;
        }

        releaseBlock(world.antProgram);
        qm::releaseFastGrid(world.grid);
        world.releaseStores();

        mainView->viewOffsetX = 0;
        mainView->viewOffsetY = 0;
        ui_.navigation.moveXValue->setText(QStringLiteral("0"));
        ui_.navigation.moveYValue->setText(QStringLiteral("0"));
        const int memoryItem = settings_.memoryItem;
        const int32_t halfSize = halfSizes[static_cast<size_t>(memoryItem)];
        if (!qm::prepareFastGrid(world, halfSize)) {  // sized and filled for the run's mode
            cursor.restore();
            dialogs->showMessage(qm::MsgGridMemory, qm::BoxType::Error);
            return;
        }
        if (settings_.continueCompute) {
            const int32_t delta =
                qm::sparseStoreDelta(memoryItem, qm::queryMemoryStatus().available, world.grid.byteSize);
            if (!qm::createSparseStore(world, delta)) {
                cursor.restore();
                dialogs->showMessage(qm::MsgStoreMemory, qm::BoxType::Error);
                return;
            }
        }

        cursor.restore();
        startClickGuard->preparationEnds();
        world.idle = 0;
        active = true;
        runWhileActive(lines);
    } catch (...) {
        cursor.restore();
        showUnexpectedRunError();
        if (active) endOfRunAfterFailure();
    }
}

// The end of run has failed once already, perhaps: a second failure leaves the window as it is,
// but idle, and goes no further than here.
void MainWindow::endOfRunAfterFailure() {
    try {
        endOfRun();
    } catch (...) {
        world.idle = 1;
    }
}

void MainWindow::showUnexpectedRunError() {
    try {
        std::rethrow_exception(std::current_exception());
    } catch (const std::exception& e) {
        showRunError(e.what());
    } catch (...) {
        showRunError("undefined exception");
    }
    world.lastStop = qm::StopReason::Error;
}

// From the moment the run is active: every way out goes through the end of run.
void MainWindow::runWhileActive(const std::vector<std::string>& lines) {
    if (ui_.eye.eyeFrame->isVisible()) {
        eyeWindow->redrawClick();
        eyeWindow->updateOptions();
    }
    ui_.control.startButton->setText(QString::fromLatin1(BreakCaption));
    setRunLock(true);
    statePanel->runStartDuties();
    displayModeChanged();
    maxStepsEdited();
    const double startDays = qm::systemClock().nowDays();

    std::unique_ptr<qm::DefinitionSource> source;
    const bool fromFilePage = ui_.definition.definitionTabs->currentIndex() == FromFilePage;
    if (fromFilePage)
        source = std::make_unique<qm::FileSource>(QFile::encodeName(ui_.definition.selectedFileEdit->text()).toStdString());
    else
        source = std::make_unique<qm::EditorSource>(lines);

    const int32_t lineCount = source->countLines(*dialogs);
    if (lineCount < 0) {
        endOfRun();
        return;
    }

    if (world.generalized || world.antMaxMode == qm::AntMaxMode::BlackWhite) {
        if (!qm::allocateRunAntArrays(world, lineCount)) {
            source->close();
            dialogs->showMessage(world.generalized ? qm::MsgGenAntsMemory : qm::MsgBWAntsMemory,
                                 qm::BoxType::Error);
            endOfRun();
            return;
        }
        if (world.generalized) world.antMax = lineCount;
    } else if (!world.antPos || !world.antColour) {
        throw std::bad_alloc();  // the settings could not obtain the indexed ant arrays
    }

    const int32_t antsRead = qm::readAnts(world, *source, lineCount, ui_.definition.firstSixteenCheck->isChecked());
    if (antsRead < 0) {
        endOfRun();
        return;
    }
    world.counters.antCount = antsRead;
    runDefinitionText = definitionText(lines, fromFilePage ? ui_.definition.selectedFileEdit->text() : QString());
    statePanel->afterAntsRead();

    qm::resetCounters(world, antsRead, startDays);
    timelineCommands->runStarted();
    showRunStarting();

    if (antsRead == 0) {
        world.lastStop = qm::StopReason::NoAnts;
        dialogs->showMessage(qm::MsgNoAnts, qm::BoxType::Error);
        endOfRun();
        return;
    }

    runLoopTimed();
    endOfRun();
}

// The display the loop starts from: painters, hand brake, figures, view centre, timer, picture.
void MainWindow::showRunStarting() {
    squareSizeChanged();
    handBrakeChanged();
    statePanel->textStateRoutine();
    mainView->updateViewCentre();
    if (!ui_.state.allStepsValue->isEnabled()) ui_.state.stateRefreshTimer->start();
    repaint();
}

void MainWindow::runLoopTimed() {
    timelineCommands->loopStarting();
    const auto loopStart = std::chrono::steady_clock::now();
    runPausePoints_.run(world);
    lastLoopSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - loopStart).count();
    recordingCommands_->runEnded(world.lastStop);
}

void MainWindow::endOfRun() {
    qm::stopClock(world, qm::systemClock().nowDays());
    timelineCommands->runStopped();
    ui_.state.stateRefreshTimer->stop();
    world.idle = 1;
    ui_.control.startButton->setText(QString::fromLatin1(StartCaption));
    setRunLock(false);
    statePanel->runEndDuties();
    repaint();
}
