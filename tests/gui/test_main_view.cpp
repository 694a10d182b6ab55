// The main view: where squares land for every size, the colours of painted, cleared and state
// squares, the full repaint of every cell layout and store, and that a repaint after a run shows
// exactly the picture the per-move painters left.

#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>

#include "ViewTestSupport.h"
#include "gui/settings/SettingsDialog.h"

using namespace viewtest;

namespace {

constexpr qm::ColourRef Red = 0x0000FF;   // red in the low byte
constexpr uint32_t RedArgb = 0xFFFF0000u;

struct SizeExample {
    const char* item;
    int firstColumn, lastColumn, firstRow, lastRow;  // of square (0, 0), view offset 0, 0
};

class MainViewTest : public ViewTest {};

TEST_F(MainViewTest, SurfaceHasTheDesignSize) {
    openWindow();
    EXPECT_EQ(ui().view.viewSurface->width(), ViewWidth);
    EXPECT_EQ(ui().view.viewSurface->height(), ViewHeight);
    EXPECT_EQ(peer().mainView().viewCentreX, 298);
    EXPECT_EQ(peer().mainView().viewCentreY, 220);
}

TEST_F(MainViewTest, SquareOriginLandsWhereTheMappingSaysForEverySize) {
    openWindow();
    for (const SizeExample& e : {SizeExample{"1", 298, 298, 221, 221}, SizeExample{"2", 297, 298, 220, 221},
                                 SizeExample{"8", 294, 301, 217, 224}}) {
        SCOPED_TRACE(e.item);
        // By the per-move painter ...
        selectSize(e.item);
        placeAnt(0, 0, Red);
        callPaintHook();
        expectRect(e.firstColumn, e.lastColumn, e.firstRow, e.lastRow, RedArgb, background());
        // ... and by the full repaint of a grid holding the square.
        makeGrid(10, 0);
        qm::FastGrid& grid = peer().world().grid;
        storeCell(grid, 0, 0, 0);  // ant 0
        peer().world().antColour[0] = Red;
        redraw();
        expectRect(e.firstColumn, e.lastColumn, e.firstRow, e.lastRow, RedArgb, background());
    }
}

TEST_F(MainViewTest, NeighboursOfTheOriginAtSizeTwo) {
    openWindow();
    selectSize("2");
    placeAnt(0, 1, Red);
    callPaintHook();
    expectRect(297, 298, 218, 219, RedArgb, background());
    redraw();
    placeAnt(1, 0, Red);
    callPaintHook();
    expectRect(299, 300, 220, 221, RedArgb, background());
}

TEST_F(MainViewTest, ViewOffsetPutsItsNegativeAtTheCentre) {
    openWindow();
    selectSize("2");
    peer().mainView().viewOffsetX = -10;
    peer().mainView().viewOffsetY = 5;
    redraw();
    placeAnt(10, -5, Red);
    callPaintHook();
    expectRect(297, 298, 220, 221, RedArgb, background());

    makeGrid(20, 10);
    storeCell(peer().world().grid, 10, -5, 0);
    peer().world().antColour[0] = Red;
    redraw();
    expectRect(297, 298, 220, 221, RedArgb, background());
}

TEST_F(MainViewTest, FarSquaresNeitherOverflowNorWrapOntoTheSurface) {
    openWindow();
    selectSize("8");
    peer().mainView().viewOffsetX = 2147483647;
    peer().mainView().viewOffsetY = -2147483647;
    redraw();
    const QImage before = image().copy();
    for (qm::AntPos p : {qm::AntPos{2147483647, 0}, qm::AntPos{-2147483647 - 1, -2147483647 - 1},
                         qm::AntPos{0, 2147483647}}) {
        placeAnt(p.x, p.y, Red);
        callPaintHook();
    }
    EXPECT_EQ(image(), before);
    // The square at the view centre is still found.
    placeAnt(-2147483647, 2147483647, Red);
    callPaintHook();
    expectRect(294, 301, 217, 224, RedArgb, background());
}

TEST_F(MainViewTest, RepaintDrawsSquaresHalfOnTheSurfaceAtEveryEdge) {
    openWindow();
    selectDisplayMode(StatePanel::HideNumbers);
    selectSize("6");
    makeGrid(60, 60);
    peer().world().antColour[0] = Red;
    // At size 6 these squares show 1 to 3 pixel lines at the left, bottom, right and top edges.
    for (qm::AntPos p : {qm::AntPos{-50, 0}, qm::AntPos{0, -37}, qm::AntPos{50, 0}, qm::AntPos{0, 37}})
        storeCell(peer().world().grid, p.x, p.y, 0);
    redraw();
    EXPECT_EQ(pixel(0, 221), RedArgb);
    EXPECT_EQ(pixel(298, 440), RedArgb);
    EXPECT_EQ(pixel(595, 221), RedArgb);
    EXPECT_EQ(pixel(298, 0), RedArgb);
}

TEST_F(MainViewTest, SquaresAtTheSurfaceEdgeAreClipped) {
    openWindow();
    selectSize("8");
    // Column 0 of square -37 runs from pixel -2 to 5; row of square 28 from -7 to 0.
    placeAnt(-37, 28, Red);
    callPaintHook();
    for (int x = 0; x <= 5; ++x) EXPECT_EQ(pixel(x, 0), RedArgb) << x;
    EXPECT_EQ(pixel(6, 0), background());
    EXPECT_EQ(pixel(0, 1), background());
}

TEST_F(MainViewTest, PaintersHandEverySquareToTheEyeWindow) {
    openWindow();
    struct Calls {
        int painted = 0;
        int cleared = 0;
    } calls;
    for (const char* item : {"0", "1", "2", "4", "6", "8"}) {
        for (bool blackWhite : {false, true}) {
            SCOPED_TRACE(std::string(item) + (blackWhite ? " black-and-white" : " indexed"));
            peer().world().antMaxMode = blackWhite ? qm::AntMaxMode::BlackWhite : qm::AntMaxMode::Ants255;
            selectSize(item);
            peer().eyeWindow().paintedOp = [](void* c) { ++static_cast<Calls*>(c)->painted; };
            peer().eyeWindow().clearedOp = [](void* c) { ++static_cast<Calls*>(c)->cleared; };
            peer().eyeWindow().opContext = &calls;
            calls = {};
            placeAnt(3, 3, Red);
            callPaintHook();
            EXPECT_EQ(calls.painted, 1);
            callEraseHook();
            EXPECT_EQ(calls.cleared, 1);
            peer().world().squareStateFromStore = 1;
            peer().world().currentSquareState = 1;
            callHook(peer().world().hooks.genSquare);
            EXPECT_EQ(calls.painted, 2);
            EXPECT_EQ(calls.cleared, 1);
        }
    }
    peer().world().antMaxMode = qm::AntMaxMode::Ants255;
}

TEST_F(MainViewTest, ItemZeroDrawsNothingAtAll) {
    openWindow();
    selectDisplayMode(StatePanel::HideNumbers);
    selectSize("0");
    placeAnt(0, 0, Red);
    callPaintHook();
    callEraseHook();
    makeGrid(10, 5);
    storeCell(peer().world().grid, 0, 0, 0);
    peer().world().antColour[0] = Red;
    redraw();
    EXPECT_EQ(countPixels(image(), background()), ViewWidth * ViewHeight);
}

TEST_F(MainViewTest, PaintColoursByModeAndSquareState) {
    openWindow();
    selectSize("2");
    placeAnt(0, 0, 0x12345678);  // the top byte is the direction: only the low 24 bits paint
    callPaintHook();
    EXPECT_EQ(pixel(298, 221), qm::toArgb(0x345678));
    callEraseHook();
    EXPECT_EQ(pixel(298, 221), WhiteArgb);

    peer().world().antMaxMode = qm::AntMaxMode::BlackWhite;
    selectSize("2");  // the painters follow the mode of the selection
    callPaintHook();
    EXPECT_EQ(pixel(298, 221), BlackArgb);

    // Generalized: the state colour of the cell value, from the store or from the grid.
    peer().stateColours()[3] = 0x00AA00;
    peer().stateColours()[5] = 0x0000AA;
    peer().world().squareStateFromStore = 1;
    peer().world().currentSquareState = 3;
    callHook(peer().world().hooks.genSquare);
    EXPECT_EQ(pixel(298, 221), qm::toArgb(0x00AA00));
    peer().world().antMaxMode = qm::AntMaxMode::Ants255;
    makeGrid(10, 1);
    peer().world().grid.cells[peer().world().grid.cellIndex(0, 0)] = 5;
    peer().world().currentCellIndex = peer().world().grid.cellIndex(0, 0);
    peer().world().squareStateFromStore = 0;
    callHook(peer().world().hooks.genSquare);
    EXPECT_EQ(pixel(298, 221), qm::toArgb(0x0000AA));
}

// Every cell layout draws the squares of the grid's last column, last row and first corner.
struct LayoutCase {
    const char* name;
    std::function<void(SettingsDialog&)> choose;
    uint32_t value;     // what the cell holds
    uint32_t expected;  // the pixel it gives (0: the colour of ant `value`)
};

class GridLayouts : public ViewTest, public ::testing::WithParamInterface<LayoutCase> {};

TEST_P(GridLayouts, EdgeSquaresOfTheGridAreRepainted) {
    const LayoutCase& layout = GetParam();
    openWindow();
    layout.choose(*about);
    selectDisplayMode(StatePanel::HideNumbers);
    peer().stateColours()[2] = 0x00CC00;
    if (peer().world().antColour) peer().world().antColour[layout.value % 15] = 0x0000CC;
    selectSize("2");
    const int32_t r = 40;
    makeGrid(r, r);
    const uint32_t expected = layout.expected ? layout.expected : qm::toArgb(0x0000CC);
    for (qm::AntPos p : {qm::AntPos{r, 0}, qm::AntPos{0, r}, qm::AntPos{-r, -r}, qm::AntPos{r, r}})
        storeCell(peer().world().grid, p.x, p.y, layout.value, peer().world().generalized);
    redraw();
    const qm::AntPos drawn[] = {{r, 0}, {0, r}, {-r, -r}, {r, r}};
    for (qm::AntPos p : drawn) {
        const int px = 298 + 2 * p.x, py = 221 - 2 * p.y;
        EXPECT_EQ(pixel(px, py), expected) << p.x << ", " << p.y;
        EXPECT_EQ(pixel(px - 1, py - 1), expected) << p.x << ", " << p.y;
    }
    // Beyond the grid nothing is read or drawn.
    EXPECT_EQ(pixel(298 + 2 * (r + 1), 221), background());
    EXPECT_EQ(countPixels(image(), expected), 4 * 4);
}

INSTANTIATE_TEST_SUITE_P(
    EveryLayout, GridLayouts,
    ::testing::Values(LayoutCase{"nibbles", [](SettingsDialog& a) { a.ants15Radio->click(); }, 9, 0},
                      LayoutCase{"bytes", [](SettingsDialog&) {}, 9, 0},
                      LayoutCase{"words", [](SettingsDialog& a) { a.ants65535Radio->click(); }, 9, 0},
                      LayoutCase{"bits", [](SettingsDialog& a) { a.antsManyRadio->click(); }, 1, BlackArgb},
                      LayoutCase{"states", [](SettingsDialog& a) { a.generalizedRadio->click(); }, 2,
                                 qm::toArgb(0x00CC00)}),
    [](const ::testing::TestParamInfo<LayoutCase>& info) { return std::string(info.param.name); });

TEST_F(MainViewTest, HighAntsOfFifteenAreDrawnFromBothNibbles) {
    openWindow();
    about->ants15Radio->click();
    selectSize("2");
    makeGrid(20, 20);
    qm::World& w = peer().world();
    for (uint32_t ant = 8; ant <= 14; ++ant) w.antColour[ant] = qm::rgb(ant * 10, 200, 255 - ant);
    // The side is odd, so neighbouring rows of one column sit in opposite nibbles.
    for (int32_t ant = 8; ant <= 14; ++ant) {
        const int32_t x = ant - 11;
        storeCell(w.grid, x, 0, static_cast<uint32_t>(ant));
        storeCell(w.grid, x, 1, static_cast<uint32_t>(ant));
        ASSERT_NE(w.grid.cellIndex(x, 0) % 2, w.grid.cellIndex(x, 1) % 2);
    }
    redraw();
    for (int32_t ant = 8; ant <= 14; ++ant) {
        const uint32_t colour = qm::toArgb(qm::rgb(ant * 10, 200, 255 - ant));
        const int px = 298 + 2 * (ant - 11);
        EXPECT_EQ(pixel(px, 221), colour) << "ant " << ant << " at row 0";
        EXPECT_EQ(pixel(px, 219), colour) << "ant " << ant << " at row 1";
    }
    EXPECT_EQ(pixel(298 + 2 * -4, 221), background());
}

TEST_F(MainViewTest, ClearedSquareIsWhiteUntilTheNextRepaint) {
    openWindow();
    selectSize("2");
    // One ant from (0, 0) facing X+ paints four squares around a corner and clears (0, 0) at
    // its fifth move.
    run("0,0,1,FF0000", 5);
    ASSERT_TRUE(dialogs.boxes.empty());
    EXPECT_EQ(pixel(298, 221), WhiteArgb);
    EXPECT_EQ(pixel(298, 223), RedArgb);  // (0, -1) still painted
    redraw();
    EXPECT_EQ(pixel(298, 221), background());
    EXPECT_EQ(pixel(298, 223), RedArgb);
}

TEST_F(MainViewTest, BlackAndWhiteRepaintDrawsOnlyBlack) {
    openWindow();
    about->antsManyRadio->click();
    selectDisplayMode(StatePanel::HideNumbers);
    run("0,0,1\n9,4,2\n-6,-3,3", 3000);
    ASSERT_TRUE(dialogs.boxes.empty());
    EXPECT_GT(countPixels(image(), WhiteArgb), 0);  // the painters left cleared squares white
    redraw();
    const int black = countPixels(image(), BlackArgb);
    EXPECT_GT(black, 0);
    EXPECT_EQ(black + countPixels(image(), background()), ViewWidth * ViewHeight);
}

TEST_F(MainViewTest, RepaintRestoresTheNormalCursor) {
    openWindow();
    makeGrid(10, 10);
    redraw();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

// The picture the painters leave during a run, with cleared squares read as background, is the
// picture a full repaint draws afterwards, pixel for pixel, in every mode and size.
struct RepaintCase {
    const char* name;
    std::function<void(SettingsDialog&)> choose;
    const char* item;
    const char* ants;
    int64_t steps;
};

class RepaintMatchesPainters : public ViewTest, public ::testing::WithParamInterface<RepaintCase> {};

TEST_P(RepaintMatchesPainters, AfterARun) {
    const RepaintCase& c = GetParam();
    openWindow();
    ASSERT_TRUE(about->continueCheck->isChecked());
    c.choose(*about);
    selectDisplayMode(StatePanel::HideNumbers);
    selectSize(c.item);
    run(QString::fromLatin1(c.ants), c.steps);
    ASSERT_TRUE(dialogs.boxes.empty()) << dialogs.boxes.front().text;

    const QImage painted = paintedAsRepainted();
    ASSERT_LT(countPixels(painted, background()), ViewWidth * ViewHeight);
    redraw();
    expectSamePicture(image(), painted);
}

// Ants far from the origin that first move toward it paint squares outside the bounding box
// until they happen to widen it; program 1 turns left on every fresh square, so its squares
// never widen the box at all.
constexpr const char* LangtonAnts = "0,0,1,0000FF\n3,3,2,00AA00\n-4,2,3,AA0000\n40,-30,2,AA00AA\n-25,12,4,008888";
constexpr const char* GeneralizedAnts = "0,0,1\n3,3,2,0x5\n-4,2,3\n40,-30,4,1\n-25,12,1,BX0110";
// A lone ant takes its steps between frames in one pass of the loop, painting as it goes.
constexpr const char* LoneAnt = "5,-7,2,0000FF";

INSTANTIATE_TEST_SUITE_P(
    EveryModeAndSize, RepaintMatchesPainters,
    ::testing::Values(
        RepaintCase{"indexed255_2", [](SettingsDialog&) {}, "2", LangtonAnts, 4000},
        RepaintCase{"indexed255_1", [](SettingsDialog&) {}, "1", LangtonAnts, 4000},
        RepaintCase{"indexed255_8", [](SettingsDialog&) {}, "8", LangtonAnts, 4000},
        RepaintCase{"indexed255_fewSteps", [](SettingsDialog&) {}, "2", LangtonAnts, 2},
        RepaintCase{"indexed255_loneAnt", [](SettingsDialog&) {}, "2", LoneAnt, 12000},
        RepaintCase{"indexed15_loneAnt", [](SettingsDialog& a) { a.ants15Radio->click(); }, "1", LoneAnt, 12000},
        RepaintCase{"blackWhite_loneAnt", [](SettingsDialog& a) { a.antsManyRadio->click(); }, "4", LoneAnt, 12000},
        RepaintCase{"indexed15_2", [](SettingsDialog& a) { a.ants15Radio->click(); }, "2", LangtonAnts, 4000},
        RepaintCase{"indexed15_6", [](SettingsDialog& a) { a.ants15Radio->click(); }, "6", LangtonAnts, 2000},
        RepaintCase{"indexed65535_4", [](SettingsDialog& a) { a.ants65535Radio->click(); }, "4", LangtonAnts, 4000},
        RepaintCase{"blackWhite_2", [](SettingsDialog& a) { a.antsManyRadio->click(); }, "2", LangtonAnts, 4000},
        RepaintCase{"blackWhite_1", [](SettingsDialog& a) { a.antsManyRadio->click(); }, "1", LangtonAnts, 4000},
        RepaintCase{"blackWhite_fewSteps", [](SettingsDialog& a) { a.antsManyRadio->click(); }, "2", LangtonAnts, 2},
        RepaintCase{"generalized_2", [](SettingsDialog& a) { a.generalizedRadio->click(); }, "2", GeneralizedAnts, 3000},
        RepaintCase{"generalized_1", [](SettingsDialog& a) { a.generalizedRadio->click(); }, "1", GeneralizedAnts, 3000},
        RepaintCase{"generalized_manyStates",
                    [](SettingsDialog& a) {
                        a.generalizedRadio->click();
                        a.statesCombo->setCurrentIndex(10);
                    },
                    "4", GeneralizedAnts, 3000}),
    [](const ::testing::TestParamInfo<RepaintCase>& info) { return std::string(info.param.name); });

TEST_F(MainViewTest, GeneralizedStoreSquaresAreDrawnByHookAndRepaint) {
    openWindow();
    about->generalizedRadio->click();
    selectDisplayMode(StatePanel::HideNumbers);
    selectSize("2");
    const int32_t r = about->halfSize();
    const QString ant = QStringLiteral("%1,7,1").arg(r + 30);
    // The view follows the ant beyond the fast grid from the run's first served frame on.
    duringRun([this] { QTest::mouseClick(ui().navigation.centreOnAntButton, Qt::LeftButton); });
    run(ant, 2000);
    ASSERT_TRUE(dialogs.boxes.empty());
    ASSERT_NE(peer().world().storeMulti, nullptr);
    ASSERT_GT(peer().world().storeMulti->Count(), 0);
    EXPECT_NEAR(-peer().mainView().viewOffsetX, r + 30, 2);

    const QImage painted = image().copy();
    int stateSquares = 0;
    for (int value = 1; value <= peer().world().states; ++value)
        stateSquares += countPixels(painted, qm::toArgb(peer().stateColours()[value]));
    EXPECT_GT(stateSquares, 0);
    EXPECT_EQ(stateSquares + countPixels(painted, background()), ViewWidth * ViewHeight);
    redraw();
    expectSamePicture(image(), painted);
}

TEST_F(MainViewTest, RepaintAfterTheSettingsFreedTheGridShowsBackgroundOnly) {
    openWindow();
    selectDisplayMode(StatePanel::HideNumbers);
    run("0,0,1,FF0000", 500);
    redraw();
    EXPECT_GT(countPixels(image(), RedArgb), 0);
    about->ants15Radio->click();
    redraw();
    EXPECT_EQ(countPixels(image(), background()), ViewWidth * ViewHeight);
}

TEST_F(MainViewTest, SizeChangeDuringARunRepaintsAndPaintsOnAtTheNewSize) {
    openWindow();
    selectDisplayMode(StatePanel::HideNumbers);
    selectSize("2");
    duringRun([this] { ui().visualisation.squareSizeCombo->setCurrentIndex(ui().visualisation.squareSizeCombo->findText("8")); });
    run("0,0,1,0000FF", 3000);
    ASSERT_TRUE(dialogs.boxes.empty());
    EXPECT_EQ(peer().mainView().squareSize, 8);
    const QImage painted = paintedAsRepainted();
    redraw();
    expectSamePicture(image(), painted);
}

TEST_F(MainViewTest, ResizeKeepsTheSameSquareInTheMiddle) {
    openWindow();
    selectDisplayMode(StatePanel::HideNumbers);
    makeGrid(10, 1);
    storeCell(peer().world().grid, 0, 0, 0);
    peer().world().antColour[0] = Red;
    form->resize(900, 650);
    QCoreApplication::processEvents();  // the surface renders once it has its new size
    const int w = ui().view.viewSurface->width(), h = ui().view.viewSurface->height();
    ASSERT_NE(w, ViewWidth);
    ASSERT_EQ(image().size(), QSize(w, h));
    const int cx = w / 2, cy = h / 2;
    expectRect(cx - 1, cx, h - cy - 1, h - cy, RedArgb, background());
}

TEST_F(MainViewTest, SurfaceIsShownOnceAFrameWhileTheRunPaints) {
    openWindow();
    selectDisplayMode(StatePanel::HideNumbers);
    struct PaintCounter : QObject {
        int paints = 0;
        bool eventFilter(QObject*, QEvent* event) override {
            paints += event->type() == QEvent::Paint;
            return false;
        }
    } counter;
    int paintsBefore = -1;
    duringRun([&] {
        // From here on nothing but the served frames asks the surface to show itself.
        ui().view.viewSurface->installEventFilter(&counter);
        QTimer::singleShot(60, form.get(), [&] {
            paintsBefore = counter.paints;
            peer().startOrBreakRun();
        });
    });
    run("0,0,1,FF0000", 1000000000);
    ui().view.viewSurface->removeEventFilter(&counter);
    EXPECT_GT(paintsBefore, 0);
}

TEST_F(MainViewTest, DigitWidthIsMeasuredOnTheSurfaceFont) {
    openWindow();
    redraw();
    const QFontMetrics metrics(ui().view.viewSurface->font());
    EXPECT_EQ(peer().mainView().digitWidth, metrics.horizontalAdvance(QStringLiteral("1234567890")) / 10);
    EXPECT_GT(peer().mainView().digitWidth, 0);
}

}  // namespace
