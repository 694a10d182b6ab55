// The state panel: counter texts and their formats, the overlay's cells on the main view, the
// display modes with their step hooks, label states and overlay erasing, the update timer, the
// hand brake count, the pause link, and the duties at run start and end.

#include <QCheckBox>
#include <QFontMetrics>
#include <QRadioButton>

#include "ViewTestSupport.h"
#include "core/Platform.h"
#include "settings/AboutBoxUnit/AboutBoxUnit.h"

using namespace viewtest;

namespace {

constexpr uint32_t RedArgb = 0xFFFF0000u;
constexpr int64_t LongRun = 1000000000;
const QString Pause = QString::fromUtf8("\u00AB\u00AB\u00AB GO");

std::vector<QLabel*> stateLabels(const TForm1& f) {
    return {f.Label2,         f.Label13,        f.Label4,         f.Label5,         f.Label6,
            f.Label9,         f.LabelAll,       f.StaticTextMinX, f.StaticTextMinY, f.StaticTextMaxX,
            f.StaticTextMaxY, f.StaticTextCNTDB, f.StaticTextMaxCNTDB, f.StaticTextStep, f.StaticTextTime,
            f.StaticAll};
}

class StatePanelTest : public ViewTest {
protected:
    void expectLabelsEnabled(bool enabled) {
        for (QLabel* label : stateLabels(*form)) EXPECT_EQ(label->isEnabled(), enabled) << label->text().toStdString();
        EXPECT_TRUE(form->STAntsCnt->isEnabled());
        EXPECT_TRUE(form->Label24->isEnabled());
    }
    // Pixels of the overlay area (10, 10) to (275, 125) that are not the view background.
    int overlayInk() {
        int n = 0;
        for (int y = 10; y < 125; ++y)
            for (int x = 10; x < 275; ++x) n += pixel(x, y) != background();
        return n;
    }
    void clickPauseLink() { QTest::mouseClick(form->Label19, Qt::LeftButton); }
    void setTrackBar(int position) { form->TrackBarSpeed->setValue(position); }
    void stopRun() { form->Button1Click(); }
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
    qm::RunCounters& c = form->world.counters;
    c.stepCount = 2000000000;
    c.minX = -12;
    c.minY = -7;
    c.maxX = 30;
    c.maxY = 2147483647;
    c.filled = 5000000000;
    c.peakFilled = -3;
    c.antCount = 65535;
    c.runStartDays = qm::systemClock().nowDays() - (25 * 3600 + 0.5) / 86400.0;
    form->Timer1Timer();
    EXPECT_EQ(form->StaticTextStep->text(), "2000000000");
    EXPECT_EQ(form->StaticTextMinX->text(), "-12");
    EXPECT_EQ(form->StaticTextMinY->text(), "-7");
    EXPECT_EQ(form->StaticTextMaxX->text(), "30");
    EXPECT_EQ(form->StaticTextMaxY->text(), "2147483647");
    EXPECT_EQ(form->StaticTextCNTDB->text(), "5000000000");
    EXPECT_EQ(form->StaticTextMaxCNTDB->text(), "-3");
    EXPECT_EQ(form->StaticTextTime->text(), "1:00:00");
    EXPECT_EQ(form->StaticAll->text(), "131070000000000");
    EXPECT_EQ(form->STAntsCnt->text(), "0");  // written only when the ants are read
}

TEST_F(StatePanelTest, OverlayCellsSitAtTheirColumnsOnTheViewBackground) {
    openWindow();
    about->RadioButtonG->click();  // the sixth caption becomes "  State ch.:"
    ASSERT_EQ(form->Label9->text(), "  State ch.:");
    selectDisplayMode(StatePanel::HideNumbers);
    qm::RunCounters& c = form->world.counters;
    c.minX = -12;
    c.stepCount = 777;
    image().fill(RedArgb);  // squares everywhere: the cells must show the background
    selectDisplayMode(StatePanel::GraphicsOnly);

    const int dw = form->mainView->digitWidth;
    ASSERT_GT(dw, 0);
    const QFontMetrics metrics(form->PaintBox1->font());
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
    qm::RunCounters& c = form->world.counters;
    auto stepOnce = [&](int64_t step) {
        c.stepCount = step;
        callHook(form->world.hooks.step);
    };

    selectDisplayMode(StatePanel::HideNumbers);
    ASSERT_EQ(overlayInk(), 0);
    stepOnce(11);
    EXPECT_EQ(form->StaticTextStep->text(), "0");
    EXPECT_EQ(overlayInk(), 0);

    selectDisplayMode(StatePanel::TextOnly);
    stepOnce(12);
    EXPECT_EQ(form->StaticTextStep->text(), "12");
    EXPECT_EQ(overlayInk(), 0);

    selectDisplayMode(StatePanel::GraphicsOnly);
    redraw();  // the paint handler calls the step hook: the overlay comes back
    EXPECT_GT(overlayInk(), 0);
    form->mainView->viewClear();
    stepOnce(13);
    EXPECT_EQ(form->StaticTextStep->text(), "12");
    EXPECT_GT(overlayInk(), 0);

    selectDisplayMode(StatePanel::TextAndGraphics);
    form->mainView->viewClear();
    stepOnce(14);
    EXPECT_EQ(form->StaticTextStep->text(), "14");
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
        for (QLabel* label : stateLabels(*form)) all = all && label->isEnabled();
        return all;
    };
    auto noneEnabled = [this] {
        bool none = true;
        for (QLabel* label : stateLabels(*form)) none = none && !label->isEnabled();
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
        EXPECT_TRUE(form->STAntsCnt->isEnabled());
        stopRun();
    });
    run("0,0,1", LongRun);
    EXPECT_EQ(seen, (std::vector<bool>{true, true, true, true, true}));
    expectLabelsEnabled(true);
}

