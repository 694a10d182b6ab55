// The commands that let the picture out and the window answer the hand: the whole picture and
// the pattern in the context menu, the keys of the common buttons (shown in their hints and in
// the menu), and the wheel, drag and arrow keys of the main view.

#include <QAction>
#include <QComboBox>
#include <QKeySequence>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>

#include "gui/window/MainWindow.h"
#include "gui/view/ImageSurface.h"
#include "gui/recording/RecordingCommands.h"
#include "gui/view/EyeWindow.h"
#include "gui/view/MainView.h"
#include "gui/view/StatePanel.h"
#include "core/Checkpoints.h"
#include "core/RunContinue.h"
#include "gui/settings/SettingsDialog.h"
#include "gui/timeline/TimelineCommands.h"
#include "gui/view/PictureCommands.h"
#include "gui/view/ViewGestures.h"
#include "gui/window/StartClickGuard.h"

namespace {

// An action that clicks `button`, so a key does exactly what the button does, and nothing
// while the button is disabled.
QAction* keyFor(MainWindow& form, QPushButton* button, const QString& caption, const QKeySequence& key) {
    auto* action = new QAction(caption, &form);
    action->setShortcut(key);
    action->setShortcutContext(Qt::WindowShortcut);
    QObject::connect(action, &QAction::triggered, button, [button] { button->click(); });
    form.addAction(action);
    return action;
}

QString withKey(const QString& hint, const QKeySequence& key) {
    return hint + QStringLiteral(" (") + key.toString(QKeySequence::NativeText) + QLatin1Char(')');
}

}  // namespace

