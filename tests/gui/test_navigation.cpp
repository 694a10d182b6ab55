// View navigation: the eight pan buttons, the resets, centring on an ant with clamping and
// wrapping, the labels, the repaint after every command, the eye window's marker moved along,
// commands during a run, and the limits of the offset and of the ant arrays.

#include <QAbstractButton>
#include <QApplication>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QRadioButton>
#include <QToolButton>

#include "ViewTestSupport.h"
#include "gui/settings/SettingsDialog.h"
#include "gui/view/ViewGestures.h"

using namespace viewtest;

namespace {

constexpr uint32_t RedArgb = 0xFFFF0000u;

class NavigationTest : public ViewTest {
protected:
    void click(QAbstractButton* button) { QTest::mouseClick(button, Qt::LeftButton); }
    QString moveX() const { return ui().navigation.moveXValue->text(); }
    QString moveY() const { return ui().navigation.moveYValue->text(); }
    int32_t offsetX() const { return peer().mainView().viewOffsetX; }
    int32_t offsetY() const { return peer().mainView().viewOffsetY; }

    // A finished run's ants, laid out by hand: ant i stands at positions[i].
    void placeAnts(const std::vector<qm::AntPos>& positions) {
        qm::World& w = peer().world();
        ASSERT_LE(static_cast<int32_t>(positions.size()), w.antPosCapacity);
        for (size_t i = 0; i < positions.size(); ++i) w.antPos[i] = positions[i];
        w.counters.antCount = static_cast<int32_t>(positions.size());
    }
    // The main view shows square (x, y) at its centre pixel (size "2").
    void expectCentredOn(int32_t x, int32_t y) {
        EXPECT_EQ(-int64_t{offsetX()}, x);
        EXPECT_EQ(-int64_t{offsetY()}, y);
        EXPECT_EQ(moveX(), QString::number(x));
        EXPECT_EQ(moveY(), QString::number(y));
    }
};

struct PanCase {
    const char* name;
    QToolButton* NavigationWidgets::*button;
    int moveX, moveY;  // change of "Move X:" / "Move Y:" per step; 0: label left alone
};

class PanButtons : public NavigationTest, public ::testing::WithParamInterface<PanCase> {};

TEST_P(PanButtons, MoveByTheStepInTheirDirection) {
    const PanCase& c = GetParam();
    openWindow();
    ASSERT_EQ(ui().navigation.moveStepEdit->text(), "200");
    // A label the button does not change is not written at all.
    ui().navigation.moveXValue->setText("x");
    ui().navigation.moveYValue->setText("y");
    click(ui().navigation.*c.button);
    EXPECT_EQ(-int64_t{offsetX()}, 200 * c.moveX);
    EXPECT_EQ(-int64_t{offsetY()}, 200 * c.moveY);
    EXPECT_EQ(moveX(), c.moveX ? QString::number(200 * c.moveX) : QString("x"));
    EXPECT_EQ(moveY(), c.moveY ? QString::number(200 * c.moveY) : QString("y"));
}

INSTANTIATE_TEST_SUITE_P(
    EightDirections, PanButtons,
    ::testing::Values(PanCase{"topLeft", &NavigationWidgets::panUpLeftButton, -1, 1}, PanCase{"up", &NavigationWidgets::panUpButton, 0, 1},
                      PanCase{"topRight", &NavigationWidgets::panUpRightButton, 1, 1},
                      PanCase{"left", &NavigationWidgets::panLeftButton, -1, 0}, PanCase{"right", &NavigationWidgets::panRightButton, 1, 0},
                      PanCase{"bottomLeft", &NavigationWidgets::panDownLeftButton, -1, -1},
                      PanCase{"down", &NavigationWidgets::panDownButton, 0, -1},
                      PanCase{"bottomRight", &NavigationWidgets::panDownRightButton, 1, -1}),
    [](const ::testing::TestParamInfo<PanCase>& info) { return std::string(info.param.name); });

TEST_F(NavigationTest, UpPutsSquareTwoHundredAtTheCentreAndDownBringsItBack) {
    openWindow();
    selectDisplayMode(StatePanel::HideNumbers);
    makeGrid(300, 250);
    storeCell(peer().world().grid, 0, 200, 0);
    peer().world().antColour[0] = qm::rgb(255, 0, 0);
    redraw();
    EXPECT_EQ(pixel(298, 221), background());
    click(ui().navigation.panUpButton);  // "^^^": the repaint follows at once
    EXPECT_EQ(moveY(), "200");
    EXPECT_EQ(pixel(298, 221), RedArgb);
    click(ui().navigation.panDownButton);  // "vvv"
    EXPECT_EQ(moveY(), "0");
    EXPECT_EQ(pixel(298, 221), background());
}

TEST_F(NavigationTest, StepFieldNegativeOrUnreadable) {
    openWindow();
    ui().navigation.moveStepEdit->setText("-50");
    click(ui().navigation.panRightButton);  // ">>"
    EXPECT_EQ(moveX(), "-50");

    // Not a number: the view is only repainted.
    ui().navigation.moveStepEdit->setText("abc");
    image().fill(RedArgb);
    click(ui().navigation.panRightButton);
    EXPECT_EQ(moveX(), "-50");
    EXPECT_EQ(offsetX(), 50);
    EXPECT_NE(pixel(300, 300), RedArgb);
}

TEST_F(NavigationTest, ResetsPerAxisAndCentre) {
    openWindow();
    click(ui().navigation.panUpRightButton);  // top right: 200, 200
    click(ui().navigation.resetMoveXButton);   // "0" of "Move X:"
    EXPECT_EQ(moveX(), "0");
    EXPECT_EQ(moveY(), "200");
    EXPECT_EQ(offsetY(), -200);
    click(ui().navigation.panDownRightButton);  // bottom right: 200, 0
    click(ui().navigation.resetMoveYButton);   // "0" of "Move Y:"
    EXPECT_EQ(moveX(), "200");
    EXPECT_EQ(moveY(), "0");
    click(ui().navigation.panUpLeftButton);   // top left: 0, 200
    click(ui().navigation.panRightButton);   // 200, 200
    click(ui().navigation.centreButton);   // "Center"
    expectCentredOn(0, 0);
}

TEST_F(NavigationTest, OffsetStopsAtTheEndsOfTheRangeInsteadOfWrapping) {
    openWindow();
    ui().navigation.moveStepEdit->setText("2147483647");
    click(ui().navigation.panRightButton);
    click(ui().navigation.panRightButton);
    EXPECT_EQ(moveX(), "2147483647");
    EXPECT_EQ(offsetX(), -2147483647);
    ui().navigation.moveStepEdit->setText("-2147483648");
    click(ui().navigation.panUpButton);
    click(ui().navigation.panUpButton);
    EXPECT_EQ(moveY(), "-2147483647");
    EXPECT_EQ(offsetY(), 2147483647);
    click(ui().navigation.panDownButton);  // back by the same huge step, from the end of the range
    EXPECT_EQ(moveY(), "1");
}

TEST_F(NavigationTest, CentringDoesNothingBeforeTheFirstRun) {
    openWindow();
    ASSERT_EQ(peer().world().counters.antCount, 0);
    ui().navigation.antNumberEdit->setText("3");
    for (QPushButton* button : {ui().navigation.centreOnAntButton, ui().navigation.previousAntButton, ui().navigation.nextAntButton}) {
        click(button);
        EXPECT_EQ(ui().navigation.antNumberEdit->text(), "3");
        EXPECT_EQ(offsetX(), 0);
        EXPECT_EQ(offsetY(), 0);
    }
}

TEST_F(NavigationTest, CentreToAntClampsTheNumber) {
    openWindow();
    placeAnts({{10, -5}, {-3, 7}, {100, 40}});
    ui().navigation.antNumberEdit->setText("1");
    click(ui().navigation.centreOnAntButton);
    expectCentredOn(10, -5);

    ui().navigation.antNumberEdit->setText("0");
    click(ui().navigation.centreButton);
    click(ui().navigation.centreOnAntButton);
    EXPECT_EQ(ui().navigation.antNumberEdit->text(), "1");
    expectCentredOn(10, -5);

    ui().navigation.antNumberEdit->setText("99");
    click(ui().navigation.centreOnAntButton);
    EXPECT_EQ(ui().navigation.antNumberEdit->text(), "3");
    expectCentredOn(100, 40);

    ui().navigation.antNumberEdit->setText("many");
    click(ui().navigation.centreOnAntButton);
    EXPECT_EQ(ui().navigation.antNumberEdit->text(), "1");
    expectCentredOn(10, -5);
}

TEST_F(NavigationTest, PreviousAndNextWrapAround) {
    openWindow();
    placeAnts({{1, 1}, {2, 2}, {3, 3}, {4, 4}});
    ui().navigation.antNumberEdit->setText("1");
    click(ui().navigation.previousAntButton);  // "<<<<"
    EXPECT_EQ(ui().navigation.antNumberEdit->text(), "4");
    expectCentredOn(4, 4);
    click(ui().navigation.nextAntButton);  // ">>>>"
    EXPECT_EQ(ui().navigation.antNumberEdit->text(), "1");
    expectCentredOn(1, 1);
    click(ui().navigation.nextAntButton);
    EXPECT_EQ(ui().navigation.antNumberEdit->text(), "2");
    expectCentredOn(2, 2);

    ui().navigation.antNumberEdit->setText("not a number");
    click(ui().navigation.nextAntButton);
    EXPECT_EQ(ui().navigation.antNumberEdit->text(), "2");
    ui().navigation.antNumberEdit->setText("-7");
    click(ui().navigation.nextAntButton);  // -6 is below 1: the last ant
    EXPECT_EQ(ui().navigation.antNumberEdit->text(), "4");
    ui().navigation.antNumberEdit->setText("50");
    click(ui().navigation.previousAntButton);  // 49 is above the count: the first ant
    EXPECT_EQ(ui().navigation.antNumberEdit->text(), "1");
    ui().navigation.antNumberEdit->setText("2147483647");
    click(ui().navigation.nextAntButton);
    EXPECT_EQ(ui().navigation.antNumberEdit->text(), "1");
    ui().navigation.antNumberEdit->setText("-2147483648");
    click(ui().navigation.previousAntButton);
    EXPECT_EQ(ui().navigation.antNumberEdit->text(), "4");
}

TEST_F(NavigationTest, NextWithOneAntStaysOnIt) {
    openWindow();
    placeAnts({{-8, 9}});
    ui().navigation.antNumberEdit->setText("x");
    click(ui().navigation.nextAntButton);
    EXPECT_EQ(ui().navigation.antNumberEdit->text(), "1");
    expectCentredOn(-8, 9);
}

TEST_F(NavigationTest, CentredAntSquareIsAtTheViewCentre) {
    openWindow();
    selectDisplayMode(StatePanel::HideNumbers);
    selectSize("2");
    run("10,-5,1,FF0000\n-40,30,2,00FF00", 7);
    ASSERT_TRUE(dialogs.boxes.empty());
    const qm::AntPos ant = peer().world().antPos[0];
    ui().navigation.antNumberEdit->setText("1");
    click(ui().navigation.centreOnAntButton);
    expectCentredOn(ant.x, ant.y);
    // The centre pixel and its neighbours show the grid around the ant.
    const qm::FastGrid& grid = peer().world().grid;
    int painted = 0;
    for (int dx = -1; dx <= 1; ++dx) {
        for (int dy = -1; dy <= 1; ++dy) {
            const uint32_t value = grid.indexedValue(ant.x + dx, ant.y + dy);
            const uint32_t expected =
                value == 0xFF ? background() : qm::toArgb(qm::colourOf(peer().world().antColour[value]));
            painted += value != 0xFF;
            EXPECT_EQ(pixel(298 + 2 * dx, 221 - 2 * dy), expected) << dx << ", " << dy;
        }
    }
    EXPECT_GT(painted, 0);
}

TEST_F(NavigationTest, AntArraysReplacedByTheSettingsAreNotReadBeyondTheirEnd) {
    openWindow();
    QString ants;
    for (int i = 0; i < 20; ++i) ants += QStringLiteral("%1,%2,1\n").arg(i * 3).arg(-i);
    run(ants, 10);
    ASSERT_EQ(peer().world().counters.antCount, 20);
    about->ants15Radio->click();  // new arrays for 15 ants; the count of the last run stays
    ASSERT_EQ(peer().world().antPosCapacity, 15);
    ASSERT_EQ(peer().world().counters.antCount, 20);
    click(ui().navigation.panRightButton);
    ui().navigation.antNumberEdit->setText("20");
    click(ui().navigation.centreOnAntButton);
    EXPECT_EQ(ui().navigation.antNumberEdit->text(), "20");
    EXPECT_EQ(moveX(), "200");
    click(ui().navigation.previousAntButton);  // ant 19: beyond the arrays as well
    EXPECT_EQ(moveX(), "200");
    // Ants within the new arrays are read as the arrays hold them now.
    ui().navigation.antNumberEdit->setText("15");
    click(ui().navigation.centreOnAntButton);
    expectCentredOn(peer().world().antPos[14].x, peer().world().antPos[14].y);
}

TEST_F(NavigationTest, CommandsWorkDuringARunAndThePaintingFollowsTheView) {
    openWindow();
    selectDisplayMode(StatePanel::HideNumbers);
    QString labelDuringRun;
    duringRun([&] {
        ui().navigation.moveStepEdit->setText("30");
        click(ui().navigation.panRightButton);
        labelDuringRun = moveX();
        click(ui().navigation.nextAntButton);  // ">>>>" from "1": ant 2, wherever it is now
    });
    run("0,0,1,FF0000\n60,0,2,FF0000", 3000);
    ASSERT_TRUE(dialogs.boxes.empty());
    EXPECT_EQ(labelDuringRun, "30");
    EXPECT_EQ(ui().navigation.antNumberEdit->text(), "2");
    EXPECT_NEAR(-offsetX(), 60, 3);
    // What the painters added after the move matches a repaint at the new offset.
    const QImage painted = paintedAsRepainted();
    redraw();
    expectSamePicture(image(), painted);
}

TEST_F(NavigationTest, EveryCommandMovesTheEyeMarkerToTheNewCentre) {
    openWindow();
    placeAnts({{100, -50}, {-30, 20}});
    QTest::mouseClick(ui().navigation.eyeShowHideButton, Qt::LeftButton);  // show the eye window
    QCoreApplication::processEvents();
    QTest::mouseClick(ui().eye.redrawEyeButton, Qt::LeftButton);
    if (!ui().eye.drawCentreCheck->isChecked()) QTest::mouseClick(ui().eye.drawCentreCheck, Qt::LeftButton);  // "Draw Center"
    ASSERT_TRUE(ui().eye.drawCentreCheck->isChecked());
    const QImage& eye = ui().eye.eyeSurface->image();
    const uint32_t eyeBackground = qm::toArgb(peer().eyeWindow().eyeBackground);
    auto markerPixels = [&] {
        int n = 0;
        for (int y = 0; y < eye.height(); ++y)
            for (int x = 0; x < eye.width(); ++x) n += eye.pixel(x, y) != eyeBackground;
        return n;
    };
    const int oneMarker = markerPixels();
    ASSERT_GT(oneMarker, 0);
    ui().navigation.moveStepEdit->setText("40");
    const std::vector<QAbstractButton*> commands{ui().navigation.panRightButton, ui().navigation.panUpButton, ui().navigation.panDownLeftButton,
                                                 ui().navigation.resetMoveXButton, ui().navigation.resetMoveYButton, ui().navigation.centreOnAntButton,
                                                 ui().navigation.nextAntButton,      ui().navigation.centreButton};
    for (size_t i = 0; i < commands.size(); ++i) {
        SCOPED_TRACE(i);
        click(commands[i]);
        EXPECT_EQ(markerPixels(), oneMarker);
        const qm::EyeMapping m = peer().eyeWindow().mapping();
        const int64_t px = m.column64(-int64_t{offsetX()}), py = m.row64(-int64_t{offsetY()});
        if (px - 4 >= 0 && px - 4 < eye.width() && py >= 0 && py < eye.height()) {
            EXPECT_NE(eye.pixel(int(px - 4), int(py)), eyeBackground);
        }
    }
}

// ------------------------------------------------------------------------------------------
// The hand: wheel, drag and arrow keys, through real events on the main view.

class ViewHandTest : public NavigationTest {
protected:
    // A red square on the grid square under pixel `at` (size "2", offset 0, 0), so the test can
    // see where that square is drawn afterwards.
    void markSquareUnder(QPoint at) {
        makeGrid(300, 250);
        const MainView& view = peer().mainView();
        ASSERT_EQ(view.squareSize, 2);
        const int64_t x = ViewGestures::columnUnder(at.x(), view.viewCentreX, 2) - view.viewOffsetX;
        const int64_t y = ViewGestures::rowUnder(at.y(), ViewHeight, view.viewCentreY, 2) - view.viewOffsetY;
        storeCell(peer().world().grid, int32_t(x), int32_t(y), 0);
        peer().world().antColour[0] = qm::rgb(255, 0, 0);
        redraw();
        ASSERT_EQ(pixel(at.x(), at.y()), RedArgb);
    }
    void turnWheel(QPoint at, int angle) {
        QWheelEvent event(QPointF(at), QPointF(ui().view.viewSurface->mapToGlobal(at)), QPoint(), QPoint(0, angle),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(ui().view.viewSurface, &event);
    }
    void mouse(QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held) {
        QMouseEvent event(type, QPointF(at), QPointF(ui().view.viewSurface->mapToGlobal(at)), button, held, Qt::NoModifier);
        QApplication::sendEvent(ui().view.viewSurface, &event);
    }
};

TEST_F(ViewHandTest, WheelStepsTheSquareSizeAndKeepsTheSquareUnderThePointer) {
    openWindow();
    selectDisplayMode(StatePanel::HideNumbers);
    const QPoint at(421, 97);
    markSquareUnder(at);

    turnWheel(at, 120);  // one notch away from the user: larger squares
    EXPECT_EQ(ui().visualisation.squareSizeCombo->currentText(), "4");
    EXPECT_EQ(peer().mainView().squareSize, 4);
    EXPECT_EQ(pixel(at.x(), at.y()), RedArgb) << "the square stayed under the pointer";
    EXPECT_NE(offsetX(), 0);
    EXPECT_EQ(moveX(), QString::number(-int64_t{offsetX()})) << "the labels follow";
    EXPECT_EQ(moveY(), QString::number(-int64_t{offsetY()}));

    turnWheel(at, -60);  // half a notch: nothing yet
    EXPECT_EQ(ui().visualisation.squareSizeCombo->currentText(), "4");
    turnWheel(at, -180);  // with the half notch, two notches toward the user
    EXPECT_EQ(ui().visualisation.squareSizeCombo->currentText(), "1");
    EXPECT_EQ(pixel(at.x(), at.y()), RedArgb);
    turnWheel(at, -1200);  // stops at the first item
    EXPECT_EQ(ui().visualisation.squareSizeCombo->currentIndex(), 0);
}

TEST_F(ViewHandTest, LeftDragPansTheViewWithThePointer) {
    openWindow();
    selectDisplayMode(StatePanel::HideNumbers);
    const QPoint from(100, 100), to(141, 79);
    markSquareUnder(from);

    mouse(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    mouse(QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
    mouse(QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
    // 41 pixels right and 21 up at size 2: 20 squares each way, the picture following.
    EXPECT_EQ(moveX(), "-20");
    EXPECT_EQ(moveY(), "-10");
    EXPECT_EQ(pixel(from.x() + 40, from.y() - 20), RedArgb);

    // Moves without the left button held, or after the release, do not pan.
    mouse(QEvent::MouseMove, QPoint(300, 300), Qt::NoButton, Qt::NoButton);
    mouse(QEvent::MouseButtonPress, from, Qt::RightButton, Qt::RightButton);
    mouse(QEvent::MouseMove, QPoint(10, 10), Qt::NoButton, Qt::RightButton);
    EXPECT_EQ(moveX(), "-20");
    EXPECT_EQ(moveY(), "-10");
}

TEST_F(ViewHandTest, ArrowKeysPanLikeTheArrowButtonsWhenTheViewHasTheFocus) {
    openWindow();
    ui().navigation.moveStepEdit->setText("30");
    QTest::keyClick(ui().view.viewSurface, Qt::Key_Right);
    EXPECT_EQ(moveX(), "30");
    QTest::keyClick(ui().view.viewSurface, Qt::Key_Up);
    EXPECT_EQ(moveY(), "30");
    QTest::keyClick(ui().view.viewSurface, Qt::Key_Left);
    QTest::keyClick(ui().view.viewSurface, Qt::Key_Left);
    EXPECT_EQ(moveX(), "-30");
    QTest::keyClick(ui().view.viewSurface, Qt::Key_Down);
    EXPECT_EQ(moveY(), "0");
    EXPECT_EQ(ui().view.viewSurface->focusPolicy(), Qt::ClickFocus) << "a click gives the view the keys";
}

}  // namespace
