#include "gui/view/StatePanel.h"

#include <cmath>
#include <initializer_list>

#include <QComboBox>
#include <QLabel>
#include <QSlider>
#include <QTimer>

#include "gui/window/MainWindow.h"
#include "core/Platform.h"
#include "gui/settings/SettingsDialog.h"
#include "gui/view/FrameObservers.h"
#include "gui/view/MainView.h"
#include "gui/view/RefreshPeriod.h"

const QString StatePanel::StopCaption = QStringLiteral("stop ^");
const QString StatePanel::PauseCaption = QStringLiteral("\u00AB\u00AB\u00AB GO");

namespace {

constexpr int TrackBarMaximum = 100;

// Hand brake factor of a display mode: the modes that write less per step brake harder.
uint32_t brakeFactor(int displayItem) {
    switch (displayItem) {
        case StatePanel::HideNumbers: return 5;
        case StatePanel::GraphicsOnly: return 3;
        default: return 1;
    }
}

// The step hooks of the display modes; every hook gets the paint context, and after the state
// panel tells the frame's observers.
void tellObservers(const PaintContext& context) {
    if (context.frameObservers && !context.frameObservers->empty()) context.frameObservers->notify();
}
void observersHook(void* context) { tellObservers(*static_cast<PaintContext*>(context)); }
void overlayHook(void* context) {
    auto& c = *static_cast<PaintContext*>(context);
    c.statePanel->overlayRoutine();
    tellObservers(c);
}
void textHook(void* context) {
    auto& c = *static_cast<PaintContext*>(context);
    c.statePanel->textStateRoutine();
    tellObservers(c);
}
void textAndOverlayHook(void* context) {
    auto& c = *static_cast<PaintContext*>(context);
    c.statePanel->textStateRoutine();
    c.statePanel->overlayRoutine();
    tellObservers(c);
}

QString hintPair(int32_t x, int32_t y) { return QStringLiteral("%1; %2").arg(x).arg(y); }

}  // namespace

namespace qm {

QString elapsedTimeText(double startDays, double nowDays) {
    constexpr int64_t MillisecondsPerDay = 86400000;
    const double difference = nowDays - startDays;
    // Only the time of day of the difference counts; the milliseconds are rounded, the
    // seconds then truncated.
    const double timeOfDay = std::fabs(difference - std::trunc(difference));
    const int64_t milliseconds = std::llround(timeOfDay * MillisecondsPerDay) % MillisecondsPerDay;
    const int64_t seconds = milliseconds / 1000;
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600)
        .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

int64_t allSteps(const RunCounters& counters) {
    // Wrapping product: a count that would overflow shows wrapped rather than being undefined.
    return static_cast<int64_t>(static_cast<uint64_t>(static_cast<int64_t>(counters.antCount)) *
                                static_cast<uint64_t>(counters.stepCount));
}

}  // namespace qm

StatePanel::StatePanel(MainWindow& form) : form_(form) {}

bool StatePanel::runActive() const { return form_.world.idle == 0; }

void StatePanel::displayModeChange() {
    const int item = form_.ui_.state.displayModeCombo->currentIndex();
    qm::DisplayHooks& hooks = form_.world.hooks;
    hooks.context = &form_.paintContext_;
    const bool overlayShown = previousItem == GraphicsOnly || previousItem == TextAndGraphics;
    switch (item) {
        case GraphicsOnly:
            hooks.step = &overlayHook;
            overlayRoutine();
            if (runActive()) labelsEnable(false);
            break;
        case TextOnly:
            if (overlayShown) overlayErase();
            hooks.step = &textHook;
            if (runActive()) labelsEnable(true);
            break;
        case TextAndGraphics:
            hooks.step = &textAndOverlayHook;
            overlayRoutine();
            if (runActive()) labelsEnable(true);
            break;
        default:
            if (overlayShown) overlayErase();
            hooks.step = &observersHook;
            if (runActive()) labelsEnable(false);
            break;
    }
    displayItem = item;
    previousItem = item;
    timerRule();
}

void StatePanel::textStateRoutine() {
    const qm::RunCounters& c = form_.world.counters;
    form_.ui_.state.stepValue->setText(QString::number(c.stepCount));
    form_.ui_.state.maxXValue->setText(QString::number(c.maxX));
    form_.ui_.state.maxYValue->setText(QString::number(c.maxY));
    form_.ui_.state.minXValue->setText(QString::number(c.minX));
    form_.ui_.state.minYValue->setText(QString::number(c.minY));
    form_.ui_.state.filledValue->setText(QString::number(c.filled));
    form_.ui_.state.peakFilledValue->setText(QString::number(c.peakFilled));
    form_.ui_.state.computingTimeValue->setText(qm::elapsedTimeText(c.runStartDays, qm::systemClock().nowDays()));
    form_.ui_.state.allStepsValue->setText(QString::number(qm::allSteps(c)));
}

