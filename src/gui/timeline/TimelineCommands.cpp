#include "gui/timeline/TimelineCommands.h"

#include <QAction>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QWidget>
#include <QWidgetAction>

#include "core/Checkpoints.h"
#include "core/Platform.h"
#include "core/RunContinue.h"
#include "definitions/NumberText.h"
#include "gui/Dialogs.h"
#include "gui/timeline/GoToStepDialog.h"
#include "gui/timeline/GrowthChart.h"

namespace qmgui {
namespace {

QAction* keyedAction(QWidget* window, const QString& name, const QString& caption, const QKeySequence& key) {
    auto* action = new QAction(caption, window);
    action->setObjectName(name);
    action->setShortcut(key);
    action->setShortcutContext(Qt::WindowShortcut);
    action->setShortcutVisibleInContextMenu(true);
    window->addAction(action);  // the key works with the menu closed
    return action;
}

// "PNG image (*.png)" -> "PNG image (*.png)|*.png" and "png", as the dialogs seam takes them.
std::pair<QString, QString> seamFilter(const QString& filter) {
    const qsizetype open = filter.indexOf(QLatin1Char('('));
    const qsizetype close = filter.indexOf(QLatin1Char(')'), open);
    if (open < 0 || close < 0) return {filter, QString()};
    const QString pattern = filter.mid(open + 1, close - open - 1);
    const qsizetype dot = pattern.lastIndexOf(QLatin1Char('.'));
    return {filter + QLatin1Char('|') + pattern, dot < 0 ? QString() : pattern.mid(dot + 1)};
}

}  // namespace

TimelineCommands::TimelineCommands(TimelineCollaborators collaborators) : c_(std::move(collaborators)) {
    chart_ = new GrowthChart(c_.window);
    chart_->setWindowFlag(Qt::Window);  // a window of its own, closed with the main window
    chart_->setWindowTitle(QStringLiteral("Growth"));
    chart_->resize(640, 420);
    chart_->setFileNameAsker([this](const QString& caption, const QString& filter) {
        (void)caption;
        const auto [seam, suffix] = seamFilter(filter);
        return c_.dialogs.saveFileName(seam, suffix, chartFolder_).value_or(QString());
    });
    chart_->setProblemShower([this](const QString& text) { c_.dialogs.showMessage(text.toStdString(), qm::BoxType::Error); });
    connect(chart_, &GrowthChart::stepRequested, this, [this](qint64 steps) {
        if (canJump()) goTo(steps);
    });
    buildMenu();
    observer_ = c_.frameObservers.add([this] { frameShown(); });
    updateActions();
}

TimelineCommands::~TimelineCommands() {
    c_.frameObservers.remove(observer_);
    chart_->setSamples(nullptr);
}

void TimelineCommands::buildMenu() {
    growthAction_ = keyedAction(c_.window, QStringLiteral("growthAction"), QStringLiteral("Growth"), QKeySequence(Qt::Key_F7));
    stepAction_ = keyedAction(c_.window, QStringLiteral("stepAction"), QStringLiteral("Step"), QKeySequence(Qt::Key_F6));
    stepBackAction_ = keyedAction(c_.window, QStringLiteral("stepBackAction"), QStringLiteral("Step back"), QKeySequence(Qt::SHIFT | Qt::Key_F6));
    goToStepAction_ = keyedAction(c_.window, QStringLiteral("goToStepAction"), QStringLiteral("Go to step..."), QKeySequence(Qt::CTRL | Qt::Key_G));

    // "Steps:" in the menu itself, so that a count is set where it is used.
    auto* box = new QWidget(c_.menu);
    box->setObjectName(QStringLiteral("stepCountBox"));
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(24, 2, 8, 2);
    auto* stepLabel = new QLabel(QStringLiteral("Steps:"), box);
    stepLabel->setObjectName(QStringLiteral("stepCountLabel"));
    row->addWidget(stepLabel);
    stepField_ = new QLineEdit(QStringLiteral("1"), box);
    stepField_->setObjectName(QStringLiteral("stepCountEdit"));
    stepField_->setMaximumWidth(110);
    stepField_->setToolTip(QStringLiteral("How many steps \"Step\" and \"Step back\" go"));
    row->addWidget(stepField_);
    stepFieldAction_ = new QWidgetAction(c_.menu);
    stepFieldAction_->setObjectName(QStringLiteral("stepCountAction"));
    stepFieldAction_->setDefaultWidget(box);

    c_.menu->addSeparator();
    c_.menu->addAction(growthAction_);
    c_.menu->addActions({stepAction_, stepBackAction_});
    c_.menu->addAction(stepFieldAction_);
    c_.menu->addAction(goToStepAction_);

    connect(growthAction_, &QAction::triggered, this, &TimelineCommands::showGrowth);
    connect(stepAction_, &QAction::triggered, this, &TimelineCommands::step);
    connect(stepBackAction_, &QAction::triggered, this, &TimelineCommands::stepBack);
    connect(goToStepAction_, &QAction::triggered, this, &TimelineCommands::goToStep);
    connect(stepField_, &QLineEdit::textChanged, this, &TimelineCommands::updateActions);
    // What can act changes with every run and jump; the menu shows it as it is when opened.
    connect(c_.menu, &QMenu::aboutToShow, this, &TimelineCommands::updateActions);
}

std::optional<int64_t> TimelineCommands::stepAmount() const {
    int64_t n = 0;
    if (!qm::textToInt64(stepField_->text().trimmed().toStdString(), n) || n <= 0) return std::nullopt;
    return n;
}

bool TimelineCommands::canJump() const {
    return timeline_ && !c_.runInProgress() && qm::Timeline::canJump(c_.world);
}

void TimelineCommands::updateActions() {
    const bool jump = canJump();
    const std::optional<int64_t> n = stepAmount();
    const int64_t at = c_.world.counters.stepCount;
    bool goesOn = false;
    if (jump && n) {
        // As "Continue run" would with "Max steps:" at the step's end.
        const int64_t userMaxSteps = c_.world.limits.userMaxSteps;
        c_.world.limits.userMaxSteps = stepTarget(*n);
        goesOn = at < c_.world.limits.stepMax && qm::canContinue(c_.world);
        c_.world.limits.userMaxSteps = userMaxSteps;
    }
    stepAction_->setEnabled(goesOn);
    stepBackAction_->setEnabled(jump && n && at > 0);
    goToStepAction_->setEnabled(jump);
    stepField_->setEnabled(!c_.runInProgress());
}

void TimelineCommands::setTimeline(std::unique_ptr<qm::Timeline> timeline) {
    chart_->setSamples(nullptr);
    timeline_ = std::move(timeline);
    if (timeline_) chart_->setSamples(&timeline_->samples());
    refreshChart();
    updateActions();
}

// The computing time of the run as its clock stands now (it runs while the loop does).
double TimelineCommands::runSeconds() const {
    return (qm::systemClock().nowDays() - c_.world.counters.runStartDays) * 86400.0;
}

void TimelineCommands::runStarting() {
    looping_ = false;
    setTimeline(nullptr);
}

void TimelineCommands::runStarted() { startTimeline(true); }

void TimelineCommands::worldOpened() {
    looping_ = false;
    startTimeline(false);
}

void TimelineCommands::startTimeline(bool emptyGrid) {
    auto timeline = std::make_unique<qm::Timeline>(c_.checkpointBudget());
    timeline->start(c_.world, c_.world.counters.elapsedDays * 86400.0, emptyGrid);
    setTimeline(std::move(timeline));
}

void TimelineCommands::loopStarting() {
    looping_ = timeline_ != nullptr;
    updateActions();
}

// Only a frame of the loop itself is a step end: the view's repaints outside the loop and the
// figures shown before a stop's message box call the observers too, with the run stopped or
// inside a step.
void TimelineCommands::frameShown() {
    const qm::World& w = c_.world;
    if (!looping_ || w.idle != 0 || w.lastStop != qm::StopReason::None) return;
    if (w.counters.currentAnt != w.counters.antCount - 1) return;
    timeline_->atStepEnd(w, runSeconds());
}

void TimelineCommands::runStopped() {
    if (looping_ && timeline_) timeline_->atStop(c_.world, c_.world.counters.elapsedDays * 86400.0);
    looping_ = false;
    refreshChart();
    updateActions();
}

bool TimelineCommands::goTo(int64_t steps) {
    if (!canJump()) return false;
    const qm::JumpResult result = timeline_->goTo(c_.world, steps);
    if (result.moved) c_.showJumpedWorld();
    if (!result.message.empty()) c_.dialogs.showMessage(result.message, result.messageType);
    refreshChart();
    updateActions();
    return result.reached;
}

// A live continue that paints every frame: at a large square size a run is followed square by
// square, and a long step can be watched and broken off as any run.
void TimelineCommands::step() {
    const std::optional<int64_t> n = stepAmount();
    if (!n || !canJump()) return;
    c_.continueTo(stepTarget(*n));
}

int64_t TimelineCommands::stepTarget(int64_t n) const {
    const int64_t at = c_.world.counters.stepCount;
    return at > c_.world.limits.stepMax - n ? c_.world.limits.stepMax : at + n;
}

void TimelineCommands::stepBack() {
    const std::optional<int64_t> n = stepAmount();
    if (!n || !canJump()) return;
    const int64_t at = c_.world.counters.stepCount;
    goTo(at > *n ? at - *n : 0);
}

void TimelineCommands::goToStep() {
    if (!canJump()) return;
    GoToStepDialog dialog(c_.world.counters.stepCount, c_.world.limits.stepMax, c_.window);
    c_.dialogs.showModal(dialog);
    if (dialog.result() != QDialog::Accepted) return;
    if (const std::optional<int64_t> steps = dialog.step()) goTo(*steps);
}

void TimelineCommands::showGrowth() {
    chart_->show();
    chart_->raise();
    chart_->activateWindow();
    refreshChart();
}

// A hidden chart is drawn when it is shown: laying out axes in a window never shown costs seconds.
void TimelineCommands::refreshChart() {
    if (chart_->isVisible()) chart_->refresh();
}

}  // namespace qmgui
