// The main window's life: construction, first activation, resize, close and destruction, and
// the forwarding of every handler to the subsystem that owns the work.

#include "gui/window/MainWindow.h"
#include "gui/recording/RecordingCommands.h"

#include <exception>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QTimer>
#include <QToolButton>

#include "gui/Dialogs.h"
#include "core/RunSetup.h"
#include "gui/editor/EditorCommands.h"
#include "gui/settings/SettingsDialog.h"
#include "gui/settings/RadioGroup.h"
#include "gui/view/BitmapExport.h"
#include "gui/view/EyeWindow.h"
#include "gui/view/ImageSurface.h"
#include "gui/view/MainView.h"
#include "gui/view/Navigation.h"
#include "gui/view/PictureCommands.h"
#include "gui/view/StatePanel.h"
#include "gui/view/ViewGestures.h"
#include "gui/timeline/TimelineCommands.h"
#include "gui/window/StartClickGuard.h"

namespace {

inline constexpr const char* MsgConstructorFailed = "ERROR: 5001, Message: ";
inline constexpr const char* MsgResizeFailed = "ERROR: 5002, Message: ";
inline constexpr const char* MsgActivateFailed = "ERROR: 5003, Message: ";

// The first-activation defaults of the run (before the settings dialog computes the limits).
constexpr int64_t DefaultFilledMax = 178257920;  // 0x0AA00000
constexpr int64_t DefaultStepMax = 4294967285;   // 2^32 - 11

// Selects an item by program so that its change handler runs exactly once, also when the
// item is already the current one.
template <class Handler>
void chooseItem(QComboBox* combo, int index, Handler handler) {
    if (combo->currentIndex() == index) handler();
    else combo->setCurrentIndex(index);
}

std::string textOf(const std::exception_ptr& error) {
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
        return "undefined exception";
    }
}

}  // namespace

MainWindow::MainWindow(Dialogs& dialogs_, QWidget* parent)
    : QWidget(parent), dialogs(&dialogs_), pump(world), settingsHost_(*this) {
    try {
        world.pump = &pump;
        world.messages = &runMessages;
        buildControls();
        mainView = std::make_unique<MainView>(*ui_.view.viewSurface, *ui_.visualisation.squareSizeCombo, world,
                                              viewBackground, paintContext_);
        // The painters write pixels without asking for a screen update; the surfaces are shown
        // once per frame that the step loop serves instead. A view whose painters draw nothing
        // (size "0") has no new pixels from the moves: whatever else draws into it asks itself.
        pump.beforeEvents = [this] {
            if (!mainView->drawsNothing) ui_.view.viewSurface->update();
            ui_.eye.eyeSurface->update();
        };
        statePanel = std::make_unique<StatePanel>(ui_.state, ui_.visualisation, *ui_.view.viewSurface, world, settings_,
                                                  viewBackground, paintContext_, *mainView);
        eyeWindow = std::make_unique<EyeWindow>(ui_.eye, ui_.navigation, *ui_.view.viewSurface, world, stateColours,
                                                *mainView);
        navigation = std::make_unique<Navigation>(ui_.navigation, world, *mainView, *eyeWindow);
        bitmapExport = std::make_unique<BitmapExport>(ui_.view, *ui_.eye.eyeSurface, *eyeWindow, viewBackground,
                                                      pictureSaveDialog, *dialogs);
        editorCommands = std::make_unique<EditorCommands>(ui_.definition, *ui_.control.maxStepsEdit, world.limits,
                                                          definitionOpenDialog, definitionSaveDialog, *dialogs);
        paintContext_ = {&world, &stateColours, mainView.get(), eyeWindow.get(), statePanel.get(), &frameObservers_};
        setInitialState();
        connectHandlers();
        buildHandCommands();
        nameControls();
        if (QScreen* screen = QApplication::primaryScreen()) {
            move(screen->availableGeometry().center() - rect().center());
        }
        initialise();
    } catch (...) {
        dialogs->showMessage(MsgConstructorFailed + textOf(std::current_exception()), qm::BoxType::Error);
        throw;
    }
}

MainWindow::~MainWindow() {
    ui_.state.stateRefreshTimer->stop();
    // Ant positions, ant colours, fast grid, programs, directions, the three stores ...
    world.releaseAll();
    // ... then the memory reserve and the export bitmap.
    bitmapExport.reset();
}

void MainWindow::setInitialState() {
    world.idle = 1;
    ui_.eye.eyeZoomFineSlider->setValue(5);
    ui_.eye.eyeZoomMediumSlider->setValue(1);
    ui_.eye.eyeZoomCoarseSlider->setValue(1);
    eyeWindow->eyeScale = 5;
    ui_.eye.eyeChangedLabel->hide();
    eyeZoomChanged();
}

