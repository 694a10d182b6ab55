// Worlds through the main view's context menu: a run saved, the window used for another run,
// the world opened again and continued ends with the counters and the picture of a run that was
// never interrupted.

#include <QAction>
#include <QContextMenuEvent>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QFile>
#include <QTemporaryDir>

#include "MainWindowFixture.h"
#include "gui/view/ImageSurface.h"
#include "gui/view/Navigation.h"
#include "gui/settings/RadioGroup.h"
#include "gui/timeline/GoToStepDialog.h"
#include "gui/timeline/GrowthChart.h"

namespace {

class WorldMenuTest : public MainWindowTest {
protected:
    // Opens the context menu on the main view, as a right click does, and chooses `item`.
    void choose(QAction* item) {
        QContextMenuEvent request(QContextMenuEvent::Mouse, QPoint(5, 5), ui().view.viewSurface->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(ui().view.viewSurface, &request);
        ASSERT_TRUE(ui().view.viewMenu->isVisible());
        const bool enabled = item->isEnabled();
        ui().view.viewMenu->hide();
        ASSERT_TRUE(enabled) << item->text().toStdString();
        item->trigger();
        QCoreApplication::processEvents();
    }
    bool enabledInMenu(QAction* item) {
        QContextMenuEvent request(QContextMenuEvent::Mouse, QPoint(5, 5), ui().view.viewSurface->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(ui().view.viewSurface, &request);
        const bool enabled = item->isEnabled();
        ui().view.viewMenu->hide();
        return enabled;
    }
    // The view as a full repaint draws it: squares cleared during a run are marked white by the
    // painters until the next repaint, which draws what the world holds.
    QImage repaintedPicture() {
        peer().paintView();
        return ui().view.viewSurface->image().copy();
    }
    std::vector<QString> panel() const {
        return {ui().state.stepValue->text(), ui().state.filledValue->text(), ui().state.peakFilledValue->text(),
                ui().state.minXValue->text(),  ui().state.maxXValue->text(), ui().state.minYValue->text(),
                ui().state.maxYValue->text(),  ui().state.antsCountValue->text()};
    }
};

}  // namespace

TEST_F(WorldMenuTest, SavedOpenedAndContinuedEqualsTheUninterruptedRun) {
    openWindow();
    const QString ants = QStringLiteral("0,0,1\n6,-4,2\n-5,3,LT\n");
    setEditor(ants);
    setMaxSteps(2500);
    clickStart();
    ASSERT_EQ(peer().world().counters.stepCount, 2500);
    const std::vector<QString> uninterruptedPanel = panel();
    const QImage uninterruptedPicture = repaintedPicture();

    EXPECT_FALSE(enabledInMenu(ui().view.continueRunAction)) << "\"Max steps:\" still holds";
    setMaxSteps(900);
    clickStart();
    ASSERT_EQ(peer().world().counters.stepCount, 900);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("run.qmw"));
    dialogs.saveAnswers.push_back(path);
    choose(ui().view.saveWorldAction);
    ASSERT_TRUE(dialogs.boxes.empty()) << dialogs.boxes[0].text;
    EXPECT_EQ(dialogs.saveDialogs.back().defaultSuffix, "qmw");

    // Another run in between, with other ants in another mode.
    about->antsManyRadio->click();
    ASSERT_EQ(peer().world().antMaxMode, qm::AntMaxMode::BlackWhite);
    setEditor(QStringLiteral("1,1,1\n"));
    setMaxSteps(300);
    clickStart();
    ASSERT_EQ(peer().world().counters.stepCount, 300);

    dialogs.openAnswers.push_back(path);
    choose(ui().view.openWorldAction);
    ASSERT_TRUE(dialogs.boxes.empty()) << dialogs.boxes[0].text;
    EXPECT_EQ(peer().world().mode(), qm::RunMode::Indexed255);
    EXPECT_TRUE(about->ants255Radio->isChecked()) << "the settings dialog shows the world's settings";
    EXPECT_EQ(ui().definition.definitionEditor->toPlainText(), ants) << "the editor holds the world's definition";
    EXPECT_EQ(ui().state.stepValue->text(), "900");
    EXPECT_EQ(ui().state.antsCountValue->text(), "3");
    EXPECT_FALSE(enabledInMenu(ui().view.continueRunAction));

