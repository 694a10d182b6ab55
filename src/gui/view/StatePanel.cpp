#include "gui/view/StatePanel.h"

#include <cmath>
#include <initializer_list>

#include <QComboBox>
#include <QLabel>
#include <QSlider>
#include <QTimer>

#include "core/Platform.h"
#include "core/RunSettings.h"
#include "core/World.h"
#include "gui/view/PaintContext.h"
#include "gui/window/MainWindowWidgets.h"
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

StatePanel::StatePanel(StateWidgets& ui, VisualisationWidgets& brake, qm::ImageSurface& viewSurface, qm::World& world,
                       const qm::RunSettings& settings, const qm::ColourRef& viewBackground,
                       PaintContext& paintContext, MainView& mainView)
    : ui_(ui),
      brake_(brake),
      viewSurface_(viewSurface),
      world_(world),
      settings_(settings),
      viewBackground_(viewBackground),
      paintContext_(paintContext),
      mainView_(mainView) {}

bool StatePanel::runActive() const { return world_.idle == 0; }

void StatePanel::displayModeChange() {
    const int item = ui_.displayModeCombo->currentIndex();
    qm::DisplayHooks& hooks = world_.hooks;
    hooks.context = &paintContext_;
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
    const qm::RunCounters& c = world_.counters;
    ui_.stepValue->setText(QString::number(c.stepCount));
    ui_.maxXValue->setText(QString::number(c.maxX));
    ui_.maxYValue->setText(QString::number(c.maxY));
    ui_.minXValue->setText(QString::number(c.minX));
    ui_.minYValue->setText(QString::number(c.minY));
    ui_.filledValue->setText(QString::number(c.filled));
    ui_.peakFilledValue->setText(QString::number(c.peakFilled));
    ui_.computingTimeValue->setText(qm::elapsedTimeText(c.runStartDays, qm::systemClock().nowDays()));
    ui_.allStepsValue->setText(QString::number(qm::allSteps(c)));
}

void StatePanel::handBrakeChange() {
    const uint32_t position = static_cast<uint32_t>(brake_.handBrakeSlider->value());
    if (position != TrackBarMaximum) brake_.pauseLink->setText(StopCaption);
    const uint32_t coefficient = static_cast<uint32_t>(settings_.handBrakeCoefficient);
    world_.handBrakeCount = position * coefficient * position * brakeFactor(displayItem);
}

void StatePanel::pauseLinkClick() {
    if (brake_.pauseLink->text() == PauseCaption) {
        brake_.pauseLink->setText(StopCaption);
        brake_.handBrakeSlider->setValue(savedBrakePosition);
        return;
    }
    brake_.pauseLink->setText(PauseCaption);
    savedBrakePosition = brake_.handBrakeSlider->value();
    brake_.handBrakeSlider->setValue(TrackBarMaximum);
}

void StatePanel::timerRule() {
    applyRefreshPeriod(*ui_.stateRefreshTimer, settings_.refreshSeconds,
                       world_.idle == 0 && !ui_.allStepsValue->isEnabled());
}

void StatePanel::timerEvent() { textStateRoutine(); }

void StatePanel::labelsEnable(bool enabled) {
    for (QLabel* label : {ui_.maxLabel, ui_.minLabel, ui_.filledLabel, ui_.stepLabel, ui_.computingTimeLabel, ui_.peakFilledLabel,
                          ui_.allStepsLabel, ui_.minXValue, ui_.minYValue, ui_.maxXValue,
                          ui_.maxYValue, ui_.filledValue, ui_.peakFilledValue,
                          ui_.stepValue, ui_.computingTimeValue, ui_.allStepsValue})
        label->setEnabled(enabled);
}

void StatePanel::runContinueDuties() {
    for (QLabel* caption : {ui_.minLabel, ui_.maxLabel, ui_.filledLabel, ui_.peakFilledLabel, ui_.stepLabel, ui_.computingTimeLabel,
                            ui_.antsCountLabel, ui_.allStepsLabel})
        caption->setToolTip(QString());
}

void StatePanel::runStartDuties() {
    runContinueDuties();
    ui_.allStepsValue->setText(QStringLiteral("0"));
    // The painters of this run start noting squares afresh for the repaint.
    mainView_.forgetVisited();
}

void StatePanel::afterAntsRead() { ui_.antsCountValue->setText(QString::number(world_.counters.antCount)); }

void StatePanel::runEndDuties() {
    ui_.stateRefreshTimer->stop();
    brake_.handBrakeSlider->setValue(savedBrakePosition);
    const qm::RunCounters& c = world_.counters;
    ui_.minLabel->setToolTip(hintPair(c.minX, c.minY));
    ui_.maxLabel->setToolTip(hintPair(c.maxX, c.maxY));
    ui_.filledLabel->setToolTip(QString::number(c.filled));
    ui_.stepLabel->setToolTip(QString::number(c.stepCount));
    ui_.computingTimeLabel->setToolTip(qm::elapsedTimeText(c.runStartDays, qm::systemClock().nowDays()));
    ui_.antsCountLabel->setToolTip(QString::number(c.antCount));
    ui_.allStepsLabel->setToolTip(QString::number(qm::allSteps(c)));
    labelsEnable(true);
    textStateRoutine();
    world_.hooks.step(world_.hooks.context);
}