void MainWindow::connectHandlers() {
    connect(ui_.control.startButton, &QPushButton::clicked, this, [this] { startOrBreakRun(); });
    connect(ui_.control.settingsButton, &QPushButton::clicked, this, [this] { openSettings(); });
    connect(ui_.control.maxStepsEdit, &QLineEdit::textChanged, this, [this] { maxStepsEdited(); });
    connect(ui_.control.almostUnlimitedButton, &QPushButton::clicked, this, [this] { setAlmostUnlimitedSteps(); });
    connect(ui_.visualisation.squareSizeCombo, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0) squareSizeChanged();
    });
    connect(ui_.visualisation.handBrakeSlider, &QSlider::valueChanged, this, [this] { handBrakeChanged(); });
    connect(ui_.state.displayModeCombo, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0) displayModeChanged();
    });
    connect(ui_.state.stateRefreshTimer, &QTimer::timeout, this, [this] { refreshStateTick(); });

    connect(ui_.definition.addDiagonalButton, &QPushButton::clicked, this, [this] { addDiagonalAnts(); });
    connect(ui_.definition.addByAxisButton, &QPushButton::clicked, this, [this] { addAxisAnts(); });
    connect(ui_.definition.clearButton, &QPushButton::clicked, this, [this] { clearDefinition(); });
    connect(ui_.definition.loadButton, &QPushButton::clicked, this, [this] { loadDefinition(); });
    connect(ui_.definition.saveButton, &QPushButton::clicked, this, [this] { saveDefinition(); });
    connect(ui_.definition.selectFileButton, &QPushButton::clicked, this, [this] { selectDefinitionFile(); });

    ui_.view.viewSurface->onRender = [this] { paintView(); };
    ui_.view.viewSurface->onContextMenu = [this](const QPoint& at) { ui_.view.viewMenu->popup(at); };
    connect(ui_.navigation.redrawViewButton, &QPushButton::clicked, this, [this] { redrawView(); });
    connect(ui_.navigation.panRightButton, &QToolButton::clicked, this, [this] { panRight(); });
    connect(ui_.navigation.panLeftButton, &QToolButton::clicked, this, [this] { panLeft(); });
    connect(ui_.navigation.panUpButton, &QToolButton::clicked, this, [this] { panUp(); });
    connect(ui_.navigation.panDownButton, &QToolButton::clicked, this, [this] { panDown(); });
    connect(ui_.navigation.panUpLeftButton, &QToolButton::clicked, this, [this] { panUpLeft(); });
    connect(ui_.navigation.panDownLeftButton, &QToolButton::clicked, this, [this] { panDownLeft(); });
    connect(ui_.navigation.panUpRightButton, &QToolButton::clicked, this, [this] { panUpRight(); });
    connect(ui_.navigation.panDownRightButton, &QToolButton::clicked, this, [this] { panDownRight(); });
    connect(ui_.navigation.resetMoveXButton, &QToolButton::clicked, this, [this] { resetMoveX(); });
    connect(ui_.navigation.resetMoveYButton, &QToolButton::clicked, this, [this] { resetMoveY(); });
    connect(ui_.navigation.centreButton, &QToolButton::clicked, this, [this] { centreView(); });
    connect(ui_.navigation.centreOnAntButton, &QPushButton::clicked, this, [this] { centreOnAnt(); });
    connect(ui_.navigation.previousAntButton, &QPushButton::clicked, this, [this] { previousAnt(); });
    connect(ui_.navigation.nextAntButton, &QPushButton::clicked, this, [this] { nextAnt(); });

    connect(ui_.navigation.eyeShowHideButton, &QPushButton::clicked, this, [this] { toggleEye(); });
    connect(ui_.navigation.eyeSizeCombo, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0) eyeSizeChanged();
    });
    for (QSlider* bar : {ui_.eye.eyeZoomCoarseSlider, ui_.eye.eyeZoomMediumSlider, ui_.eye.eyeZoomFineSlider})
        connect(bar, &QSlider::valueChanged, this, [this] { eyeZoomChanged(); });
    connect(ui_.eye.redrawEyeButton, &QPushButton::clicked, this, [this] { redrawEye(); });
    connect(ui_.eye.drawCentreCheck, &QCheckBox::clicked, this, [this] { drawCentreToggled(); });
    connect(ui_.eye.updateAntsInEyeCheck, &QCheckBox::clicked, this, [this] { updateAntsInEyeToggled(); });
    connect(ui_.eye.updateWhiteInEyeCheck, &QCheckBox::clicked, this, [this] { updateAntsInEyeToggled(); });
    ui_.eye.eyeSurface->onRender = [this] { paintEye(); };
    ui_.eye.eyeSurface->onContextMenu = [this](const QPoint& at) { ui_.view.viewMenu->popup(at); };
    ui_.eye.eyeSurface->onMousePress = [this](QMouseEvent* e) { eyeWindow->mouseDown(e); };
    ui_.eye.eyeSurface->onMouseMove = [this](QMouseEvent* e) { eyeWindow->mouseMove(e); };
    ui_.eye.eyeSurface->onMouseRelease = [this](QMouseEvent* e) { eyeWindow->mouseUp(e); };

    connect(ui_.view.saveBmpAction, &QAction::triggered, this, [this] { saveBmp(); });
    connect(ui_.view.changeBackgroundAction, &QAction::triggered, this, [this] { changeBackground(); });
    connect(ui_.view.changeEyeBackgroundAction, &QAction::triggered, this, [this] { changeEyeBackground(); });
    connect(ui_.view.continueRunAction, &QAction::triggered, this, [this] { continueRunFromMenu(); });
    connect(ui_.view.saveWorldAction, &QAction::triggered, this, [this] { saveWorldFromMenu(); });
    connect(ui_.view.openWorldAction, &QAction::triggered, this, [this] { openWorldFromMenu(); });
    connect(ui_.view.viewMenu, &QMenu::aboutToShow, this, [this] { updateWorldActions(); });
    connect(ui_.control.maxStepsEdit, &QLineEdit::textChanged, this, [this] { updateWorldActions(); });
}

