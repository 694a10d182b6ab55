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
#include "view/ImageSurface.h"
#include "view/Navigation.h"

namespace {

class WorldMenuTest : public MainWindowTest {
protected:
    // Opens the context menu on the main view, as a right click does, and chooses `item`.
    void choose(QAction* item) {
        QContextMenuEvent request(QContextMenuEvent::Mouse, QPoint(5, 5), form->PaintBox1->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(form->PaintBox1, &request);
        ASSERT_TRUE(form->PopupMenu2->isVisible());
        const bool enabled = item->isEnabled();
        form->PopupMenu2->hide();
        ASSERT_TRUE(enabled) << item->text().toStdString();
        item->trigger();
        QCoreApplication::processEvents();
    }
    bool enabledInMenu(QAction* item) {
        QContextMenuEvent request(QContextMenuEvent::Mouse, QPoint(5, 5), form->PaintBox1->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(form->PaintBox1, &request);
        const bool enabled = item->isEnabled();
        form->PopupMenu2->hide();
        return enabled;
    }
    // The view as a full repaint draws it: squares cleared during a run are marked white by the
    // painters until the next repaint, which draws what the world holds.
    QImage repaintedPicture() {
        form->PaintBox1Paint();
        return form->PaintBox1->image().copy();
    }
    std::vector<QString> panel() const {
        return {form->StaticTextStep->text(), form->StaticTextCNTDB->text(), form->StaticTextMaxCNTDB->text(),
                form->StaticTextMinX->text(),  form->StaticTextMaxX->text(), form->StaticTextMinY->text(),
                form->StaticTextMaxY->text(),  form->STAntsCnt->text()};
    }
};

}  // namespace

TEST_F(WorldMenuTest, SavedOpenedAndContinuedEqualsTheUninterruptedRun) {
    openWindow();
    const QString ants = QStringLiteral("0,0,1\n6,-4,2\n-5,3,LT\n");
    setEditor(ants);
    setMaxSteps(2500);
    clickStart();
    ASSERT_EQ(form->world.counters.stepCount, 2500);
    const std::vector<QString> uninterruptedPanel = panel();
    const QImage uninterruptedPicture = repaintedPicture();

    EXPECT_FALSE(enabledInMenu(form->ContinueRun1)) << "\"Max steps:\" still holds";
    setMaxSteps(900);
    clickStart();
    ASSERT_EQ(form->world.counters.stepCount, 900);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("run.qmw"));
    dialogs.saveAnswers.push_back(path);
    choose(form->SaveWorld1);
    ASSERT_TRUE(dialogs.boxes.empty()) << dialogs.boxes[0].text;
    EXPECT_EQ(dialogs.saveDialogs.back().defaultSuffix, "qmw");

    // Another run in between, with other ants in another mode.
    about->RBmany->click();
    ASSERT_EQ(form->world.antMaxMode, qm::AntMaxMode::BlackWhite);
    setEditor(QStringLiteral("1,1,1\n"));
    setMaxSteps(300);
    clickStart();
    ASSERT_EQ(form->world.counters.stepCount, 300);

    dialogs.openAnswers.push_back(path);
    choose(form->OpenWorld1);
    ASSERT_TRUE(dialogs.boxes.empty()) << dialogs.boxes[0].text;
    EXPECT_EQ(form->world.mode(), qm::RunMode::Indexed255);
    EXPECT_TRUE(about->RB255->isChecked()) << "the settings dialog shows the world's settings";
    EXPECT_EQ(form->Memo1->toPlainText(), ants) << "the editor holds the world's definition";
    EXPECT_EQ(form->StaticTextStep->text(), "900");
    EXPECT_EQ(form->STAntsCnt->text(), "3");
    EXPECT_FALSE(enabledInMenu(form->ContinueRun1));

    setMaxSteps(2500);
    choose(form->ContinueRun1);
    EXPECT_EQ(panel(), uninterruptedPanel);
    EXPECT_TRUE(repaintedPicture() == uninterruptedPicture) << "the same picture";
    EXPECT_EQ(form->Button1->text(), "Start");
    EXPECT_TRUE(form->Memo1->isEnabled());
    EXPECT_TRUE(dialogs.boxes.empty());
}

TEST_F(WorldMenuTest, AFileThatIsNotAWorldLeavesTheWindowAsItWas) {
    openWindow();
    setEditor(QStringLiteral("0,0,1\n"));
    setMaxSteps(400);
    clickStart();
    const QImage picture = form->PaintBox1->image().copy();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ants.txt"));
    QFile text(path);
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("0,0,1\n");
    text.close();
    dialogs.openAnswers.push_back(path);
    choose(form->OpenWorld1);
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].text, "ERROR: Cannot open world file " + path.toStdString() + ": it is not a world file");
    EXPECT_EQ(dialogs.boxes[0].type, qm::BoxType::Error);
    EXPECT_EQ(form->world.counters.stepCount, 400);
    EXPECT_TRUE(form->PaintBox1->image() == picture);

    // Named on the command line, the same file is loaded into the editor instead.
    setEditor(QString());
    form->openFromCommandLine(path);
    EXPECT_EQ(form->Memo1->toPlainText(), "0,0,1\n");
}

TEST_F(WorldMenuTest, OpeningShowsTheWorldWhereItWasSavedAsARedrawWould) {
    openWindow();
    setEditor(QStringLiteral("0,0,1\n4,2,2\n"));
    setMaxSteps(600);
    clickStart();
    form->navigation->moveTo(584, -13);
    const QString movesX = form->LabelMX->text(), movesY = form->LabelMY->text();
    ASSERT_EQ(movesX, "-584");
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("moved.qmw"));
    dialogs.saveAnswers.push_back(path);
    choose(form->SaveWorld1);
    form->navigation->moveTo(60, 40);

    dialogs.openAnswers.push_back(path);
    choose(form->OpenWorld1);
    ASSERT_TRUE(dialogs.boxes.empty()) << dialogs.boxes[0].text;
    EXPECT_EQ(form->LabelMX->text(), movesX);
    EXPECT_EQ(form->LabelMY->text(), movesY);
    const QImage opened = form->PaintBox1->image().copy();
    form->Button14->click();  // "Redraw": the view with the state overlay of the show mode
    EXPECT_TRUE(form->PaintBox1->image() == opened) << "opening repaints the view";
}
