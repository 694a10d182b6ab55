// The state panel: counter texts and their formats, the overlay's cells on the main view, the
// display modes with their step hooks, label states and overlay erasing, the update timer, the
// hand brake count, the pause link, and the duties at run start and end.

#include <QCheckBox>
#include <QFontMetrics>
#include <QPaintEvent>
#include <QPainter>
#include <QRadioButton>

#include "ViewTestSupport.h"
#include "core/Platform.h"
#include "gui/settings/SettingsDialog.h"
#include "gui/view/OverlayFont.h"
#include "gui/view/ShapedTexts.h"

using namespace viewtest;

namespace {

constexpr uint32_t RedArgb = 0xFFFF0000u;
constexpr int64_t LongRun = 1000000000;
const QString Pause = QString::fromUtf8("\u00AB\u00AB\u00AB GO");

std::vector<QLabel*> stateLabels(const StateWidgets& state) {
    return {state.maxLabel,         state.minLabel,        state.filledLabel,         state.stepLabel,         state.computingTimeLabel,
            state.peakFilledLabel,         state.allStepsLabel,       state.minXValue, state.minYValue, state.maxXValue,
            state.maxYValue, state.filledValue, state.peakFilledValue, state.stepValue, state.computingTimeValue,
            state.allStepsValue};
}

class StatePanelTest : public ViewTest {
protected:
    void expectLabelsEnabled(bool enabled) {
        for (QLabel* label : stateLabels(ui().state)) EXPECT_EQ(label->isEnabled(), enabled) << label->text().toStdString();
        EXPECT_TRUE(ui().state.antsCountValue->isEnabled());
        EXPECT_TRUE(ui().state.antsCountLabel->isEnabled());
    }
    // Pixels of the overlay area (10, 10) to (275, 125) that are not the view background.
    int overlayInk() {
        int n = 0;
        for (int y = 10; y < 125; ++y)
            for (int x = 10; x < 275; ++x) n += pixel(x, y) != background();
        return n;
    }
    void clickPauseLink() { QTest::mouseClick(ui().visualisation.pauseLink, Qt::LeftButton); }
    void setTrackBar(int position) { ui().visualisation.handBrakeSlider->setValue(position); }
    void stopRun() { peer().startOrBreakRun(); }
};

TEST(ElapsedTime, HoursWithoutLeadingZeroAndWrapAfterADay) {
    const double second = 1.0 / 86400.0;
    EXPECT_EQ(qm::elapsedTimeText(1000.0, 1000.0), "0:00:00");
    EXPECT_EQ(qm::elapsedTimeText(1000.0, 1000.0 + 3661 * second), "1:01:01");
    EXPECT_EQ(qm::elapsedTimeText(1000.0, 1000.0 + 23 * 3600 * second + 59 * 60 * second + 59 * second), "23:59:59");
    EXPECT_EQ(qm::elapsedTimeText(1000.0, 1000.0 + 25 * 3600 * second), "1:00:00");
    // The milliseconds are rounded first: 59.9996 seconds show a full minute.
    EXPECT_EQ(qm::elapsedTimeText(1000.0, 1000.0 + 59.9996 * second), "0:01:00");
    EXPECT_EQ(qm::elapsedTimeText(1000.0, 1000.0 + 59.4 * second), "0:00:59");
}

TEST(AllSteps, IsTheSixtyFourBitProduct) {
    qm::RunCounters c;
    c.antCount = 65535;
    c.stepCount = 2000000000;
    EXPECT_EQ(qm::allSteps(c), 131070000000000);
}

TEST_F(StatePanelTest, TimerEventWritesEveryCounterInItsFormat) {
    openWindow();
    qm::RunCounters& c = peer().world().counters;
    c.stepCount = 2000000000;
    c.minX = -12;
    c.minY = -7;
    c.maxX = 30;
    c.maxY = 2147483647;
    c.filled = 5000000000;
    c.peakFilled = -3;
    c.antCount = 65535;
    c.runStartDays = qm::systemClock().nowDays() - (25 * 3600 + 0.5) / 86400.0;
    peer().refreshStateTick();
    EXPECT_EQ(ui().state.stepValue->text(), "2000000000");
    EXPECT_EQ(ui().state.minXValue->text(), "-12");
    EXPECT_EQ(ui().state.minYValue->text(), "-7");
    EXPECT_EQ(ui().state.maxXValue->text(), "30");
    EXPECT_EQ(ui().state.maxYValue->text(), "2147483647");
    EXPECT_EQ(ui().state.filledValue->text(), "5000000000");
    EXPECT_EQ(ui().state.peakFilledValue->text(), "-3");
    EXPECT_EQ(ui().state.computingTimeValue->text(), "1:00:00");
    EXPECT_EQ(ui().state.allStepsValue->text(), "131070000000000");
    EXPECT_EQ(ui().state.antsCountValue->text(), "0");  // written only when the ants are read
}

// The overlay's captions are shaped once and drawn from their glyphs: the pixels are those of
// drawing the text, in the overlay's font, at either density.
TEST(ShapedTexts, DrawWhatDrawingTheTextDraws) {
    qm::ShapedTexts shaped;
    const QFont font = qm::overlayFont(QFont());
    const QFontMetrics metrics(font);
    for (int ratio : {1, 2}) {
        for (const char* caption : {"X Min.: ", "Y Max.: ", "Filled: ", "  State ch.:", "Step:"}) {
            const QString text = QString::fromLatin1(caption);
            QImage plain(120 * ratio, 30 * ratio, QImage::Format_RGB32);
            plain.setDevicePixelRatio(ratio);
            plain.fill(Qt::white);
            const QImage blank = plain.copy();
            QImage fromGlyphs = plain;
            {
                QPainter painter(&plain);
                painter.setFont(font);
                painter.drawText(3, 4 + metrics.ascent(), text);
            }
            {
                QPainter painter(&fromGlyphs);
                painter.setFont(font);
                shaped.of(font, text).draw(painter, 3, 4 + metrics.ascent());
            }
            EXPECT_NE(plain, blank);
            EXPECT_EQ(fromGlyphs, plain) << caption << " at " << ratio;
            EXPECT_EQ(shaped.of(font, text).advance, metrics.horizontalAdvance(text));
        }
    }
}

TEST_F(StatePanelTest, OverlayCellsSitAtTheirColumnsOnTheViewBackground) {
    openWindow();
    about->generalizedRadio->click();  // the sixth caption becomes "  State ch.:"
    ASSERT_EQ(ui().state.peakFilledLabel->text(), "  State ch.:");
    selectDisplayMode(StatePanel::HideNumbers);
    qm::RunCounters& c = peer().world().counters;
    c.minX = -12;
    c.stepCount = 777;
    image().fill(RedArgb);  // squares everywhere: the cells must show the background
    selectDisplayMode(StatePanel::GraphicsOnly);

    const int dw = peer().mainView().digitWidth;
    ASSERT_GT(dw, 0);
    const QFontMetrics metrics(ui().view.viewSurface->font());
    // A cell is a background rectangle as wide as its text and one line high, with ink in it.
    // The value column starts where an eight-character caption ends, and the lines are closer
    // together than the font is high, so each side is checked only where no other cell may be.
    enum Free { Left = 1, Right = 2, Top = 4 };
    auto expectCell = [&](int x, int y, const QString& text, int free) {
        SCOPED_TRACE(text.toStdString());
        const int width = metrics.horizontalAdvance(text);
        const int height = metrics.height();
        EXPECT_NE(pixel(x, y), RedArgb);
        EXPECT_NE(pixel(x + width - 1, y + height - 1), RedArgb);
        if (free & Left) {
            EXPECT_EQ(pixel(x - 1, y), RedArgb);
        }
        if (free & Right) {
            EXPECT_EQ(pixel(x + width, y), RedArgb);
        }
        if (free & Top) {
            EXPECT_EQ(pixel(x, y - 1), RedArgb);
        }
        int ink = 0;
        for (int yy = y; yy < y + height; ++yy)
            for (int xx = x; xx < x + width; ++xx) ink += pixel(xx, yy) != background();
        EXPECT_GT(ink, 0);
    };
    expectCell(5 * dw + 10, 10, "X Min.: ", Left | Top);
    expectCell(5 * dw + 10, 23, "X Max.: ", Left);
    expectCell(5 * dw + 10, 40, "Y Min.: ", Left | Top);
    expectCell(5 * dw + 10, 53, "Y Max.: ", Left);
    expectCell(5 * dw + 10, 70, "Filled: ", Left | Top);
    expectCell(10, 83, "  State ch.:", Left);
    expectCell(7 * dw + 10, 100, "Step:", Left | Right | Top);
    expectCell(13 * dw + 10, 10, "-12 ", Right | Top);
    expectCell(13 * dw + 10, 100, "777 ", Right);
}

TEST_F(StatePanelTest, StepHookOfEachDisplayMode) {
    openWindow();
    qm::RunCounters& c = peer().world().counters;
    auto stepOnce = [&](int64_t step) {
        c.stepCount = step;
        callHook(peer().world().hooks.step);
    };

    selectDisplayMode(StatePanel::HideNumbers);
    ASSERT_EQ(overlayInk(), 0);
    stepOnce(11);
    EXPECT_EQ(ui().state.stepValue->text(), "0");
    EXPECT_EQ(overlayInk(), 0);

    selectDisplayMode(StatePanel::TextOnly);
    stepOnce(12);
    EXPECT_EQ(ui().state.stepValue->text(), "12");
    EXPECT_EQ(overlayInk(), 0);

    selectDisplayMode(StatePanel::GraphicsOnly);
    redraw();  // the paint handler calls the step hook: the overlay comes back
    EXPECT_GT(overlayInk(), 0);
    peer().mainView().viewClear();
    stepOnce(13);
    EXPECT_EQ(ui().state.stepValue->text(), "12");
    EXPECT_GT(overlayInk(), 0);

    selectDisplayMode(StatePanel::TextAndGraphics);
    peer().mainView().viewClear();
    stepOnce(14);
    EXPECT_EQ(ui().state.stepValue->text(), "14");
    EXPECT_GT(overlayInk(), 0);
}

TEST_F(StatePanelTest, OverlayIsErasedOnlyWhenLeavingAModeThatShowsIt) {
    openWindow();
    const QPoint mark(270, 120);  // inside the overlay area, beyond every text
    auto putMark = [&] { image().setPixel(mark, RedArgb); };

    // Both -> text only: erased.
    selectDisplayMode(StatePanel::TextAndGraphics);
    putMark();
    selectDisplayMode(StatePanel::TextOnly);
    EXPECT_EQ(overlayInk(), 0);

    // Text only -> hide: nothing was shown, nothing erased.
    putMark();
    selectDisplayMode(StatePanel::HideNumbers);
    EXPECT_EQ(pixel(mark.x(), mark.y()), RedArgb);

    // Graphics -> both: redrawn over what is there, not erased.
    selectDisplayMode(StatePanel::GraphicsOnly);
    putMark();
    selectDisplayMode(StatePanel::TextAndGraphics);
    EXPECT_EQ(pixel(mark.x(), mark.y()), RedArgb);
    EXPECT_GT(overlayInk(), 1);

    // Graphics -> hide: erased, the whole rectangle and nothing beyond it.
    selectDisplayMode(StatePanel::GraphicsOnly);
    image().fill(RedArgb);
    selectDisplayMode(StatePanel::HideNumbers);
    EXPECT_EQ(overlayInk(), 0);
    EXPECT_EQ(pixel(9, 10), RedArgb);
    EXPECT_EQ(pixel(10, 9), RedArgb);
    EXPECT_EQ(pixel(275, 124), RedArgb);
    EXPECT_EQ(pixel(274, 125), RedArgb);
}

TEST_F(StatePanelTest, IdleSwitchToGraphicsDrawsTheLastValuesAndLeavesLabelsEnabled) {
    openWindow();
    run("0,0,1", 300);
    selectDisplayMode(StatePanel::HideNumbers);
    ASSERT_EQ(overlayInk(), 0);
    expectLabelsEnabled(true);
    selectDisplayMode(StatePanel::GraphicsOnly);
    EXPECT_GT(overlayInk(), 0);
    expectLabelsEnabled(true);
}

TEST_F(StatePanelTest, LabelsFollowTheDisplayModeDuringARunOnly) {
    openWindow();
    selectDisplayMode(StatePanel::HideNumbers);
    std::vector<bool> seen;
    auto allEnabled = [this] {
        bool all = true;
        for (QLabel* label : stateLabels(ui().state)) all = all && label->isEnabled();
        return all;
    };
    auto noneEnabled = [this] {
        bool none = true;
        for (QLabel* label : stateLabels(ui().state)) none = none && !label->isEnabled();
        return none;
    };
    duringRun([&] {
        seen.push_back(noneEnabled());
        selectDisplayMode(StatePanel::TextOnly);
        seen.push_back(allEnabled());
        selectDisplayMode(StatePanel::GraphicsOnly);
        seen.push_back(noneEnabled());
        selectDisplayMode(StatePanel::TextAndGraphics);
        seen.push_back(allEnabled());
        selectDisplayMode(StatePanel::HideNumbers);
        seen.push_back(noneEnabled());
        EXPECT_TRUE(ui().state.antsCountValue->isEnabled());
        stopRun();
    });
    run("0,0,1", LongRun);
    EXPECT_EQ(seen, (std::vector<bool>{true, true, true, true, true}));
    expectLabelsEnabled(true);
}

TEST_F(StatePanelTest, UpdateTimerRunsOnlyWhileARunHidesTheNumbers) {
    openWindow();
    ASSERT_EQ(about->refreshPeriodCombo->currentText(), "5 sec");
    selectDisplayMode(StatePanel::HideNumbers);
    bool active = false;
    int interval = 0;
    duringRun([&] {
        active = ui().state.stateRefreshTimer->isActive();
        interval = ui().state.stateRefreshTimer->interval();
        // A text mode later in the same run leaves the timer running.
        selectDisplayMode(StatePanel::TextOnly);
        EXPECT_TRUE(ui().state.stateRefreshTimer->isActive());
        stopRun();
    });
    run("0,0,1", LongRun);
    EXPECT_TRUE(active);
    EXPECT_EQ(interval, 5000);
    EXPECT_FALSE(ui().state.stateRefreshTimer->isActive());

    // "No update" before Start: the run still switches the timer on, at the interval last set.
    about->refreshPeriodCombo->setCurrentIndex(4);  // "10 sec"
    about->refreshPeriodCombo->setCurrentIndex(0);
    selectDisplayMode(StatePanel::HideNumbers);
    duringRun([&] {
        active = ui().state.stateRefreshTimer->isActive();
        interval = ui().state.stateRefreshTimer->interval();
        stopRun();
    });
    run("0,0,1", LongRun);
    EXPECT_TRUE(active);
    EXPECT_EQ(interval, 10000);

    // A text mode: no timer.
    about->refreshPeriodCombo->setCurrentIndex(1);
    selectDisplayMode(StatePanel::TextOnly);
    duringRun([&] {
        active = ui().state.stateRefreshTimer->isActive();
        stopRun();
    });
    run("0,0,1", LongRun);
    EXPECT_FALSE(active);
}

TEST_F(StatePanelTest, HandBrakeCountIsPositionSquaredTimesCoefficientAndModeFactor) {
    openWindow();
    ASSERT_EQ(about->handBrakeCoefficient(), 50);
    struct Case {
        int item;
        uint32_t factor;
    };
    for (const Case& c : {Case{0, 5}, Case{1, 3}, Case{2, 1}, Case{3, 1}}) {
        SCOPED_TRACE(c.item);
        setTrackBar(0);
        selectDisplayMode(c.item);
        setTrackBar(10);
        EXPECT_EQ(peer().world().handBrakeCount, 10u * 50u * 10u * c.factor);
    }
    // A display mode change alone keeps the count; the next brake change applies the factor.
    selectDisplayMode(StatePanel::HideNumbers);
    EXPECT_EQ(peer().world().handBrakeCount, 5000u);
    setTrackBar(20);
    EXPECT_EQ(peer().world().handBrakeCount, 20u * 50u * 20u * 5u);

    // The settings dialog's coefficient, applied when it closes; the largest count fits.
    about->handBrakeCoefficientEdit->setText("42000");
    about->applyOnClose();
    setTrackBar(100);
    EXPECT_EQ(peer().world().handBrakeCount, 2100000000u);
    setTrackBar(0);
    EXPECT_EQ(peer().world().handBrakeCount, 0u);
}

TEST_F(StatePanelTest, PauseLinkWhileIdle) {
    openWindow();
    setTrackBar(40);
    clickPauseLink();
    EXPECT_EQ(ui().visualisation.pauseLink->text(), Pause);
    EXPECT_EQ(ui().visualisation.handBrakeSlider->value(), 100);
    EXPECT_EQ(peer().statePanel().savedBrakePosition, 40);
    EXPECT_EQ(peer().world().handBrakeCount, 100u * 50u * 100u * 3u);
    clickPauseLink();
    EXPECT_EQ(ui().visualisation.pauseLink->text(), "stop ^");
    EXPECT_EQ(ui().visualisation.handBrakeSlider->value(), 40);
    EXPECT_EQ(peer().world().handBrakeCount, 40u * 50u * 40u * 3u);

    // Dragging to 100 pauses but keeps "stop ^"; anything below 100 brings "stop ^" back.
    setTrackBar(100);
    EXPECT_EQ(ui().visualisation.pauseLink->text(), "stop ^");
    clickPauseLink();
    EXPECT_EQ(ui().visualisation.pauseLink->text(), Pause);
    setTrackBar(99);
    EXPECT_EQ(ui().visualisation.pauseLink->text(), "stop ^");
}

TEST_F(StatePanelTest, PauseLinkTakesOnlyALeftClickOnIt) {
    openWindow();
    setTrackBar(40);
    QTest::mouseClick(ui().visualisation.pauseLink, Qt::RightButton);
    QTest::mouseRelease(ui().visualisation.pauseLink, Qt::LeftButton);
    QTest::mousePress(ui().visualisation.pauseLink, Qt::LeftButton);
    QTest::mouseRelease(ui().visualisation.pauseLink, Qt::LeftButton, {}, QPoint(-4, -4));
    EXPECT_EQ(ui().visualisation.handBrakeSlider->value(), 40);
    clickPauseLink();
    EXPECT_EQ(ui().visualisation.handBrakeSlider->value(), 100);
}

TEST_F(StatePanelTest, TrackBarAtHundredPausesTheRunOnlyWithAHandBrakeCount) {
    openWindow();
    setTrackBar(100);
    ASSERT_NE(peer().world().handBrakeCount, 0u);
    EXPECT_TRUE(peer().pump().runPaused());
    about->handBrakeCoefficientEdit->setText(QStringLiteral("0"));
    about->applyOnClose();
    ASSERT_EQ(peer().world().handBrakeCount, 0u);
    EXPECT_FALSE(peer().pump().runPaused()) << "coefficient 0: the track bar has no effect";
    setTrackBar(99);
    EXPECT_FALSE(peer().pump().runPaused());
}

TEST_F(StatePanelTest, PauseLinkHoldsAndResumesARun) {
    openWindow();
    int64_t atPause = -1, laterInPause = -2, afterResume = -3;
    QString captionWhilePaused;
    duringRun([&] {
        clickPauseLink();
        captionWhilePaused = ui().visualisation.pauseLink->text();
        QTimer::singleShot(30, form.get(), [&] {
            atPause = peer().world().counters.stepCount;
            QTimer::singleShot(30, form.get(), [&] {
                laterInPause = peer().world().counters.stepCount;
                clickPauseLink();
                QTimer::singleShot(30, form.get(), [&] {
                    afterResume = peer().world().counters.stepCount;
                    stopRun();
                });
            });
        });
    });
    run("0,0,1\n5,5,2", LongRun);
    EXPECT_EQ(captionWhilePaused, Pause);
    EXPECT_EQ(atPause, laterInPause);
    EXPECT_GT(afterResume, laterInPause);
    EXPECT_EQ(ui().visualisation.handBrakeSlider->value(), 0);
    EXPECT_EQ(ui().visualisation.pauseLink->text(), "stop ^");
}

TEST_F(StatePanelTest, RunEndedWhilePausedGivesBackThePositionFromBeforeThePause) {
    openWindow();
    setTrackBar(30);
    duringRun([&] {
        clickPauseLink();
        EXPECT_EQ(ui().visualisation.handBrakeSlider->value(), 100);
        stopRun();
    });
    run("0,0,1", LongRun);
    EXPECT_EQ(ui().visualisation.handBrakeSlider->value(), 30);
    EXPECT_EQ(ui().visualisation.pauseLink->text(), "stop ^");
    EXPECT_EQ(peer().world().handBrakeCount, 30u * 50u * 30u * 3u);
}

TEST_F(StatePanelTest, RunStartedPausedStaysPausedUntilTheTrackBarMoves) {
    openWindow();
    clickPauseLink();  // idle: to 100, "««« GO"
    ASSERT_EQ(ui().visualisation.handBrakeSlider->value(), 100);
    int64_t first = -1, second = -2;
    int positionAfterGo = 0;
    duringRun([&] {
        clickPauseLink();  // "««« GO": back to the saved position, which is 100
        positionAfterGo = ui().visualisation.handBrakeSlider->value();
        first = peer().world().counters.stepCount;
        QTimer::singleShot(40, form.get(), [&] {
            second = peer().world().counters.stepCount;
            stopRun();
        });
    });
    run("0,0,1", LongRun);
    EXPECT_EQ(positionAfterGo, 100);
    EXPECT_EQ(first, second);
    EXPECT_EQ(peer().world().counters.stepCount, 0);
    EXPECT_EQ(ui().visualisation.handBrakeSlider->value(), 100);
    EXPECT_EQ(ui().visualisation.pauseLink->text(), "stop ^");
}

TEST_F(StatePanelTest, RunStartClearsHintsAndRunEndFillsThem) {
    openWindow();
    selectDisplayMode(StatePanel::HideNumbers);
    for (QLabel* caption : {ui().state.minLabel, ui().state.maxLabel, ui().state.filledLabel, ui().state.peakFilledLabel, ui().state.stepLabel, ui().state.computingTimeLabel,
                            ui().state.antsCountLabel, ui().state.allStepsLabel})
        caption->setToolTip("old");
    ui().state.allStepsValue->setText("999");
    std::vector<QString> hintsDuringRun;
    QString antsDuringRun, allDuringRun;
    duringRun([&] {
        for (QLabel* caption : {ui().state.minLabel, ui().state.maxLabel, ui().state.filledLabel, ui().state.peakFilledLabel, ui().state.stepLabel,
                                ui().state.computingTimeLabel, ui().state.antsCountLabel, ui().state.allStepsLabel})
            hintsDuringRun.push_back(caption->toolTip());
        antsDuringRun = ui().state.antsCountValue->text();
        allDuringRun = ui().state.allStepsValue->text();
    });
    run("0,0,1\n1,1,3\n-3,0,2", 500);
    ASSERT_TRUE(dialogs.boxes.empty());
    EXPECT_EQ(hintsDuringRun, std::vector<QString>(8));
    EXPECT_EQ(antsDuringRun, "3");
    EXPECT_EQ(allDuringRun, "0");  // the timer has not written anything yet

    const qm::RunCounters& c = peer().world().counters;
    ASSERT_LT(c.minX, 0);
    ASSERT_LT(c.minY, 0);
    EXPECT_EQ(ui().state.minLabel->toolTip(), QStringLiteral("%1; %2").arg(c.minX).arg(c.minY));
    EXPECT_EQ(ui().state.maxLabel->toolTip(), QStringLiteral("%1; %2").arg(c.maxX).arg(c.maxY));
    EXPECT_EQ(ui().state.filledLabel->toolTip(), QString::number(c.filled));
    EXPECT_EQ(ui().state.stepLabel->toolTip(), "500");
    EXPECT_EQ(ui().state.computingTimeLabel->toolTip(), ui().state.computingTimeValue->text());
    EXPECT_EQ(ui().state.antsCountLabel->toolTip(), "3");
    EXPECT_EQ(ui().state.allStepsLabel->toolTip(), "1500");
    EXPECT_EQ(ui().state.peakFilledLabel->toolTip(), "");  // not among the final hints
    // The final texts, although the mode hides the numbers during the run.
    EXPECT_EQ(ui().state.stepValue->text(), "500");
    EXPECT_EQ(ui().state.allStepsValue->text(), "1500");
    EXPECT_EQ(ui().state.minXValue->text(), QString::number(c.minX));
    expectLabelsEnabled(true);
}

TEST_F(StatePanelTest, OverlayShowsTheFinalValuesAfterTheRun) {
    openWindow();
    selectDisplayMode(StatePanel::GraphicsOnly);
    run("0,0,1", 1234);
    ASSERT_EQ(peer().world().counters.stepCount, 1234);
    const QImage after = image().copy();
    // Drawing the overlay again for the same counters changes nothing.
    peer().statePanel().overlayRoutine();
    EXPECT_EQ(image(), after);
    EXPECT_GT(overlayInk(), 0);

    // What the overlay draws, long numbers included, goes to the screen; the rest of the view,
    // unchanged, does not.
    struct PaintedRegion : QObject {
        QRegion region;
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == QEvent::Paint) region += static_cast<QPaintEvent*>(event)->region();
            return false;
        }
    } painted;
    QCoreApplication::processEvents();
    qm::RunCounters& c = peer().world().counters;
    c.minX = -2147483647;
    c.peakFilled = 9876543210;
    c.stepCount = 2147483647;
    const QImage before = image().copy();
    ui().view.viewSurface->installEventFilter(&painted);
    peer().statePanel().overlayRoutine();
    QCoreApplication::processEvents();
    ui().view.viewSurface->removeEventFilter(&painted);
    int changed = 0;
    for (int y = 0; y < image().height(); ++y)
        for (int x = 0; x < image().width(); ++x)
            if (image().pixel(x, y) != before.pixel(x, y)) {
                ++changed;
                EXPECT_TRUE(painted.region.contains(QPoint(x, y))) << x << ", " << y;
            }
    EXPECT_GT(changed, 0);
    EXPECT_FALSE(painted.region.contains(QPoint(image().width() - 1, image().height() - 1)));
}

}  // namespace