// ---------------------------------------------------------------------------------------------
// Life of the window

void MainWindow::initialise() { firstActivation = true; }

void MainWindow::activate() {
    if (!firstActivation) return;
    firstActivation = false;
    try {
        applyFirstActivation();
    } catch (...) {
        // Qt lets no exception leave an event handler; the box is the report, the loop goes on.
        dialogs->showMessage(MsgActivateFailed + textOf(std::current_exception()), qm::BoxType::Error);
    }
}

void MainWindow::applyFirstActivation() {
    // 1. State colours: spectrum 2 of 64 states, then the entry of the (still zero) state count white.
    qm::fillInitialStateColours(stateColours, world.states);
    // 2. Eye size.
    chooseItem(ui_.navigation.eyeSizeCombo, 4, [this] { eyeSizeChanged(); });
    QPalette eyePalette = ui_.eye.eyeFrame->palette();
    eyePalette.setColor(QPalette::Window,
                        QColor(int(qm::redOf(qm::EyeFrameColour)), int(qm::greenOf(qm::EyeFrameColour)),
                               int(qm::blueOf(qm::EyeFrameColour))));
    ui_.eye.eyeFrame->setPalette(eyePalette);
    // 3. Memory item 1.
    settings_.memoryItem = 1;
    // 4. Square size "2" with its painters.
    chooseItem(ui_.visualisation.squareSizeCombo, 2, [this] { squareSizeChanged(); });
    // 5. Display mode "Show grahhics state only".
    statePanel->displayItem = 1;
    statePanel->previousItem = 1;
    chooseItem(ui_.state.displayModeCombo, 1, [this] { displayModeChanged(); });
    // 6. (The memory choices are fitted to the machine with the limits, below.)
    // 7. Run defaults.
    world.idle = 1;
    world.antMax = 255;
    world.antMaxMode = qm::AntMaxMode::Ants255;
    if (!qm::allocateIndexedAntArrays(world, world.antMax))
        dialogs->showMessage(MsgAntArraysMemory, qm::BoxType::Error);
    world.limits.filledMax = DefaultFilledMax;
    world.limits.stepMax = DefaultStepMax;
    settings_.handBrakeCoefficient = 50;
    // 8. "Continue compute" where the system allows it.
    settings_.continueCompute = !windows9xFamily;
    if (windows9xFamily) {
        ui_.eye.eyeZoomCoarseSlider->hide();
        ui_.eye.eyeZoomMediumSlider->hide();
    } else {
        continuePossible = true;
    }
    // 9. Half sizes, the settings as the dialog shows them (memory choices fitted to the
    // machine, limits; memory warnings from then on), counters, square size and hand brake.
    halfSizes = qm::computeHalfSizes(settings_.antMax);
    settingsView_->firstActivation();
    qm::resetCounters(world, 0, 0.0);
    squareSizeChanged();
    handBrakeChanged();
    // 10. Eye window update options.
    updateAntsInEyeToggled();
}

void MainWindow::layoutAfterResize() {
    try {
        eyeWindow->layout();
        if (!bitmapExport->resizeBitmap()) {
            bitmapExport->exportBitmap.reset();
            dialogs->showMessage(MsgFatalBitmapMemory, qm::BoxType::Error);
        }
        mainView->updateViewCentre();
    } catch (...) {
        dialogs->showMessage(MsgResizeFailed + textOf(std::current_exception()), qm::BoxType::Error);
    }
}

