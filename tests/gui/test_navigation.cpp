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
#include "settings/AboutBoxUnit/AboutBoxUnit.h"
#include "view/ViewGestures.h"

using namespace viewtest;

namespace {

constexpr uint32_t RedArgb = 0xFFFF0000u;

class NavigationTest : public ViewTest {
protected:
    void click(QAbstractButton* button) { QTest::mouseClick(button, Qt::LeftButton); }
    QString moveX() const { return form->LabelMX->text(); }
    QString moveY() const { return form->LabelMY->text(); }
    int32_t offsetX() const { return form->mainView->viewOffsetX; }
    int32_t offsetY() const { return form->mainView->viewOffsetY; }

    // A finished run's ants, laid out by hand: ant i stands at positions[i].
    void placeAnts(const std::vector<qm::AntPos>& positions) {
        qm::World& w = form->world;
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
    QToolButton* TForm1::*button;
    int moveX, moveY;  // change of "Move X:" / "Move Y:" per step; 0: label left alone
};

class PanButtons : public NavigationTest, public ::testing::WithParamInterface<PanCase> {};

TEST_P(PanButtons, MoveByTheStepInTheirDirection) {
    const PanCase& c = GetParam();
    openWindow();
    ASSERT_EQ(form->EditMove->text(), "200");
    // A label the button does not change is not written at all.
    form->LabelMX->setText("x");
    form->LabelMY->setText("y");
    click(form.get()->*c.button);
    EXPECT_EQ(-int64_t{offsetX()}, 200 * c.moveX);
    EXPECT_EQ(-int64_t{offsetY()}, 200 * c.moveY);
    EXPECT_EQ(moveX(), c.moveX ? QString::number(200 * c.moveX) : QString("x"));
    EXPECT_EQ(moveY(), c.moveY ? QString::number(200 * c.moveY) : QString("y"));
}

INSTANTIATE_TEST_SUITE_P(
    EightDirections, PanButtons,
    ::testing::Values(PanCase{"topLeft", &TForm1::SpeedButton8, -1, 1}, PanCase{"up", &TForm1::SpeedButton3, 0, 1},
                      PanCase{"topRight", &TForm1::SpeedButton10, 1, 1},
                      PanCase{"left", &TForm1::SpeedButton2, -1, 0}, PanCase{"right", &TForm1::SpeedButton1, 1, 0},
                      PanCase{"bottomLeft", &TForm1::SpeedButton9, -1, -1},
                      PanCase{"down", &TForm1::SpeedButton4, 0, -1},
                      PanCase{"bottomRight", &TForm1::SpeedButton11, 1, -1}),
    [](const ::testing::TestParamInfo<PanCase>& info) { return std::string(info.param.name); });

TEST_F(NavigationTest, UpPutsSquareTwoHundredAtTheCentreAndDownBringsItBack) {
    openWindow();
    selectDisplayMode(StatePanel::HideNumbers);
    makeGrid(300, 250);
    storeCell(form->world.grid, 0, 200, 0);
    form->world.antColour[0] = qm::rgb(255, 0, 0);
    redraw();
    EXPECT_EQ(pixel(298, 221), background());
    click(form->SpeedButton3);  // "^^^": the repaint follows at once
    EXPECT_EQ(moveY(), "200");
    EXPECT_EQ(pixel(298, 221), RedArgb);
    click(form->SpeedButton4);  // "vvv"
    EXPECT_EQ(moveY(), "0");
    EXPECT_EQ(pixel(298, 221), background());
}

TEST_F(NavigationTest, StepFieldNegativeOrUnreadable) {
    openWindow();
    form->EditMove->setText("-50");
    click(form->SpeedButton1);  // ">>"
    EXPECT_EQ(moveX(), "-50");

    // Not a number: the view is only repainted.
    form->EditMove->setText("abc");
    image().fill(RedArgb);
    click(form->SpeedButton1);
    EXPECT_EQ(moveX(), "-50");
    EXPECT_EQ(offsetX(), 50);
    EXPECT_NE(pixel(300, 300), RedArgb);
}

TEST_F(NavigationTest, ResetsPerAxisAndCentre) {
    openWindow();
    click(form->SpeedButton10);  // top right: 200, 200
    click(form->SpeedButton5);   // "0" of "Move X:"
    EXPECT_EQ(moveX(), "0");
    EXPECT_EQ(moveY(), "200");
    EXPECT_EQ(offsetY(), -200);
    click(form->SpeedButton11);  // bottom right: 200, 0
    click(form->SpeedButton6);   // "0" of "Move Y:"
    EXPECT_EQ(moveX(), "200");
    EXPECT_EQ(moveY(), "0");
    click(form->SpeedButton8);   // top left: 0, 200
    click(form->SpeedButton1);   // 200, 200
    click(form->SpeedButton7);   // "Center"
    expectCentredOn(0, 0);
}

TEST_F(NavigationTest, OffsetStopsAtTheEndsOfTheRangeInsteadOfWrapping) {
    openWindow();
    form->EditMove->setText("2147483647");
    click(form->SpeedButton1);
    click(form->SpeedButton1);
    EXPECT_EQ(moveX(), "2147483647");
    EXPECT_EQ(offsetX(), -2147483647);
    form->EditMove->setText("-2147483648");
    click(form->SpeedButton3);
    click(form->SpeedButton3);
    EXPECT_EQ(moveY(), "-2147483647");
    EXPECT_EQ(offsetY(), 2147483647);
    click(form->SpeedButton4);  // back by the same huge step, from the end of the range
    EXPECT_EQ(moveY(), "1");
}

TEST_F(NavigationTest, CentringDoesNothingBeforeTheFirstRun) {
    openWindow();
    ASSERT_EQ(form->world.counters.antCount, 0);
    form->AntNum->setText("3");
    for (QPushButton* button : {form->Button11, form->Button12, form->Button13}) {
        click(button);
        EXPECT_EQ(form->AntNum->text(), "3");
        EXPECT_EQ(offsetX(), 0);
        EXPECT_EQ(offsetY(), 0);
    }
}

TEST_F(NavigationTest, CentreToAntClampsTheNumber) {
    openWindow();
    placeAnts({{10, -5}, {-3, 7}, {100, 40}});
    form->AntNum->setText("1");
    click(form->Button11);
    expectCentredOn(10, -5);

    form->AntNum->setText("0");
    click(form->SpeedButton7);
    click(form->Button11);
    EXPECT_EQ(form->AntNum->text(), "1");
    expectCentredOn(10, -5);

    form->AntNum->setText("99");
    click(form->Button11);
    EXPECT_EQ(form->AntNum->text(), "3");
    expectCentredOn(100, 40);

    form->AntNum->setText("many");
    click(form->Button11);
    EXPECT_EQ(form->AntNum->text(), "1");
    expectCentredOn(10, -5);
}

TEST_F(NavigationTest, PreviousAndNextWrapAround) {
    openWindow();
    placeAnts({{1, 1}, {2, 2}, {3, 3}, {4, 4}});
    form->AntNum->setText("1");
    click(form->Button12);  // "<<<<"
    EXPECT_EQ(form->AntNum->text(), "4");
    expectCentredOn(4, 4);
    click(form->Button13);  // ">>>>"
    EXPECT_EQ(form->AntNum->text(), "1");
    expectCentredOn(1, 1);
    click(form->Button13);
    EXPECT_EQ(form->AntNum->text(), "2");
    expectCentredOn(2, 2);

    form->AntNum->setText("not a number");
    click(form->Button13);
    EXPECT_EQ(form->AntNum->text(), "2");
    form->AntNum->setText("-7");
    click(form->Button13);  // -6 is below 1: the last ant
    EXPECT_EQ(form->AntNum->text(), "4");
    form->AntNum->setText("50");
    click(form->Button12);  // 49 is above the count: the first ant
    EXPECT_EQ(form->AntNum->text(), "1");
    form->AntNum->setText("2147483647");
    click(form->Button13);
    EXPECT_EQ(form->AntNum->text(), "1");
    form->AntNum->setText("-2147483648");
    click(form->Button12);
    EXPECT_EQ(form->AntNum->text(), "4");
}

TEST_F(NavigationTest, NextWithOneAntStaysOnIt) {
    openWindow();
    placeAnts({{-8, 9}});
    form->AntNum->setText("x");
    click(form->Button13);
    EXPECT_EQ(form->AntNum->text(), "1");
    expectCentredOn(-8, 9);
}

TEST_F(NavigationTest, CentredAntSquareIsAtTheViewCentre) {
    openWindow();
    selectDisplayMode(StatePanel::HideNumbers);
    selectSize("2");
    run("10,-5,1,FF0000\n-40,30,2,00FF00", 7);
    ASSERT_TRUE(dialogs.boxes.empty());
    const qm::AntPos ant = form->world.antPos[0];
    form->AntNum->setText("1");
    click(form->Button11);
    expectCentredOn(ant.x, ant.y);
    // The centre pixel and its neighbours show the grid around the ant.
    const qm::FastGrid& grid = form->world.grid;
    int painted = 0;
    for (int dx = -1; dx <= 1; ++dx) {
        for (int dy = -1; dy <= 1; ++dy) {
            const uint32_t value = grid.indexedValue(ant.x + dx, ant.y + dy);
            const uint32_t expected =
                value == 0xFF ? background() : qm::toArgb(qm::colourOf(form->world.antColour[value]));
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
    ASSERT_EQ(form->world.counters.antCount, 20);
    about->RB15->click();  // new arrays for 15 ants; the count of the last run stays
    ASSERT_EQ(form->world.antPosCapacity, 15);
    ASSERT_EQ(form->world.counters.antCount, 20);
    click(form->SpeedButton1);
    form->AntNum->setText("20");
    click(form->Button11);
    EXPECT_EQ(form->AntNum->text(), "20");
    EXPECT_EQ(moveX(), "200");
    click(form->Button12);  // ant 19: beyond the arrays as well
    EXPECT_EQ(moveX(), "200");
    // Ants within the new arrays are read as the arrays hold them now.
    form->AntNum->setText("15");
    click(form->Button11);
    expectCentredOn(form->world.antPos[14].x, form->world.antPos[14].y);
}

TEST_F(NavigationTest, CommandsWorkDuringARunAndThePaintingFollowsTheView) {
    openWindow();
    selectDisplayMode(StatePanel::HideNumbers);
    QString labelDuringRun;
    duringRun([&] {
        form->EditMove->setText("30");
        click(form->SpeedButton1);
        labelDuringRun = moveX();
        click(form->Button13);  // ">>>>" from "1": ant 2, wherever it is now
    });
    run("0,0,1,FF0000\n60,0,2,FF0000", 3000);
    ASSERT_TRUE(dialogs.boxes.empty());
    EXPECT_EQ(labelDuringRun, "30");
    EXPECT_EQ(form->AntNum->text(), "2");
    EXPECT_NEAR(-offsetX(), 60, 3);
    // What the painters added after the move matches a repaint at the new offset.
    const QImage painted = paintedAsRepainted();
    redraw();
    expectSamePicture(image(), painted);
}

TEST_F(NavigationTest, EveryCommandMovesTheEyeMarkerToTheNewCentre) {
    openWindow();
    placeAnts({{100, -50}, {-30, 20}});
    QTest::mouseClick(form->Button7, Qt::LeftButton);  // show the eye window
    QCoreApplication::processEvents();
    QTest::mouseClick(form->Redraw, Qt::LeftButton);
    if (!form->CheckBox2->isChecked()) QTest::mouseClick(form->CheckBox2, Qt::LeftButton);  // "Draw Center"
    ASSERT_TRUE(form->CheckBox2->isChecked());
    const QImage& eye = form->PaintBoxEye->image();
    const uint32_t eyeBackground = qm::toArgb(form->eyeWindow->eyeBackground);
    auto markerPixels = [&] {
        int n = 0;
        for (int y = 0; y < eye.height(); ++y)
            for (int x = 0; x < eye.width(); ++x) n += eye.pixel(x, y) != eyeBackground;
        return n;
    };
    const int oneMarker = markerPixels();
    ASSERT_GT(oneMarker, 0);
    form->EditMove->setText("40");
    const std::vector<QAbstractButton*> commands{form->SpeedButton1, form->SpeedButton3, form->SpeedButton9,
                                                 form->SpeedButton5, form->SpeedButton6, form->Button11,
                                                 form->Button13,      form->SpeedButton7};
    for (size_t i = 0; i < commands.size(); ++i) {
        SCOPED_TRACE(i);
        click(commands[i]);
        EXPECT_EQ(markerPixels(), oneMarker);
        const qm::EyeMapping m = form->eyeWindow->mapping();
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
        const MainView& view = *form->mainView;
        ASSERT_EQ(view.squareSize, 2);
        const int64_t x = ViewGestures::columnUnder(at.x(), view.viewCentreX, 2) - view.viewOffsetX;
        const int64_t y = ViewGestures::rowUnder(at.y(), ViewHeight, view.viewCentreY, 2) - view.viewOffsetY;
        storeCell(form->world.grid, int32_t(x), int32_t(y), 0);
        form->world.antColour[0] = qm::rgb(255, 0, 0);
        redraw();
        ASSERT_EQ(pixel(at.x(), at.y()), RedArgb);
    }
    void turnWheel(QPoint at, int angle) {
        QWheelEvent event(QPointF(at), QPointF(form->PaintBox1->mapToGlobal(at)), QPoint(), QPoint(0, angle),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(form->PaintBox1, &event);
    }
    void mouse(QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held) {
        QMouseEvent event(type, QPointF(at), QPointF(form->PaintBox1->mapToGlobal(at)), button, held, Qt::NoModifier);
        QApplication::sendEvent(form->PaintBox1, &event);
    }
};

TEST_F(ViewHandTest, WheelStepsTheSquareSizeAndKeepsTheSquareUnderThePointer) {
    openWindow();
    selectDisplayMode(StatePanel::HideNumbers);
    const QPoint at(421, 97);
    markSquareUnder(at);

    turnWheel(at, 120);  // one notch away from the user: larger squares
    EXPECT_EQ(form->ComboBoxSize->currentText(), "4");
    EXPECT_EQ(form->mainView->squareSize, 4);
    EXPECT_EQ(pixel(at.x(), at.y()), RedArgb) << "the square stayed under the pointer";
    EXPECT_NE(offsetX(), 0);
    EXPECT_EQ(moveX(), QString::number(-int64_t{offsetX()})) << "the labels follow";
    EXPECT_EQ(moveY(), QString::number(-int64_t{offsetY()}));

    turnWheel(at, -60);  // half a notch: nothing yet
    EXPECT_EQ(form->ComboBoxSize->currentText(), "4");
    turnWheel(at, -180);  // with the half notch, two notches toward the user
    EXPECT_EQ(form->ComboBoxSize->currentText(), "1");
    EXPECT_EQ(pixel(at.x(), at.y()), RedArgb);
    turnWheel(at, -1200);  // stops at the first item
    EXPECT_EQ(form->ComboBoxSize->currentIndex(), 0);
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
    form->EditMove->setText("30");
    QTest::keyClick(form->PaintBox1, Qt::Key_Right);
    EXPECT_EQ(moveX(), "30");
    QTest::keyClick(form->PaintBox1, Qt::Key_Up);
    EXPECT_EQ(moveY(), "30");
    QTest::keyClick(form->PaintBox1, Qt::Key_Left);
    QTest::keyClick(form->PaintBox1, Qt::Key_Left);
    EXPECT_EQ(moveX(), "-30");
    QTest::keyClick(form->PaintBox1, Qt::Key_Down);
    EXPECT_EQ(moveY(), "0");
    EXPECT_EQ(form->PaintBox1->focusPolicy(), Qt::ClickFocus) << "a click gives the view the keys";
}

}  // namespace