    setMaxSteps(2500);
    choose(ui().view.continueRunAction);
    EXPECT_EQ(panel(), uninterruptedPanel);
    EXPECT_TRUE(repaintedPicture() == uninterruptedPicture) << "the same picture";
    EXPECT_EQ(ui().control.startButton->text(), "Start");
    EXPECT_TRUE(ui().definition.definitionEditor->isEnabled());
    EXPECT_TRUE(dialogs.boxes.empty());
}

// What a world keeps of the settings comes back into the window's settings, whatever was chosen
// in between, and the settings dialog shows it; what it does not keep stays as chosen.
TEST_F(WorldMenuTest, SettingsSurviveARoundTripThroughAWorld) {
    openWindow();
    qm::RunSettings chosen = peer().settings();
    chosen.generalized = true;
    chosen.states = 5;
    chosen.spectrumItem = 2;
    chosen.memoryItem = 0;
    chosen.continueCompute = false;
    about->applySettings(chosen);
    setEditor(QStringLiteral("0,0,1,5\n3,2,0,9\n"));
    setMaxSteps(200);
    clickStart();
    ASSERT_EQ(peer().world().counters.stepCount, 200);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("settings.qmw"));
    dialogs.saveAnswers.push_back(path);
    choose(ui().view.saveWorldAction);
    ASSERT_TRUE(dialogs.boxes.empty()) << dialogs.boxes[0].text;

    qm::RunSettings other = chosen;
    other.generalized = false;
    other.antMax = qm::AntMaxChoice::Ants65535;
    other.states = 9;
    other.spectrumItem = 1;
    other.memoryItem = 1;
    other.continueCompute = true;
    about->applySettings(other);
    peer().settings().handBrakeCoefficient = 700;
    ASSERT_EQ(peer().settings().antMax, qm::AntMaxChoice::Ants65535);
    ASSERT_EQ(peer().settings().memoryItem, 1);

    dialogs.openAnswers.push_back(path);
    choose(ui().view.openWorldAction);
    ASSERT_TRUE(dialogs.boxes.empty()) << dialogs.boxes[0].text;
    const qm::RunSettings& back = peer().settings();
    EXPECT_TRUE(back.generalized);
    EXPECT_EQ(back.antMax, qm::AntMaxChoice::Ants255);
    EXPECT_EQ(back.states, 5);
    EXPECT_EQ(back.spectrumItem, 2);
    EXPECT_EQ(back.memoryItem, 0);
    EXPECT_FALSE(back.continueCompute);
    EXPECT_EQ(back.handBrakeCoefficient, 700) << "a world does not keep the hand brake";
    EXPECT_EQ(peer().world().states, 5);
    EXPECT_TRUE(about->generalizedRadio->isChecked());
    EXPECT_EQ(about->statesCombo->currentText(), "5");
    EXPECT_EQ(about->spectrumChoice->itemIndex(), 2);
    EXPECT_EQ(about->memoryChoice->itemIndex(), 0);
    EXPECT_FALSE(about->continueCheck->isChecked());
}

TEST_F(WorldMenuTest, AFileThatIsNotAWorldLeavesTheWindowAsItWas) {
    openWindow();
    setEditor(QStringLiteral("0,0,1\n"));
    setMaxSteps(400);
    clickStart();
    const QImage picture = ui().view.viewSurface->image().copy();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ants.txt"));
    QFile text(path);
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("0,0,1\n");
    text.close();
    dialogs.openAnswers.push_back(path);
    choose(ui().view.openWorldAction);
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].text, "ERROR: Cannot open world file " + path.toStdString() + ": it is not a world file");
    EXPECT_EQ(dialogs.boxes[0].type, qm::BoxType::Error);
    EXPECT_EQ(peer().world().counters.stepCount, 400);
    EXPECT_TRUE(ui().view.viewSurface->image() == picture);

    // Named on the command line, the same file is loaded into the editor instead.
    setEditor(QString());
    form->openFromCommandLine(path);
    EXPECT_EQ(ui().definition.definitionEditor->toPlainText(), "0,0,1\n");
}

