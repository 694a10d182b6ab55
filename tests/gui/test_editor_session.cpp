// A whole editing session through the window: four diagonal ants built, saved, cleared,
// loaded back and run for a given number of steps.

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include "MainWindowFixture.h"

namespace {

class EditorSessionTest : public MainWindowTest {};

TEST_F(EditorSessionTest, BuildSaveClearLoadAndRunFourDiagonalAnts) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString listFile = folder.filePath(QStringLiteral("diagonal.txt"));
    openWindow();
    auto click = [](QPushButton* button) { QTest::mouseClick(button, Qt::LeftButton); };

    click(ui().definition.clearButton);  // Clear the starting "0,0,1"
    ui().definition.addDistanceEdit->selectAll();
    QTest::keyClicks(ui().definition.addDistanceEdit, QStringLiteral("25"));
    click(ui().definition.addDiagonalButton);  // Add 4 diagonal

    dialogs.saveAnswers.push_back(listFile);
    click(ui().definition.saveButton);  // Save
    QFile saved(listFile);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), QByteArray("25,25,4\n25,-25,1\n-25,-25,2\n-25,25,3\n"));

    click(ui().definition.clearButton);  // Clear
    ASSERT_TRUE(ui().definition.definitionEditor->toPlainText().isEmpty());

    dialogs.openAnswers.push_back(listFile);
    click(ui().definition.loadButton);  // Load
    EXPECT_EQ(peer().editorLines(), (std::vector<std::string>{"25,25,4", "25,-25,1", "-25,-25,2", "-25,25,3"}));

    ui().control.maxStepsEdit->selectAll();
    QTest::keyClicks(ui().control.maxStepsEdit, QStringLiteral("500"));
    ASSERT_EQ(peer().world().limits.userMaxSteps, 500);

    clickStart();
    EXPECT_TRUE(dialogs.boxes.empty()) << dialogs.boxes.front().text;  // ends at "Max steps:" silently
    EXPECT_EQ(ui().control.startButton->text(), QStringLiteral("Start"));
    const qm::RunCounters& counters = peer().world().counters;
    EXPECT_EQ(counters.antCount, 4);
    EXPECT_EQ(counters.stepCount, 500);
    EXPECT_EQ(ui().state.stepValue->text(), QStringLiteral("500"));
    EXPECT_EQ(ui().state.antsCountValue->text(), QStringLiteral("4"));

    // The four ants stand in a quarter-turn symmetry, 50 squares apart: far enough never to
    // meet in 500 steps, so the picture keeps that symmetry only if every ant was read with
    // its own square and direction.
    EXPECT_GT(counters.filled, 0);
    EXPECT_EQ(counters.filled % 4, 0);
    EXPECT_GE(counters.maxX, 25);
    EXPECT_EQ(counters.maxX, counters.maxY);
    EXPECT_EQ(counters.minX, -counters.maxX);
    EXPECT_EQ(counters.minY, -counters.maxY);
}

}  // namespace
