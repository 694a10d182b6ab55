#pragma once
// The run's timeline in the window: it records a sample (and now and then a checkpoint) at every
// presented frame of a run, and serves the context menu's "Growth", "Step", "Step back" and
// "Go to step...". It knows the world, the frame observers, the dialogs and the view's menu; the
// window lends it the rest as calls (a full repaint after a jump, a live continue to a step).

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include <QObject>
#include <QString>

#include "core/Timeline.h"
#include "core/World.h"
#include "gui/view/FrameObservers.h"

class QAction;
class QLineEdit;
class QMenu;
class QWidget;
class QWidgetAction;
class Dialogs;

namespace qmgui {

class GrowthChart;

struct TimelineCollaborators {
    qm::World& world;
    FrameObservers& frameObservers;
    Dialogs& dialogs;
    QWidget* window;  // parent of the chart and the dialog; its keys work anywhere in it
    QMenu* menu;      // the view's context menu
    std::function<bool()> runInProgress;
    std::function<uint64_t()> checkpointBudget;  // bytes, from the run's memory settings
    std::function<void()> showJumpedWorld;        // everything repainted as after "Open world..."
    std::function<void(int64_t)> continueTo;      // a live continue that stops at the step given
};

class TimelineCommands : public QObject {
    Q_OBJECT
public:
    explicit TimelineCommands(TimelineCollaborators collaborators);
    ~TimelineCommands() override;

    // The window's run tells the timeline what happens to it.
    void runStarting();  // "Start" clicked: the previous run is no longer there to go back to
    void runStarted();   // the counters are reset and the ants read
    void worldOpened();
    void loopStarting();  // the step loop is about to run (start or continue)
    void runStopped();    // the run's clock has stopped
    void updateActions();

    // The commands of the menu.
    void step();
    void stepBack();
    void goToStep();
    void showGrowth();
    // Takes the run to `steps` and shows it; false when it did not get there.
    bool goTo(int64_t steps);

    // The number of steps "Step" and "Step back" move by (none while the field holds no count).
    std::optional<int64_t> stepAmount() const;
    bool canJump() const;

    QAction* growthAction() const { return growthAction_; }
    QAction* stepAction() const { return stepAction_; }
    QAction* stepBackAction() const { return stepBackAction_; }
    QAction* goToStepAction() const { return goToStepAction_; }
    QLineEdit* stepField() const { return stepField_; }
    GrowthChart* chart() const { return chart_; }
    const qm::Timeline* timeline() const { return timeline_.get(); }

private:
    void startTimeline(bool emptyGrid);
    void buildMenu();
    void frameShown();
    double runSeconds() const;
    void refreshChart();
    int64_t stepTarget(int64_t n) const;
    void setTimeline(std::unique_ptr<qm::Timeline> timeline);

    TimelineCollaborators c_;
    std::unique_ptr<qm::Timeline> timeline_;
    FrameObservers::Id observer_ = 0;
    bool looping_ = false;  // between the loop's start and the run's stop
    GrowthChart* chart_ = nullptr;
    QAction* growthAction_ = nullptr;
    QAction* stepAction_ = nullptr;
    QAction* stepBackAction_ = nullptr;
    QAction* goToStepAction_ = nullptr;
    QWidgetAction* stepFieldAction_ = nullptr;
    QLineEdit* stepField_ = nullptr;
    QString chartFolder_;  // where the chart's save dialogs open
};

}  // namespace qmgui