TEST_F(StatePanelTest, UpdateTimerRunsOnlyWhileARunHidesTheNumbers) {
    openWindow();
    ASSERT_EQ(about->ComboBoxTimer->currentText(), "5 sec");
    selectDisplayMode(StatePanel::HideNumbers);
    bool active = false;
    int interval = 0;
    duringRun([&] {
        active = form->Timer1->isActive();
        interval = form->Timer1->interval();
        // A text mode later in the same run leaves the timer running.
        selectDisplayMode(StatePanel::TextOnly);
        EXPECT_TRUE(form->Timer1->isActive());
        stopRun();
    });
    run("0,0,1", LongRun);
    EXPECT_TRUE(active);
    EXPECT_EQ(interval, 5000);
    EXPECT_FALSE(form->Timer1->isActive());

    // "No update" before Start: the run still switches the timer on, at the interval last set.
    about->ComboBoxTimer->setCurrentIndex(4);  // "10 sec"
    about->ComboBoxTimer->setCurrentIndex(0);
    selectDisplayMode(StatePanel::HideNumbers);
    duringRun([&] {
        active = form->Timer1->isActive();
        interval = form->Timer1->interval();
        stopRun();
    });
    run("0,0,1", LongRun);
    EXPECT_TRUE(active);
    EXPECT_EQ(interval, 10000);

    // A text mode: no timer.
    about->ComboBoxTimer->setCurrentIndex(1);
    selectDisplayMode(StatePanel::TextOnly);
    duringRun([&] {
        active = form->Timer1->isActive();
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
        EXPECT_EQ(form->world.handBrakeCount, 10u * 50u * 10u * c.factor);
    }
    // A display mode change alone keeps the count; the next brake change applies the factor.
    selectDisplayMode(StatePanel::HideNumbers);
    EXPECT_EQ(form->world.handBrakeCount, 5000u);
    setTrackBar(20);
    EXPECT_EQ(form->world.handBrakeCount, 20u * 50u * 20u * 5u);

    // The settings dialog's coefficient, applied when it closes; the largest count fits.
    about->Edit1->setText("42000");
    about->FormClose();
    setTrackBar(100);
    EXPECT_EQ(form->world.handBrakeCount, 2100000000u);
    setTrackBar(0);
    EXPECT_EQ(form->world.handBrakeCount, 0u);
}

TEST_F(StatePanelTest, PauseLinkWhileIdle) {
    openWindow();
    setTrackBar(40);
    clickPauseLink();
    EXPECT_EQ(form->Label19->text(), Pause);
    EXPECT_EQ(form->TrackBarSpeed->value(), 100);
    EXPECT_EQ(form->statePanel->savedBrakePosition, 40);
    EXPECT_EQ(form->world.handBrakeCount, 100u * 50u * 100u * 3u);
    clickPauseLink();
    EXPECT_EQ(form->Label19->text(), "stop ^");
    EXPECT_EQ(form->TrackBarSpeed->value(), 40);
    EXPECT_EQ(form->world.handBrakeCount, 40u * 50u * 40u * 3u);

    // Dragging to 100 pauses but keeps "stop ^"; anything below 100 brings "stop ^" back.
    setTrackBar(100);
    EXPECT_EQ(form->Label19->text(), "stop ^");
    clickPauseLink();
    EXPECT_EQ(form->Label19->text(), Pause);
    setTrackBar(99);
    EXPECT_EQ(form->Label19->text(), "stop ^");
}

TEST_F(StatePanelTest, PauseLinkTakesOnlyALeftClickOnIt) {
    openWindow();
    setTrackBar(40);
    QTest::mouseClick(form->Label19, Qt::RightButton);
    QTest::mouseRelease(form->Label19, Qt::LeftButton);
    QTest::mousePress(form->Label19, Qt::LeftButton);
    QTest::mouseRelease(form->Label19, Qt::LeftButton, {}, QPoint(-4, -4));
    EXPECT_EQ(form->TrackBarSpeed->value(), 40);
    clickPauseLink();
    EXPECT_EQ(form->TrackBarSpeed->value(), 100);
}

TEST_F(StatePanelTest, TrackBarAtHundredPausesTheRunOnlyWithAHandBrakeCount) {
    openWindow();
    setTrackBar(100);
    ASSERT_NE(form->world.handBrakeCount, 0u);
    EXPECT_TRUE(form->pump.runPaused());
    about->Edit1->setText(QStringLiteral("0"));
    about->FormClose();
    ASSERT_EQ(form->world.handBrakeCount, 0u);
    EXPECT_FALSE(form->pump.runPaused()) << "coefficient 0: the track bar has no effect";
    setTrackBar(99);
    EXPECT_FALSE(form->pump.runPaused());
}

TEST_F(StatePanelTest, PauseLinkHoldsAndResumesARun) {
    openWindow();
    int64_t atPause = -1, laterInPause = -2, afterResume = -3;
    QString captionWhilePaused;
    duringRun([&] {
        clickPauseLink();
        captionWhilePaused = form->Label19->text();
        QTimer::singleShot(30, form.get(), [&] {
            atPause = form->world.counters.stepCount;
            QTimer::singleShot(30, form.get(), [&] {
                laterInPause = form->world.counters.stepCount;
                clickPauseLink();
                QTimer::singleShot(30, form.get(), [&] {
                    afterResume = form->world.counters.stepCount;
                    stopRun();
                });
            });
        });
    });
    run("0,0,1\n5,5,2", LongRun);
    EXPECT_EQ(captionWhilePaused, Pause);
    EXPECT_EQ(atPause, laterInPause);
    EXPECT_GT(afterResume, laterInPause);
    EXPECT_EQ(form->TrackBarSpeed->value(), 0);
    EXPECT_EQ(form->Label19->text(), "stop ^");
}

TEST_F(StatePanelTest, RunEndedWhilePausedGivesBackThePositionFromBeforeThePause) {
    openWindow();
    setTrackBar(30);
    duringRun([&] {
        clickPauseLink();
        EXPECT_EQ(form->TrackBarSpeed->value(), 100);
        stopRun();
    });
    run("0,0,1", LongRun);
    EXPECT_EQ(form->TrackBarSpeed->value(), 30);
    EXPECT_EQ(form->Label19->text(), "stop ^");
    EXPECT_EQ(form->world.handBrakeCount, 30u * 50u * 30u * 3u);
}

TEST_F(StatePanelTest, RunStartedPausedStaysPausedUntilTheTrackBarMoves) {
    openWindow();
    clickPauseLink();  // idle: to 100, "««« GO"
    ASSERT_EQ(form->TrackBarSpeed->value(), 100);
    int64_t first = -1, second = -2;
    int positionAfterGo = 0;
    duringRun([&] {
        clickPauseLink();  // "««« GO": back to the saved position, which is 100
        positionAfterGo = form->TrackBarSpeed->value();
        first = form->world.counters.stepCount;
        QTimer::singleShot(40, form.get(), [&] {
            second = form->world.counters.stepCount;
            stopRun();
        });
    });
    run("0,0,1", LongRun);
    EXPECT_EQ(positionAfterGo, 100);
    EXPECT_EQ(first, second);
    EXPECT_EQ(form->world.counters.stepCount, 0);
    EXPECT_EQ(form->TrackBarSpeed->value(), 100);
    EXPECT_EQ(form->Label19->text(), "stop ^");
}

TEST_F(StatePanelTest, RunStartClearsHintsAndRunEndFillsThem) {
    openWindow();
    selectDisplayMode(StatePanel::HideNumbers);
    for (QLabel* caption : {form->Label13, form->Label2, form->Label4, form->Label9, form->Label5, form->Label6,
                            form->Label24, form->LabelAll})
        caption->setToolTip("old");
    form->StaticAll->setText("999");
    std::vector<QString> hintsDuringRun;
    QString antsDuringRun, allDuringRun;
    duringRun([&] {
        for (QLabel* caption : {form->Label13, form->Label2, form->Label4, form->Label9, form->Label5,
                                form->Label6, form->Label24, form->LabelAll})
            hintsDuringRun.push_back(caption->toolTip());
        antsDuringRun = form->STAntsCnt->text();
        allDuringRun = form->StaticAll->text();
    });
    run("0,0,1\n1,1,3\n-3,0,2", 500);
    ASSERT_TRUE(dialogs.boxes.empty());
    EXPECT_EQ(hintsDuringRun, std::vector<QString>(8));
    EXPECT_EQ(antsDuringRun, "3");
    EXPECT_EQ(allDuringRun, "0");  // the timer has not written anything yet

    const qm::RunCounters& c = form->world.counters;
    ASSERT_LT(c.minX, 0);
    ASSERT_LT(c.minY, 0);
    EXPECT_EQ(form->Label13->toolTip(), QStringLiteral("%1; %2").arg(c.minX).arg(c.minY));
    EXPECT_EQ(form->Label2->toolTip(), QStringLiteral("%1; %2").arg(c.maxX).arg(c.maxY));
    EXPECT_EQ(form->Label4->toolTip(), QString::number(c.filled));
    EXPECT_EQ(form->Label5->toolTip(), "500");
    EXPECT_EQ(form->Label6->toolTip(), form->StaticTextTime->text());
    EXPECT_EQ(form->Label24->toolTip(), "3");
    EXPECT_EQ(form->LabelAll->toolTip(), "1500");
    EXPECT_EQ(form->Label9->toolTip(), "");  // not among the final hints
    // The final texts, although the mode hides the numbers during the run.
    EXPECT_EQ(form->StaticTextStep->text(), "500");
    EXPECT_EQ(form->StaticAll->text(), "1500");
    EXPECT_EQ(form->StaticTextMinX->text(), QString::number(c.minX));
    expectLabelsEnabled(true);
}

TEST_F(StatePanelTest, OverlayShowsTheFinalValuesAfterTheRun) {
    openWindow();
    selectDisplayMode(StatePanel::GraphicsOnly);
    run("0,0,1", 1234);
    ASSERT_EQ(form->world.counters.stepCount, 1234);
    const QImage after = image().copy();
    // Drawing the overlay again for the same counters changes nothing.
    form->statePanel->overlayRoutine();
    EXPECT_EQ(image(), after);
    EXPECT_GT(overlayInk(), 0);
}

}  // namespace
