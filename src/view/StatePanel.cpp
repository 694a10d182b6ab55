#include "view/StatePanel.h"

#include <cmath>
#include <initializer_list>

#include <QComboBox>
#include <QLabel>
#include <QSlider>
#include <QTimer>

#include "app/MainForm/MainForm.h"
#include "core/Platform.h"
#include "settings/AboutBoxUnit/AboutBoxUnit.h"
#include "view/MainView.h"

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

// The step hooks of the display modes; every hook gets the main window.
void overlayHook(void* context) { static_cast<TForm1*>(context)->statePanel->overlayRoutine(); }
void textHook(void* context) { static_cast<TForm1*>(context)->statePanel->textStateRoutine(); }
void textAndOverlayHook(void* context) {
    StatePanel& panel = *static_cast<TForm1*>(context)->statePanel;
    panel.textStateRoutine();
    panel.overlayRoutine();
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

StatePanel::StatePanel(TForm1& form) : form_(form) {}

bool StatePanel::runActive() const { return form_.world.idle == 0; }

void StatePanel::displayModeChange() {
    const int item = form_.CBShow->currentIndex();
    qm::DisplayHooks& hooks = form_.world.hooks;
    hooks.context = &form_;
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
            hooks.step = &qm::noHook;
            if (runActive()) labelsEnable(false);
            break;
    }
    displayItem = item;
    previousItem = item;
    timerRule();
}

void StatePanel::textStateRoutine() {
    const qm::RunCounters& c = form_.world.counters;
    form_.StaticTextStep->setText(QString::number(c.stepCount));
    form_.StaticTextMaxX->setText(QString::number(c.maxX));
    form_.StaticTextMaxY->setText(QString::number(c.maxY));
    form_.StaticTextMinX->setText(QString::number(c.minX));
    form_.StaticTextMinY->setText(QString::number(c.minY));
    form_.StaticTextCNTDB->setText(QString::number(c.filled));
    form_.StaticTextMaxCNTDB->setText(QString::number(c.peakFilled));
    form_.StaticTextTime->setText(qm::elapsedTimeText(c.runStartDays, qm::systemClock().nowDays()));
    form_.StaticAll->setText(QString::number(qm::allSteps(c)));
}

void StatePanel::handBrakeChange() {
    const uint32_t position = static_cast<uint32_t>(form_.TrackBarSpeed->value());
    if (position != TrackBarMaximum) form_.Label19->setText(StopCaption);
    const uint32_t coefficient =
        form_.aboutBox ? static_cast<uint32_t>(form_.aboutBox->handBrakeCoefficient()) : 0u;
    form_.world.handBrakeCount = position * coefficient * position * brakeFactor(displayItem);
}

void StatePanel::pauseLinkClick() {
    if (form_.Label19->text() == PauseCaption) {
        form_.Label19->setText(StopCaption);
        form_.TrackBarSpeed->setValue(savedBrakePosition);
        return;
    }
    form_.Label19->setText(PauseCaption);
    savedBrakePosition = form_.TrackBarSpeed->value();
    form_.TrackBarSpeed->setValue(TrackBarMaximum);
}

void StatePanel::timerRule() {
    if (form_.aboutBox) form_.aboutBox->ComboBoxTimerChange();
}

void StatePanel::timerEvent() { textStateRoutine(); }

void StatePanel::labelsEnable(bool enabled) {
    for (QLabel* label : {form_.Label2, form_.Label13, form_.Label4, form_.Label5, form_.Label6, form_.Label9,
                          form_.LabelAll, form_.StaticTextMinX, form_.StaticTextMinY, form_.StaticTextMaxX,
                          form_.StaticTextMaxY, form_.StaticTextCNTDB, form_.StaticTextMaxCNTDB,
                          form_.StaticTextStep, form_.StaticTextTime, form_.StaticAll})
        label->setEnabled(enabled);
}

void StatePanel::runContinueDuties() {
    for (QLabel* caption : {form_.Label13, form_.Label2, form_.Label4, form_.Label9, form_.Label5, form_.Label6,
                            form_.Label24, form_.LabelAll})
        caption->setToolTip(QString());
}

void StatePanel::runStartDuties() {
    runContinueDuties();
    form_.StaticAll->setText(QStringLiteral("0"));
    // The painters of this run start noting squares afresh for the repaint.
    form_.mainView->forgetVisited();
}

void StatePanel::afterAntsRead() { form_.STAntsCnt->setText(QString::number(form_.world.counters.antCount)); }

void StatePanel::runEndDuties() {
    form_.Timer1->stop();
    form_.TrackBarSpeed->setValue(savedBrakePosition);
    const qm::RunCounters& c = form_.world.counters;
    form_.Label13->setToolTip(hintPair(c.minX, c.minY));
    form_.Label2->setToolTip(hintPair(c.maxX, c.maxY));
    form_.Label4->setToolTip(QString::number(c.filled));
    form_.Label5->setToolTip(QString::number(c.stepCount));
    form_.Label6->setToolTip(qm::elapsedTimeText(c.runStartDays, qm::systemClock().nowDays()));
    form_.Label24->setToolTip(QString::number(c.antCount));
    form_.LabelAll->setToolTip(QString::number(qm::allSteps(c)));
    labelsEnable(true);
    textStateRoutine();
    form_.world.hooks.step(form_.world.hooks.context);
}