void MainWindow::buildHandCommands() {
    pictureCommands = std::make_unique<PictureCommands>(world, stateColours, viewBackground, *dialogs);
    viewGestures = std::make_unique<ViewGestures>(*ui_.visualisation.squareSizeCombo, *ui_.view.viewSurface, *mainView,
                                                  *navigation);
    startClickGuard = std::make_unique<StartClickGuard>(*ui_.control.startButton);
    buildTimelineCommands();

    // The view export's key, usable without opening the menu.
    ui_.view.saveBmpAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    ui_.view.saveBmpAction->setShortcutContext(Qt::WindowShortcut);
    addAction(ui_.view.saveBmpAction);
    ui_.view.saveWholePictureAction = new QAction(QStringLiteral("Save whole picture..."), this);
    ui_.view.savePatternAction = new QAction(QStringLiteral("Save pattern (RLE)..."), this);
    // After the design's three commands, which keep their places.
    ui_.view.viewMenu->addSeparator();
    ui_.view.viewMenu->addActions({ui_.view.saveWholePictureAction, ui_.view.savePatternAction});
    connect(ui_.view.saveWholePictureAction, &QAction::triggered, this, [this] { pictureCommands->saveWholePicture(); });
    connect(ui_.view.savePatternAction, &QAction::triggered, this, [this] { pictureCommands->savePattern(); });

    // "Record animation...": the same item stops the recording; its frame count in the caption.
    recordAnimationAction_ = new QAction(QString::fromLatin1(RecordAnimationCaption), this);
    recordAnimationAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_R));
    recordAnimationAction_->setObjectName(QStringLiteral("recordAnimationAction"));
    recordAnimationAction_->setShortcutContext(Qt::WindowShortcut);
    addAction(recordAnimationAction_);
    ui_.view.viewMenu->addAction(recordAnimationAction_);
    recordingCommands_ = std::make_unique<RecordingCommands>(
        RecordingCommands::Collaborators{
            world, frameObservers_, runPausePoints_, *dialogs, this,
            [this]() -> const QImage& { return ui_.view.viewSurface->image(); },
            [this] { return qm::PicturePalette{viewBackground, &stateColours}; },
            [this, caption = windowTitle()](const QString& status) {
                setWindowTitle(status.isEmpty() ? caption : caption + QStringLiteral(" - ") + status);
            }},
        *recordAnimationAction_);
    connect(recordAnimationAction_, &QAction::triggered, this, [this] { recordingCommands_->toggle(); });

    ui_.view.startKeyAction = keyFor(*this, ui_.control.startButton, QStringLiteral("Start or break the run"), QKeySequence(Qt::Key_F9));
    ui_.view.redrawKeyAction = keyFor(*this, ui_.navigation.redrawViewButton, QStringLiteral("Redraw"), QKeySequence(Qt::CTRL | Qt::Key_R));
    ui_.view.eyeKeyAction = keyFor(*this, ui_.navigation.eyeShowHideButton, QStringLiteral("Show or hide the eye"), QKeySequence(Qt::Key_F8));
    ui_.view.viewMenu->addSeparator();
    ui_.view.viewMenu->addActions({ui_.view.startKeyAction, ui_.view.redrawKeyAction, ui_.view.eyeKeyAction});
    ui_.control.startButton->setToolTip(withKey(ui_.view.startKeyAction->text(), ui_.view.startKeyAction->shortcut()));
    ui_.navigation.redrawViewButton->setToolTip(withKey(QStringLiteral("Redraw the main view"), ui_.view.redrawKeyAction->shortcut()));
    ui_.navigation.eyeShowHideButton->setToolTip(withKey(ui_.view.eyeKeyAction->text(), ui_.view.eyeKeyAction->shortcut()));

    const QString arrows = QStringLiteral(" (arrow keys in the view; drag it with the left button)");
    ui_.navigation.panRightButton->setToolTip(QStringLiteral("Move right") + arrows);
    ui_.navigation.panLeftButton->setToolTip(QStringLiteral("Move left") + arrows);
    ui_.navigation.panUpButton->setToolTip(QStringLiteral("Move up") + arrows);
    ui_.navigation.panDownButton->setToolTip(QStringLiteral("Move down") + arrows);
    ui_.visualisation.squareSizeCombo->setToolTip(QStringLiteral("Square size (the mouse wheel over the view steps it)"));

    ui_.view.viewSurface->setFocusPolicy(Qt::ClickFocus);
    ui_.view.viewSurface->onWheel = [this](QWheelEvent* e) { viewGestures->wheel(e); };
    ui_.view.viewSurface->onMousePress = [this](QMouseEvent* e) { viewGestures->mousePress(e); };
    ui_.view.viewSurface->onMouseMove = [this](QMouseEvent* e) { viewGestures->mouseMove(e); };
    ui_.view.viewSurface->onMouseRelease = [this](QMouseEvent* e) { viewGestures->mouseRelease(e); };
    ui_.view.viewSurface->onKeyPress = [this](QKeyEvent* e) { return viewGestures->keyPress(e); };
}

void MainWindow::buildTimelineCommands() {
    qmgui::TimelineCollaborators collaborators{
        world, frameObservers_, *dialogs, this, ui_.view.viewMenu,
        [this] { return runInProgress_; },
        [this] {
            return qm::checkpointBudgetBytes(settings_.memoryItem, settings_.continueCompute,
                                             qm::queryMemoryStatus().available);
        },
        [this] { showJumpedWorld(); },
        [this](int64_t steps) { continueToStep(steps); }};
    timelineCommands = std::make_unique<qmgui::TimelineCommands>(std::move(collaborators));
}

// As after "Open world...": the figures, their hints, the view and the eye from what the world
// holds now. The painted extent stays as the run had it, which covers every step before.
void MainWindow::showJumpedWorld() {
    qm::resumeClock(world, qm::systemClock().nowDays());
    statePanel->runEndDuties();
    mainView->paintHandler();
    if (ui_.eye.eyeFrame->isVisible()) eyeWindow->redrawClick();
    updateWorldActions();
    repaint();
}

void MainWindow::continueToStep(int64_t steps) {
    if (runInProgress_) return;
    world.limits.userMaxSteps = steps;  // lets a run stopped by "Max steps:" go on
    stepTarget_ = steps;
    continueRunFromMenu();
    stepTarget_ = -1;
    maxStepsEdited();
}