void StatePanel::handBrakeChange() {
    const uint32_t position = static_cast<uint32_t>(form_.ui_.visualisation.handBrakeSlider->value());
    if (position != TrackBarMaximum) form_.ui_.visualisation.pauseLink->setText(StopCaption);
    const uint32_t coefficient = static_cast<uint32_t>(form_.settings_.handBrakeCoefficient);
    form_.world.handBrakeCount = position * coefficient * position * brakeFactor(displayItem);
}

void StatePanel::pauseLinkClick() {
    if (form_.ui_.visualisation.pauseLink->text() == PauseCaption) {
        form_.ui_.visualisation.pauseLink->setText(StopCaption);
        form_.ui_.visualisation.handBrakeSlider->setValue(savedBrakePosition);
        return;
    }
    form_.ui_.visualisation.pauseLink->setText(PauseCaption);
    savedBrakePosition = form_.ui_.visualisation.handBrakeSlider->value();
    form_.ui_.visualisation.handBrakeSlider->setValue(TrackBarMaximum);
}

void StatePanel::timerRule() {
    applyRefreshPeriod(*form_.ui_.state.stateRefreshTimer, form_.settings_.refreshSeconds,
                       form_.world.idle == 0 && !form_.ui_.state.allStepsValue->isEnabled());
}

void StatePanel::timerEvent() { textStateRoutine(); }

void StatePanel::labelsEnable(bool enabled) {
    for (QLabel* label : {form_.ui_.state.maxLabel, form_.ui_.state.minLabel, form_.ui_.state.filledLabel, form_.ui_.state.stepLabel, form_.ui_.state.computingTimeLabel, form_.ui_.state.peakFilledLabel,
                          form_.ui_.state.allStepsLabel, form_.ui_.state.minXValue, form_.ui_.state.minYValue, form_.ui_.state.maxXValue,
                          form_.ui_.state.maxYValue, form_.ui_.state.filledValue, form_.ui_.state.peakFilledValue,
                          form_.ui_.state.stepValue, form_.ui_.state.computingTimeValue, form_.ui_.state.allStepsValue})
        label->setEnabled(enabled);
}

void StatePanel::runContinueDuties() {
    for (QLabel* caption : {form_.ui_.state.minLabel, form_.ui_.state.maxLabel, form_.ui_.state.filledLabel, form_.ui_.state.peakFilledLabel, form_.ui_.state.stepLabel, form_.ui_.state.computingTimeLabel,
                            form_.ui_.state.antsCountLabel, form_.ui_.state.allStepsLabel})
        caption->setToolTip(QString());
}

void StatePanel::runStartDuties() {
    runContinueDuties();
    form_.ui_.state.allStepsValue->setText(QStringLiteral("0"));
    // The painters of this run start noting squares afresh for the repaint.
    form_.mainView->forgetVisited();
}

void StatePanel::afterAntsRead() { form_.ui_.state.antsCountValue->setText(QString::number(form_.world.counters.antCount)); }

void StatePanel::runEndDuties() {
    form_.ui_.state.stateRefreshTimer->stop();
    form_.ui_.visualisation.handBrakeSlider->setValue(savedBrakePosition);
    const qm::RunCounters& c = form_.world.counters;
    form_.ui_.state.minLabel->setToolTip(hintPair(c.minX, c.minY));
    form_.ui_.state.maxLabel->setToolTip(hintPair(c.maxX, c.maxY));
    form_.ui_.state.filledLabel->setToolTip(QString::number(c.filled));
    form_.ui_.state.stepLabel->setToolTip(QString::number(c.stepCount));
    form_.ui_.state.computingTimeLabel->setToolTip(qm::elapsedTimeText(c.runStartDays, qm::systemClock().nowDays()));
    form_.ui_.state.antsCountLabel->setToolTip(QString::number(c.antCount));
    form_.ui_.state.allStepsLabel->setToolTip(QString::number(qm::allSteps(c)));
    labelsEnable(true);
    textStateRoutine();
    form_.world.hooks.step(form_.world.hooks.context);
}
