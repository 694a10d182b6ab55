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

#include "app/Dialogs.h"
#include "app/MainForm/MainForm.h"
#include "core/RunContinue.h"
#include "core/StepLoops.h"
#include "core/WorldFile.h"
#include "definitions/qt/EditorCommands.h"
#include "settings/AboutBoxUnit/AboutBoxUnit.h"
#include "view/EyeWindow.h"
#include "view/MainView.h"
#include "view/StatePanel.h"
#include "view/WaitCursor.h"

namespace {

constexpr int DefinePage = 0;

qm::AntMaxChoice antMaxChoiceOf(qm::RunMode mode) {
    switch (mode) {
        case qm::RunMode::Indexed15: return qm::AntMaxChoice::Ants15;
        case qm::RunMode::Indexed65535: return qm::AntMaxChoice::Ants65535;
        case qm::RunMode::BlackWhite: return qm::AntMaxChoice::BlackWhite;
        default: return qm::AntMaxChoice::Ants255;
    }
}

std::string pathBytes(const QString& fileName) { return QFile::encodeName(fileName).toStdString(); }

bool startsAsWorldFile(const QString& fileName) { return qm::startsAsWorldFile(pathBytes(fileName)); }

}  // namespace

bool TForm1::canSaveWorld() const {
    return !runInProgress_ && world.idle && world.grid.exists() && world.counters.antCount > 0 && world.antPos;
}

bool TForm1::canContinueRun() const { return !runInProgress_ && qm::canContinue(world); }

void TForm1::updateWorldActions() {
    ContinueRun1->setEnabled(canContinueRun());
    SaveWorld1->setEnabled(canSaveWorld());
    OpenWorld1->setEnabled(!runInProgress_);
}

void TForm1::ContinueRun1Click() {
    if (!canContinueRun()) return;
    const RunProcedure procedure(*this);
    continueWhileActive();
}

// As a start from the moment the run is active, without reading the ants or clearing anything:
// the run goes on with its counters, its computing time and its picture.
void TForm1::continueWhileActive() {
    try {
        if (aboutBox) aboutBox->ComboBoxTimerChange();
        Timer1->stop();
        statePanel->savedBrakePosition = TrackBarSpeed->value();
        eyeWindow->updateOptions();
        world.idle = 0;
        Button1->setText(QString::fromLatin1(BreakCaption));
        setRunLock(true);
        updateWorldActions();
        statePanel->runContinueDuties();
        CBShowChange();
        Edit1Change();
        qm::resumeClock(world, qm::systemClock().nowDays());
        showRunStarting();
        runLoopTimed();
        endOfRun();
    } catch (...) {
        showUnexpectedRunError();
        endOfRunAfterFailure();
    }
}

void TForm1::SaveWorld1Click() {
    if (!canSaveWorld()) return;
    const std::optional<QString> chosen =
        dialogs->saveFileName(WorldDialog.filter, WorldDialog.defaultSuffix, WorldDialog.lastDir);
    if (!chosen) return;
    qm::WorldDocument document;
    qm::WorldSettings& s = document.settings;
    s.mode = world.mode();
    s.states = world.states;
    s.spectrum = aboutBox ? aboutBox->spectrumItem() : 0;
    s.memoryItem = aboutBox ? aboutBox->memoryItem() : 1;
    s.continueCompute = world.storeIndexed || world.storeBW || world.storeMulti;
    s.viewOffsetX = mainView->viewOffsetX;
    s.viewOffsetY = mainView->viewOffsetY;
    s.squareSizeItem = ComboBoxSize->currentIndex();
    document.definitionText = runDefinitionText;
    qm::WaitCursor cursor;
    const std::string reason = qm::saveWorldFile(pathBytes(*chosen), world, document);
    cursor.restore();
    if (!reason.empty()) dialogs->showMessage(qm::worldSaveMessage(chosen->toStdString(), reason), qm::BoxType::Error);
}

void TForm1::OpenWorld1Click() {
    if (runInProgress_) return;
    const std::optional<QString> chosen = dialogs->openFileName(WorldDialog.filter, WorldDialog.lastDir);
    if (chosen) openWorldFile(*chosen);
}

bool TForm1::openWorldFile(const QString& fileName) {
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
    if (aboutBox)
        aboutBox->applyWorldSettings(s.mode == qm::RunMode::Generalized, antMaxChoiceOf(s.mode), s.states, s.spectrum,
                                     s.memoryItem, s.continueCompute);
    qm::installWorld(world, *loaded);
    worldDisplayAfterOpen(*loaded);
    return true;
}

// Everything that shows the world, as after a run: editor, view, state panel, eye.
void TForm1::worldDisplayAfterOpen(const qm::LoadedWorld& loaded) {
    const qm::WorldSettings& s = loaded.document.settings;
    runDefinitionText = loaded.document.definitionText;
    Memo1->setPlainText(QString::fromStdString(runDefinitionText));
    PageControl1->setCurrentIndex(DefinePage);
    ComboBoxSize->setCurrentIndex(s.squareSizeItem);
    ComboBoxSizeChange();
    mainView->viewOffsetX = s.viewOffsetX;
    mainView->viewOffsetY = s.viewOffsetY;
    // The labels show the moves, the offsets' opposites, as navigation shows them.
    LabelMX->setText(QString::number(-int64_t{s.viewOffsetX}));
    LabelMY->setText(QString::number(-int64_t{s.viewOffsetY}));
    // The squares painted outside the bounding box (start squares) must be repainted too.
    mainView->forgetVisited();
    if (loaded.paintedMinX <= loaded.paintedMaxX) {
        mainView->noteVisited(loaded.paintedMinX, loaded.paintedMinY);
        mainView->noteVisited(loaded.paintedMaxX, loaded.paintedMaxY);
    }
    qm::resumeClock(world, qm::systemClock().nowDays());
    TrackBarSpeedChange();
    statePanel->afterAntsRead();
    statePanel->textStateRoutine();
    mainView->updateViewCentre();
    // The view as the world's settings give it, with the overlay of the show mode: the picture
    // of the panned view before must not stay.
    mainView->paintHandler();
    if (PanelFalconEye->isVisible()) eyeWindow->redrawClick();
    updateWorldActions();
    repaint();
}

void TForm1::openFromCommandLine(const QString& fileName) {
    if (startsAsWorldFile(fileName)) openWorldFile(fileName);
    else editorCommands->loadFile(fileName);
}