TEST_F(WorldMenuTest, OpeningShowsTheWorldWhereItWasSavedAsARedrawWould) {
    openWindow();
    setEditor(QStringLiteral("0,0,1\n4,2,2\n"));
    setMaxSteps(600);
    clickStart();
    peer().navigation().moveTo(584, -13);
    const QString movesX = ui().navigation.moveXValue->text(), movesY = ui().navigation.moveYValue->text();
    ASSERT_EQ(movesX, "-584");
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("moved.qmw"));
    dialogs.saveAnswers.push_back(path);
    choose(ui().view.saveWorldAction);
    peer().navigation().moveTo(60, 40);

    dialogs.openAnswers.push_back(path);
    choose(ui().view.openWorldAction);
    ASSERT_TRUE(dialogs.boxes.empty()) << dialogs.boxes[0].text;
    EXPECT_EQ(ui().navigation.moveXValue->text(), movesX);
    EXPECT_EQ(ui().navigation.moveYValue->text(), movesY);
    const QImage opened = ui().view.viewSurface->image().copy();
    ui().navigation.redrawViewButton->click();  // "Redraw": the view with the state overlay of the show mode
    EXPECT_TRUE(ui().view.viewSurface->image() == opened) << "opening repaints the view";
}

// The timeline through the same menu: going back from n to k shows what a run stopped at k
// shows, and going forward again, by a jump or by live steps, what the run to n showed.
TEST_F(WorldMenuTest, StepBackGoToAndStepMatchTheRunsStoppedThere) {
    openWindow();
    qmgui::TimelineCommands& timeline = peer().timelineCommands();
    for (QAction* item : {timeline.stepAction(), timeline.stepBackAction(), timeline.goToStepAction()})
        EXPECT_FALSE(enabledInMenu(item)) << "no run to act on: " << item->text().toStdString();
    EXPECT_TRUE(enabledInMenu(timeline.growthAction()));

    setEditor(QStringLiteral("0,0,1\n6,-4,2\n-5,3,LT\n"));
    constexpr int64_t k = 1234, n = 3000;
    setMaxSteps(k);
    clickStart();
    ASSERT_EQ(peer().world().counters.stepCount, k);
    const std::vector<QString> panelAtK = panel();
    const QImage pictureAtK = repaintedPicture();

    setMaxSteps(n);
    std::vector<bool> enabledDuringRun;
    duringRun([&] {
        for (QAction* item : {timeline.stepAction(), timeline.stepBackAction(), timeline.goToStepAction()})
            enabledDuringRun.push_back(item->isEnabled());
    });
    clickStart();
    ASSERT_EQ(peer().world().counters.stepCount, n);
    EXPECT_EQ(enabledDuringRun, std::vector<bool>(3, false));
    EXPECT_GT(timeline.timeline()->samples().size(), 1u) << "samples at the run's frames";
    const std::vector<QString> panelAtN = panel();
    const QImage pictureAtN = repaintedPicture();

    timeline.stepField()->setText(QString::number(n - k));
    choose(timeline.stepBackAction());
    EXPECT_EQ(peer().world().counters.stepCount, k);
    EXPECT_EQ(panel(), panelAtK);
    EXPECT_TRUE(ui().view.viewSurface->image() == pictureAtK) << "the jump repaints in full";
    EXPECT_TRUE(enabledInMenu(ui().view.continueRunAction)) << "\"Max steps:\" no longer holds it";

    const auto answer = [](int64_t step) {
        return [step](QDialog& dialog) {
            auto& ask = static_cast<qmgui::GoToStepDialog&>(dialog);
            ask.field()->setText(QString::number(step));
            ask.accept();
        };
    };
    dialogs.onModal = answer(n);
    choose(timeline.goToStepAction());
    EXPECT_EQ(panel(), panelAtN);
    EXPECT_TRUE(repaintedPicture() == pictureAtN);

    // Back by the chart's click, then forward square by square as a live run.
    emit timeline.chart()->stepRequested(k);
    EXPECT_EQ(panel(), panelAtK);
    choose(timeline.stepAction());
    EXPECT_EQ(peer().world().counters.stepCount, n);
    EXPECT_EQ(panel(), panelAtN);
    EXPECT_TRUE(repaintedPicture() == pictureAtN);
    EXPECT_EQ(ui().control.maxStepsEdit->text(), QString::number(n)) << "\"Max steps:\" as it was";

    timeline.stepField()->setText(QStringLiteral("1"));
    choose(timeline.stepAction());
    EXPECT_EQ(peer().world().counters.stepCount, n + 1) << "past \"Max steps:\"";
    timeline.stepField()->setText(QStringLiteral("x"));
    EXPECT_FALSE(enabledInMenu(timeline.stepAction()));
    EXPECT_FALSE(enabledInMenu(timeline.stepBackAction()));
    EXPECT_TRUE(dialogs.boxes.empty()) << dialogs.boxes[0].text;
}
