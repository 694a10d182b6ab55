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

#include "app/Dialogs.h"
#include "app/MainForm/MainForm.h"
#include "app/StartClickGuard.h"
#include "core/RunContinue.h"
#include "core/RunSetup.h"
#include "core/StepLoops.h"
#include "definitions/AntReader.h"
#include "definitions/Imfile.h"
#include "settings/AboutBoxUnit/AboutBoxUnit.h"
#include "view/EyeWindow.h"
#include "view/MainView.h"
#include "view/StatePanel.h"
#include "view/WaitCursor.h"

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

void TForm1::Button1Click() {
    if (runInProgress_ || world.idle == 0) {
        // A second "Start" clicked during the hourglass is not the "Break" of the run it started.
        if (startClickGuard->clickMadeDuringPreparation()) return;
        world.idle = 1;
        return;
    }
    const RunProcedure procedure(*this);
    runFromStart();
}

void TForm1::afterRunProcedure() {
    runInProgress_ = false;
    updateWorldActions();
    if (closePending_) {
        closePending_ = false;
        // Close once this handler has returned to the event loop.
        QTimer::singleShot(0, this, [this] { close(); });
    }
}

void TForm1::setRunLock(bool locked) {
    for (QWidget* control : std::initializer_list<QWidget*>{Memo1, Button3, Button8, Button4, Button2, Button5,
                                                            Edit2, Button10, EditFile, PageControl1, CheckBox1})
        control->setEnabled(!locked);
    if (aboutBox) aboutBox->setRunLock(locked);
}

void TForm1::showRunError(const std::string& text) {
    dialogs->showMessage("ERROR: " + text, qm::BoxType::Error);
}

void TForm1::runFromStart() {
    qm::WaitCursor cursor;  // the hourglass for the preparation
    startClickGuard->preparationStarts();
    bool active = false;
    try {
        if (aboutBox) aboutBox->ComboBoxTimerChange();
        Timer1->stop();
        statePanel->savedBrakePosition = TrackBarSpeed->value();
        mainView->viewClear();
        eyeWindow->updateOptions();
        releaseBlock(world.antDir);

        std::vector<std::string> lines = editorLines();
        if (lines.empty()) return;

        if (qm::cleanUpEditorLines(lines)) setEditorLines(lines);
        const bool fromFile = PageControl1->currentIndex() == FromFilePage;
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
        LabelMX->setText(QStringLiteral("0"));
        LabelMY->setText(QStringLiteral("0"));
        const int memoryItem = aboutBox ? aboutBox->memoryItem() : 1;
        const int32_t halfSize = aboutBox ? aboutBox->halfSize() : halfSizes[static_cast<size_t>(memoryItem)];
        if (!qm::prepareFastGrid(world, halfSize)) {  // sized and filled for the run's mode
            cursor.restore();
            dialogs->showMessage(qm::MsgGridMemory, qm::BoxType::Error);
            return;
        }
        if (aboutBox && aboutBox->continueChecked()) {
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
void TForm1::endOfRunAfterFailure() {
    try {
        endOfRun();
    } catch (...) {
        world.idle = 1;
    }
}

void TForm1::showUnexpectedRunError() {
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
void TForm1::runWhileActive(const std::vector<std::string>& lines) {
    if (PanelFalconEye->isVisible()) {
        eyeWindow->redrawClick();
        eyeWindow->updateOptions();
    }
    Button1->setText(QString::fromLatin1(BreakCaption));
    setRunLock(true);
    statePanel->runStartDuties();
    CBShowChange();
    Edit1Change();
    const double startDays = qm::systemClock().nowDays();

    std::unique_ptr<qm::DefinitionSource> source;
    const bool fromFilePage = PageControl1->currentIndex() == FromFilePage;
    if (fromFilePage)
        source = std::make_unique<qm::FileSource>(QFile::encodeName(EditFile->text()).toStdString());
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

    const int32_t antsRead = qm::readAnts(world, *source, lineCount, CheckBox1->isChecked());
    if (antsRead < 0) {
        endOfRun();
        return;
    }
    world.counters.antCount = antsRead;
    runDefinitionText = definitionText(lines, fromFilePage ? EditFile->text() : QString());
    statePanel->afterAntsRead();

    qm::resetCounters(world, antsRead, startDays);
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
void TForm1::showRunStarting() {
    ComboBoxSizeChange();
    TrackBarSpeedChange();
    statePanel->textStateRoutine();
    mainView->updateViewCentre();
    if (!StaticAll->isEnabled()) Timer1->start();
    repaint();
}

void TForm1::runLoopTimed() {
    const auto loopStart = std::chrono::steady_clock::now();
    qm::runStepLoop(world);
    lastLoopSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - loopStart).count();
}

void TForm1::endOfRun() {
    qm::stopClock(world, qm::systemClock().nowDays());
    Timer1->stop();
    world.idle = 1;
    Button1->setText(QString::fromLatin1(StartCaption));
    setRunLock(false);
    statePanel->runEndDuties();
    repaint();
}