bool MainWindow::mayClose() {
    world.idle = 1;
    return true;
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layoutAnchoredControls();
    layoutAfterResize();
}

void MainWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Window managers differ in whether (and when) a new window is activated; the first
    // showing counts as the first activation in any case.
    activate();
}

void MainWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) activate();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!mayClose()) {
        event->ignore();
        return;
    }
    if (runInProgress_) {
        // The run loop is on the stack: it sees the idle flag and returns; the close follows.
        closePending_ = true;
        event->ignore();
        return;
    }
    event->accept();
}

// ---------------------------------------------------------------------------------------------
// Forwarding to the subsystems

// "Setting": the settings dialog, modally; then the view repainted.
void MainWindow::openSettings() {
    settingsView_->showModally(*dialogs);
    mainView->paintHandler();
    updateWorldActions();  // the limits may have changed, or the run's structures gone
}
void MainWindow::maxStepsEdited() { editorCommands->maxStepsChange(); }
void MainWindow::setAlmostUnlimitedSteps() { editorCommands->almostUnlimited(); }
void MainWindow::addDiagonalAnts() { editorCommands->add4Diagonal(); }
void MainWindow::addAxisAnts() { editorCommands->add4Axis(); }
void MainWindow::clearDefinition() { editorCommands->clear(); }
void MainWindow::loadDefinition() { editorCommands->load(); }
void MainWindow::saveDefinition() { editorCommands->save(); }
void MainWindow::selectDefinitionFile() { editorCommands->selectFile(); }

void MainWindow::squareSizeChanged() { mainView->sizeSelection(); }

void MainWindow::handBrakeChanged() {
    world.trackBarPosition = ui_.visualisation.handBrakeSlider->value();
    statePanel->handBrakeChange();
}

void MainWindow::togglePause() { statePanel->pauseLinkClick(); }
void MainWindow::displayModeChanged() { statePanel->displayModeChange(); }
void MainWindow::refreshStateTick() { statePanel->timerEvent(); }

void MainWindow::paintView() { mainView->paintHandler(); }
void MainWindow::redrawView() { mainView->paintHandler(); }
void MainWindow::panRight() { navigation->pan(-1, 0); }
void MainWindow::panLeft() { navigation->pan(1, 0); }
void MainWindow::panUp() { navigation->pan(0, -1); }
void MainWindow::panDown() { navigation->pan(0, 1); }
void MainWindow::panUpLeft() { navigation->pan(1, -1); }
void MainWindow::panDownLeft() { navigation->pan(1, 1); }
void MainWindow::panUpRight() { navigation->pan(-1, -1); }
void MainWindow::panDownRight() { navigation->pan(-1, 1); }
void MainWindow::resetMoveX() { navigation->resetX(); }
void MainWindow::resetMoveY() { navigation->resetY(); }
void MainWindow::centreView() { navigation->center(); }
void MainWindow::centreOnAnt() { navigation->centerToAnt(); }
void MainWindow::previousAnt() { navigation->previousAnt(); }
void MainWindow::nextAnt() { navigation->nextAnt(); }

void MainWindow::toggleEye() { eyeWindow->showHide(); }
void MainWindow::eyeSizeChanged() { eyeWindow->layout(); }
void MainWindow::eyeZoomChanged() { eyeWindow->scaleChange(); }
void MainWindow::redrawEye() { eyeWindow->redrawClick(); }
void MainWindow::drawCentreToggled() { eyeWindow->drawCenterClick(); }
void MainWindow::updateAntsInEyeToggled() { eyeWindow->updateOptions(); }
void MainWindow::paintEye() { eyeWindow->paint(); }

void MainWindow::saveBmp() { bitmapExport->saveToBmp(); }
void MainWindow::changeBackground() { bitmapExport->changeBackground(); }
void MainWindow::changeEyeBackground() { bitmapExport->changeEyeBackground(); }

// ---------------------------------------------------------------------------------------------
// The editor's lines

std::vector<std::string> MainWindow::editorLines() const {
    QString text = ui_.definition.definitionEditor->toPlainText();
    std::vector<std::string> lines;
    if (text.isEmpty()) return lines;
    if (text.endsWith(QLatin1Char('\n'))) text.chop(1);
    const QStringList parts = text.split(QLatin1Char('\n'));
    lines.reserve(static_cast<size_t>(parts.size()));
    for (const QString& part : parts) lines.push_back(part.toUtf8().toStdString());
    return lines;
}

void MainWindow::setEditorLines(const std::vector<std::string>& lines) {
    QStringList parts;
    // Sized: a line may hold NULs, and every character of it must come back.
    for (const std::string& line : lines) parts << QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size()));
    ui_.definition.definitionEditor->setPlainText(parts.join(QLatin1Char('\n')));
}
