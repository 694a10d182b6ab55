// The eye window: layout and scale, square to pixel, the full repaint after runs in every mode
// against the grid and the stores, the byte sampling at coarse scales, the not-xor markers,
// the per-move square operations and re-centring the main view by a click or a drag.

#include <cstring>
#include <functional>
#include <map>
#include <optional>
#include <set>

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QToolButton>

#include "MainWindowFixture.h"
#include "display/Colours.h"
#include "gui/view/EyeWindow.h"
#include "gui/view/ImageSurface.h"
#include "gui/view/MainView.h"

namespace {

// The pixel the not-xor pen leaves on a pixel of colour `under`.
QRgb markedOver(QRgb under) {
    const uint32_t pen = qm::toArgb(EyeWindow::MarkerColour);
    return 0xFF000000u | (~(pen ^ under) & 0x00FFFFFFu);
}

// The colour a square holds in the grid or the stores of the last run; none when empty.
std::optional<QRgb> storedColour(const MainWindowTestPeer& f, int32_t x, int32_t y) {
    const qm::World& w = f.world();
    auto ant = [&](uint32_t index) { return QRgb(qm::toArgb(w.antColour[index])); };
    auto state = [&](uint32_t value) { return QRgb(qm::toArgb(f.stateColours()[value])); };
    if (w.grid.exists() && w.grid.inside(x, y)) {
        switch (w.grid.width) {
            case qm::CellWidth::Bit:
                return w.grid.blackAt(x, y) ? std::optional<QRgb>(qm::toArgb(qm::Black)) : std::nullopt;
            case qm::CellWidth::Nibble:
                return w.grid.indexedValue(x, y) != 0xF ? std::optional(ant(w.grid.indexedValue(x, y))) : std::nullopt;
            case qm::CellWidth::Word:
                return w.grid.indexedValue(x, y) != 0xFFFF ? std::optional(ant(w.grid.indexedValue(x, y)))
                                                           : std::nullopt;
            case qm::CellWidth::Byte:
                if (w.generalized)
                    return w.grid.generalizedValue(x, y) != 0 ? std::optional(state(w.grid.generalizedValue(x, y)))
                                                              : std::nullopt;
                return w.grid.indexedValue(x, y) != 0xFF ? std::optional(ant(w.grid.indexedValue(x, y)))
                                                         : std::nullopt;
        }
    }
    std::optional<QRgb> found;
    const auto look = [&](const auto& e, auto colour) {
        if (e.X > x) return false;
        if (e.X == x && e.Y == y) found = colour(e);
        return true;
    };
    if (w.storeIndexed)
        w.storeIndexed->ForEachFromX(x, [&](const qm::IndexedSquare& e) { return look(e, [&](const auto& s) { return ant(s.ant); }); });
    if (w.storeBW)
        w.storeBW->ForEachFromX(x, [&](const qm::BlackSquare& e) { return look(e, [](const auto&) { return qm::toArgb(qm::Black); }); });
    if (w.storeMulti)
        w.storeMulti->ForEachFromX(x, [&](const qm::GeneralizedSquare& e) { return look(e, [&](const auto& s) { return state(s.state); }); });
    return found;
}

}  // namespace

class EyeWindowTest : public MainWindowTest {
protected:
    EyeWindow& eye() { return peer().eyeWindow(); }
    const QImage& eyeImage() { return ui().eye.eyeSurface->image(); }
    QRgb background() { return qm::toArgb(eye().eyeBackground); }
    QRgb at(int px, int py) { return eyeImage().pixel(px, py); }
    QRgb atSquare(int32_t x, int32_t y) {
        const qm::EyeMapping m = eye().mapping();
        return eyeImage().pixel(int(m.column(x)), int(m.row(y)));
    }

    void openWithEye() {
        openWindow();
        showEye();
    }
    void showEye() {
        QTest::mouseClick(ui().navigation.eyeShowHideButton, Qt::LeftButton);
        QCoreApplication::processEvents();  // the surface's first render
    }
    void click(QAbstractButton* button) { QTest::mouseClick(button, Qt::LeftButton); }
    void setDrawCenter(bool on) {
        if (ui().eye.drawCentreCheck->isChecked() != on) click(ui().eye.drawCentreCheck);
    }
    // Pending scale a x b x c, then "Redraw Eye".
    void redrawAtScale(int a, int b, int c) {
        ui().eye.eyeZoomFineSlider->setValue(c);
        ui().eye.eyeZoomMediumSlider->setValue(b);
        ui().eye.eyeZoomCoarseSlider->setValue(a);
        click(ui().eye.redrawEyeButton);
    }
    int pixelsOtherThan(QRgb colour) {
        int count = 0;
        for (int y = 0; y < eyeImage().height(); ++y)
            for (int x = 0; x < eyeImage().width(); ++x) count += eyeImage().pixel(x, y) != colour;
        return count;
    }
    // Stands the first ant on a square, ready for the per-move operations.
    void standAnt(int32_t x, int32_t y, qm::ColourRef colour) {
        peer().world().counters.currentAnt = 0;
        peer().world().antPos[0] = {x, y};
        peer().world().antColour[0] = qm::makeColourWord(colour, qm::DirXPlus);
    }
    void runSteps(const QString& ants, int64_t steps) {
        setEditor(ants);
        setMaxSteps(steps);
        clickStart();
        ASSERT_TRUE(dialogs.boxes.empty()) << dialogs.boxes[0].text;
    }
};

// ------------------------------------------------------------------------------------------
// Layout and scale

TEST_F(EyeWindowTest, QuarterOfA441PixelViewGivesSide110AndTrackBarMaximum1041) {
    openWindow();
    ASSERT_EQ(ui().view.viewSurface->height(), 441);
    EXPECT_TRUE(ui().eye.eyeFrame->isHidden());
    EXPECT_TRUE(ui().eye.eyeControls->isHidden());

    showEye();

    EXPECT_FALSE(ui().eye.eyeFrame->isHidden());
    EXPECT_FALSE(ui().eye.eyeControls->isHidden());
    EXPECT_EQ(ui().eye.eyeFrame->size(), QSize(110, 110));
    EXPECT_EQ(ui().eye.eyeSurface->size(), QSize(110, 110));
    EXPECT_EQ(ui().eye.eyeFrame->geometry().right(), ui().view.viewSurface->geometry().right());
    EXPECT_EQ(ui().eye.eyeFrame->geometry().bottom(), ui().view.viewSurface->geometry().bottom());
    EXPECT_EQ(ui().eye.eyeZoomCoarseSlider->maximum(), 1041);
    EXPECT_EQ(eye().eyeCentreX, 55);
    EXPECT_EQ(eye().eyeCentreY, 55);
    EXPECT_EQ(eyeImage().size(), QSize(110, 110));
    // 320 at least, but no more than half the bottom strip (596 / 2), against its right edge.
    EXPECT_EQ(ui().eye.eyeControls->geometry(), QRect(298, 0, 298, 112));

    click(ui().navigation.eyeShowHideButton);
    EXPECT_TRUE(ui().eye.eyeFrame->isHidden());
    EXPECT_TRUE(ui().eye.eyeControls->isHidden());
}

TEST_F(EyeWindowTest, EverySizeItemTakesItsFractionOfTheViewHeight) {
    openWithEye();
    // 0.6666 and 0.3333 of 441 are 293 and 146, where 2/3 and 1/3 would give 294 and 147.
    const int sides[] = {441, 293, 220, 146, 110, 88, 73};
    for (int item = 0; item < 7; ++item) {
        ui().navigation.eyeSizeCombo->setCurrentIndex(item);
        EXPECT_EQ(ui().eye.eyeSurface->size(), QSize(sides[item], sides[item])) << "item " << item;
        EXPECT_EQ(eye().eyeCentreX, sides[item] / 2);
        EXPECT_EQ(ui().eye.eyeFrame->geometry().bottomRight(), ui().view.viewSurface->geometry().bottomRight());
    }
}

TEST_F(EyeWindowTest, WithoutTheFirstTrackBarTheScaleRangeIsFixed) {
    openWindow(memoryMiB(64, 20), /*windows9x=*/true);
    ui().eye.eyeZoomCoarseSlider->setValue(7);
    showEye();
    EXPECT_TRUE(ui().eye.eyeZoomCoarseSlider->isHidden());
    EXPECT_EQ(ui().eye.eyeZoomCoarseSlider->maximum(), 200);
    EXPECT_EQ(ui().eye.eyeZoomCoarseSlider->value(), 1);
}

TEST_F(EyeWindowTest, TrackBarsChangeOnlyThePendingScaleUntilRedrawEye) {
    openWithEye();
    EXPECT_EQ(ui().eye.eyeZoomLabel->text(), "Zoom: 5x");
    peer().world().counters = {};
    const QImage before = eyeImage().copy();

    ui().eye.eyeZoomMediumSlider->setValue(3);
    ui().eye.eyeZoomFineSlider->setValue(7);

    EXPECT_EQ(ui().eye.eyeZoomLabel->text(), "Zoom: 21x");
    EXPECT_EQ(eye().pendingScale, 21);
    EXPECT_EQ(eye().eyeScale, 5);
    EXPECT_EQ(eyeImage(), before);

    click(ui().eye.redrawEyeButton);
    EXPECT_EQ(eye().eyeScale, 21);
    EXPECT_TRUE(ui().eye.eyeChangedLabel->isHidden()) << "idle: Redraw Eye hides the run mark";
}

// ------------------------------------------------------------------------------------------
// Square to pixel, through the per-move operation

TEST_F(EyeWindowTest, SquareToPixelAtScaleOneAndFive) {
    openWithEye();
    setDrawCenter(false);
    const qm::ColourRef red = qm::rgb(255, 0, 0);
    redrawAtScale(1, 1, 1);
    standAnt(0, 0, red);
    peer().eyeWindow().paintedSquare();
    EXPECT_EQ(at(55, 110 - 55), qm::toArgb(red));
    standAnt(3, -2, red);
    peer().eyeWindow().paintedSquare();
    EXPECT_EQ(at(58, 57), qm::toArgb(red));

    redrawAtScale(1, 1, 5);
    ASSERT_EQ(pixelsOtherThan(background()), 0);
    const qm::ColourRef blue = qm::rgb(0, 0, 255);
    for (int32_t x = -4; x <= 4; ++x) {  // the centre column holds 2s - 1 squares
        standAnt(x, 0, blue);
        peer().eyeWindow().paintedSquare();
    }
    EXPECT_EQ(at(55, 55), qm::toArgb(blue));
    EXPECT_EQ(pixelsOtherThan(background()), 1);
    standAnt(5, 0, red);
    peer().eyeWindow().paintedSquare();
    standAnt(-5, 9, red);
    peer().eyeWindow().paintedSquare();
    EXPECT_EQ(at(56, 55), qm::toArgb(red));
    EXPECT_EQ(at(54, 54), qm::toArgb(red));
    EXPECT_EQ(pixelsOtherThan(background()), 3);
}

// ------------------------------------------------------------------------------------------
// Update options

TEST_F(EyeWindowTest, UpdateOptionsChooseWhatTheSquareOperationsDraw) {
    openWithEye();
    setDrawCenter(false);
    redrawAtScale(1, 1, 1);
    const qm::ColourRef green = qm::rgb(0, 200, 0);

    // "Update ants in eye window" off: nothing is drawn and "Update 'white' too" is disabled.
    click(ui().eye.updateAntsInEyeCheck);
    EXPECT_FALSE(ui().eye.updateWhiteInEyeCheck->isEnabled());
    standAnt(1, 1, green);
    peer().eyeWindow().paintedSquare();
    peer().eyeWindow().clearedSquare();
    EXPECT_EQ(pixelsOtherThan(background()), 0);

    // On again: painted squares are drawn, white ones not until "Update 'white' too".
    click(ui().eye.updateAntsInEyeCheck);
    EXPECT_TRUE(ui().eye.updateWhiteInEyeCheck->isEnabled());
    peer().eyeWindow().paintedSquare();
    EXPECT_EQ(atSquare(1, 1), qm::toArgb(green));
    peer().eyeWindow().clearedSquare();
    EXPECT_EQ(atSquare(1, 1), qm::toArgb(green));
    click(ui().eye.updateWhiteInEyeCheck);
    peer().eyeWindow().clearedSquare();
    EXPECT_EQ(atSquare(1, 1), background());

    // Black-and-white mode paints black whatever the ant's colour.
    about->antsManyRadio->click();
    click(ui().eye.updateAntsInEyeCheck);
    click(ui().eye.updateAntsInEyeCheck);
    standAnt(2, 2, green);
    peer().eyeWindow().paintedSquare();
    EXPECT_EQ(atSquare(2, 2), qm::toArgb(qm::Black));

    // A hidden eye draws nothing; showing it repaints it in full anyway.
    click(ui().navigation.eyeShowHideButton);
    standAnt(3, 3, green);
    peer().eyeWindow().paintedSquare();
    EXPECT_NE(atSquare(3, 3), qm::toArgb(qm::Black));
}

TEST_F(EyeWindowTest, GeneralizedModeDrawsStateColoursAndNeverClears) {
    openWindow();
    about->generalizedRadio->click();
    showEye();
    setDrawCenter(false);
    redrawAtScale(1, 1, 1);
    if (!ui().eye.updateWhiteInEyeCheck->isChecked()) click(ui().eye.updateWhiteInEyeCheck);
    runSteps("0,0,1", 1);  // a generalized grid and ant arrays

    // The cell value comes from the store hand-off when its flag is set, else from the grid.
    standAnt(4, 4, qm::Black);
    peer().world().squareStateFromStore = 1;
    peer().world().currentSquareState = 3;
    peer().eyeWindow().paintedSquare();
    EXPECT_EQ(atSquare(4, 4), qm::toArgb(peer().stateColours()[3]));
    peer().world().squareStateFromStore = 0;
    peer().world().currentCellIndex = peer().world().grid.cellIndex(4, 4);
    peer().world().grid.cells[peer().world().currentCellIndex] = 2;
    peer().eyeWindow().paintedSquare();
    EXPECT_EQ(atSquare(4, 4), qm::toArgb(peer().stateColours()[2]));

    ASSERT_TRUE(ui().eye.updateWhiteInEyeCheck->isChecked());
    peer().eyeWindow().clearedSquare();
    EXPECT_EQ(atSquare(4, 4), qm::toArgb(peer().stateColours()[2]));
}

TEST_F(EyeWindowTest, SquaresThatTurnWhiteStayUntilTheNextFullRepaint) {
    openWithEye();
    setDrawCenter(false);
    redrawAtScale(1, 1, 1);
    ASSERT_FALSE(ui().eye.updateWhiteInEyeCheck->isChecked());
    runSteps("0,0,1", 3000);

    auto staleSquares = [&] {
        int stale = 0;
        const qm::EyeMapping m = eye().mapping();
        for (int32_t y = -40; y <= 40; ++y)
            for (int32_t x = -40; x <= 40; ++x)
                if (!storedColour(peer(), x, y) && atSquare(x, y) != background()) {
                    EXPECT_EQ(eyeImage().pixel(int(m.column(x)), int(m.row(y))), qm::toArgb(qm::Black));
                    ++stale;
                }
        return stale;
    };
    EXPECT_GT(staleSquares(), 0);
    click(ui().eye.redrawEyeButton);
    EXPECT_EQ(staleSquares(), 0);
}

// ------------------------------------------------------------------------------------------
// Full repaint after runs in every mode

struct EyeModeCase {
    const char* name;
    std::function<void(SettingsDialog&)> choose;
};

class EyeRepaintModes : public EyeWindowTest, public ::testing::WithParamInterface<EyeModeCase> {};

TEST_P(EyeRepaintModes, RepaintAgreesWithTheGridTheStoresAndTheRunsOwnUpdates) {
    openWindow();
    GetParam().choose(*about);
    showEye();
    setDrawCenter(false);
    click(ui().eye.updateWhiteInEyeCheck);  // "Update 'white' too": the run's own picture is then complete
    redrawAtScale(1, 1, 1);
    // Three ants near the origin, one far outside the fast grid: its squares go to the store.
    const int32_t outside = about->halfSize() + 100;
    runSteps(QStringLiteral("0,0,1\n10,10,2\n-7,3,T\n%1,0,1").arg(outside), 3000);
    ASSERT_TRUE(peer().world().storeIndexed || peer().world().storeBW || peer().world().storeMulti);

    // Scale 1: the square by square picture of the run equals the full repaint, and every
    // pixel shows its one square.
    const QImage duringRun = eyeImage().copy();
    click(ui().eye.redrawEyeButton);
    EXPECT_EQ(eyeImage(), duringRun);
    const qm::EyeMapping one = eye().mapping();
    int painted = 0;
    for (int py = 0; py < 110; ++py)
        for (int px = 0; px < 110; ++px) {
            const int32_t x = px - one.centreX, y = one.originY - py;
            const std::optional<QRgb> stored = storedColour(peer(), x, y);
            painted += stored.has_value();
            ASSERT_EQ(at(px, py), stored.value_or(background())) << "square " << x << "," << y;
        }
    EXPECT_GT(painted, 50);

    // Scale 5: a pixel shows one of the painted squares of its 5 x 5 block (2s - 1 wide through
    // the centre), or the background when the block holds none.
    redrawAtScale(1, 1, 5);
    auto block = [](int64_t q) {  // squares whose quotient by 5 is q
        return q == 0 ? std::pair<int32_t, int32_t>{-4, 4}
                      : q > 0 ? std::pair<int32_t, int32_t>(int32_t(q * 5), int32_t(q * 5 + 4))
                              : std::pair<int32_t, int32_t>(int32_t(q * 5 - 4), int32_t(q * 5));
    };
    for (int py = 40; py < 70; ++py)
        for (int px = 40; px < 70; ++px) {
            std::set<QRgb> colours;
            const auto [x0, x1] = block(px - 55);
            const auto [y0, y1] = block(55 - py);
            for (int32_t x = x0; x <= x1; ++x)
                for (int32_t y = y0; y <= y1; ++y)
                    if (const auto c = storedColour(peer(), x, y)) colours.insert(*c);
            if (colours.empty()) EXPECT_EQ(at(px, py), background()) << px << "," << py;
            else EXPECT_TRUE(colours.count(at(px, py))) << px << "," << py;
        }

    // Scale 60: the far ant's store elements, each pixel in the colour of the last element on it.
    redrawAtScale(1, 12, 5);
    const qm::EyeMapping sixty = eye().mapping();
    std::map<std::pair<int64_t, int64_t>, QRgb> lastOnPixel;
    int elements = 0;
    for (int32_t x = outside - 60; x <= outside + 60; ++x)
        for (int32_t y = -60; y <= 60; ++y)
            if (const auto c = storedColour(peer(), x, y)) {
                lastOnPixel[{sixty.column(x), sixty.row(y)}] = *c;  // stores are sorted by X, then Y
                ++elements;
            }
    EXPECT_GT(elements, 20);
    for (const auto& [pixel, colour] : lastOnPixel) EXPECT_EQ(at(int(pixel.first), int(pixel.second)), colour);
}

INSTANTIATE_TEST_SUITE_P(
    EveryMode, EyeRepaintModes,
    ::testing::Values(EyeModeCase{"indexed255", [](SettingsDialog&) {}},
                      EyeModeCase{"indexed15", [](SettingsDialog& a) { a.ants15Radio->click(); }},
                      EyeModeCase{"indexed65535", [](SettingsDialog& a) { a.ants65535Radio->click(); }},
                      EyeModeCase{"blackWhite", [](SettingsDialog& a) { a.antsManyRadio->click(); }},
                      EyeModeCase{"generalized", [](SettingsDialog& a) { a.generalizedRadio->click(); }}),
    [](const ::testing::TestParamInfo<EyeModeCase>& info) { return std::string(info.param.name); });

// ------------------------------------------------------------------------------------------
// Black-and-white sampling at scales of 16 and more

class EyeSamplingTest : public EyeWindowTest {
protected:
    // An empty black-and-white grid with the bounding box -extent..extent on both axes.
    void prepareEmptyGrid(int32_t extent = 100) {
        openWindow();
        about->antsManyRadio->click();
        showEye();
        setDrawCenter(false);
        runSteps("0,0,1", 1);
        qm::World& w = peer().world();
        std::memset(w.grid.cells, 0, size_t(w.grid.byteSize));
        w.counters.minX = w.counters.minY = -extent;
        w.counters.maxX = w.counters.maxY = extent;
        r = w.grid.halfSize;
    }
    void setBlack(int32_t x, int32_t y) {
        qm::FastGrid& g = peer().world().grid;
        g.cells[g.bitByte(x, y)] |= qm::FastGrid::bitMask(x, g.halfSize);
    }
    // The columns that share x's byte of eight squares.
    std::pair<int32_t, int32_t> byteColumns(int32_t x) const {
        const int32_t first = ((x + r) & ~7) - r;
        return {first, first + 7};
    }
    int32_t r = 0;
};

TEST_F(EyeSamplingTest, TestsTheByteOfTheRowAboveAndSkipsARowAfterEveryEmptyRun) {
    prepareEmptyGrid();
    // Scale 16: every column from xlo = -101, runs of 8 tests. In an empty column the rows
    // tested start at -100 and every ninth row, -92 + 9k, is skipped.
    setBlack(0, 0);    // tested as row b + 1 with b = -1: the pixel of (x, -1), row 55
    setBlack(60, 32);  // tested with b = 31: the pixel of (x, 31), row 54, where 32 maps to 53
    setBlack(-60, 7);  // row 7 = -92 + 99 is never tested: it does not show
    // A hit starts a new run: after the hit in row 0 the skipped rows become 9, 18, 27, 36, so
    // row 35 is tested (without the new run it would be skipped).
    setBlack(0, 35);
    redrawAtScale(1, 1, 16);

    EXPECT_EQ(at(55, 55), qm::toArgb(qm::Black));
    EXPECT_EQ(at(55 + 60 / 16, 54), qm::toArgb(qm::Black));
    EXPECT_EQ(at(55 + 60 / 16, 53), background());
    EXPECT_EQ(at(55 - 60 / 16, 55 - 7 / 16), background());
    // Every column of a byte reports its square; nothing else shows.
    std::set<int> columnsOf60;
    for (int32_t x = byteColumns(60).first; x <= byteColumns(60).second; ++x) columnsOf60.insert(55 + x / 16);
    EXPECT_EQ(at(55, 55 - 34 / 16), qm::toArgb(qm::Black));
    EXPECT_EQ(pixelsOtherThan(background()), 2 + int(columnsOf60.size()));
}

TEST_F(EyeSamplingTest, CoarseScalesVisitOnlyEveryFewColumns) {
    prepareEmptyGrid(2000);
    // Scale 768: column step 64 from xlo = -2001; row 0 is tested (runs of 512 from row -2000).
    // A square whose byte holds a visited column shows; one whose byte holds none does not.
    auto visited = [](int32_t x) { return (x + 2001) % 64 == 0; };
    ASSERT_TRUE(visited(1007));
    setBlack(1007, 0);
    bool anyVisited = false;
    for (int32_t x = byteColumns(-1000).first; x <= byteColumns(-1000).second; ++x) anyVisited |= visited(x);
    ASSERT_FALSE(anyVisited);
    setBlack(-1000, 0);
    redrawAtScale(1, 4, 192);
    ASSERT_EQ(eye().eyeScale, 768);

    EXPECT_EQ(at(55 + 1007 / 768, 55), qm::toArgb(qm::Black));
    EXPECT_EQ(at(55 - 1000 / 768, 55), background());
    EXPECT_EQ(pixelsOtherThan(background()), 1);
}

// ------------------------------------------------------------------------------------------
// Markers

TEST_F(EyeWindowTest, ViewCentreMarkerIsACrossInASquareDrawnWithANotXorPen) {
    openWithEye();
    redrawAtScale(1, 1, 5);
    const QRgb marked = markedOver(background());
    EXPECT_EQ(at(51, 55), marked);   // the cross's arms, end points excluded
    EXPECT_EQ(at(58, 55), marked);
    EXPECT_EQ(at(59, 55), background());
    EXPECT_EQ(at(55, 51), marked);
    EXPECT_EQ(at(55, 59), background());
    EXPECT_EQ(at(55, 55), background()) << "both strokes pass the centre";
    for (int corner : {30, 80}) {
        EXPECT_EQ(at(corner, 30), marked);
        EXPECT_EQ(at(corner, 80), marked);
    }
    EXPECT_EQ(pixelsOtherThan(background()), 14 + 4 * 50);

    // "Draw Center" unchecked draws it once more, which removes it; checked draws it again.
    click(ui().eye.drawCentreCheck);
    EXPECT_EQ(pixelsOtherThan(background()), 0);
    click(ui().eye.drawCentreCheck);
    EXPECT_EQ(pixelsOtherThan(background()), 214);
}

TEST_F(EyeWindowTest, WithoutDrawCenterNeitherRepaintsNorNavigationDrawTheMarker) {
    openWithEye();
    setDrawCenter(false);
    click(ui().eye.redrawEyeButton);
    EXPECT_EQ(pixelsOtherThan(background()), 0);
    click(ui().navigation.panRightButton);
    click(ui().navigation.centreButton);
    EXPECT_EQ(pixelsOtherThan(background()), 0);

    // With it, navigation takes the marker away and draws it at the new centre.
    setDrawCenter(true);
    ui().navigation.moveStepEdit->setText("50");
    click(ui().navigation.panLeftButton);  // "<<"
    const qm::EyeMapping m = eye().mapping();
    const int px = int(m.column(-peer().mainView().viewOffsetX)), py = int(m.row(-peer().mainView().viewOffsetY));
    EXPECT_NE(px, 55);
    EXPECT_EQ(at(px - 4, py), markedOver(background()));
    EXPECT_EQ(at(51, 55), background());
    EXPECT_EQ(pixelsOtherThan(background()), 214);
}

// ------------------------------------------------------------------------------------------
// Re-centring the main view

TEST_F(EyeWindowTest, ClickWithoutMovingCentresTheMainViewOnTheSquareUnderTheMouse) {
    openWithEye();
    click(ui().eye.redrawEyeButton);
    QTest::mouseClick(ui().eye.eyeSurface, Qt::LeftButton, {}, QPoint(70, 40));

    // (70 - 55) x 5 and (110 - 55 - 40) x 5.
    EXPECT_EQ(peer().mainView().viewOffsetX, -75);
    EXPECT_EQ(peer().mainView().viewOffsetY, -75);
    EXPECT_EQ(ui().navigation.moveXValue->text(), "75");
    EXPECT_EQ(ui().navigation.moveYValue->text(), "75");
    EXPECT_EQ(eye().dragX, EyeWindow::NoDrag);
    // The view-centre marker moved to the clicked pixel; the drag marker is gone.
    EXPECT_EQ(at(66, 40), markedOver(background()));
    EXPECT_EQ(at(51, 55), background());
    EXPECT_EQ(pixelsOtherThan(background()), 214);
}

TEST_F(EyeWindowTest, DragShowsTheSquareUnderTheMouseAndCentresOnRelease) {
    openWithEye();
    click(ui().eye.redrawEyeButton);
    QTest::mousePress(ui().eye.eyeSurface, Qt::LeftButton, {}, QPoint(55, 55));
    EXPECT_EQ(pixelsOtherThan(background()), 214) << "the centre marker gave way to the drag marker";
    QTest::mouseMove(ui().eye.eyeSurface, QPoint(45, 65));
    EXPECT_EQ(ui().navigation.moveXValue->text(), "-50");
    EXPECT_EQ(ui().navigation.moveYValue->text(), "-50");
    EXPECT_EQ(eye().dragX, -50);
    EXPECT_EQ(at(41, 65), markedOver(background()));
    EXPECT_EQ(peer().mainView().viewOffsetX, 0) << "the view moves on release only";
    QTest::mouseRelease(ui().eye.eyeSurface, Qt::LeftButton, {}, QPoint(45, 65));

    EXPECT_EQ(peer().mainView().viewOffsetX, 50);
    EXPECT_EQ(peer().mainView().viewOffsetY, 50);
    EXPECT_EQ(at(41, 65), markedOver(background()));
    EXPECT_EQ(pixelsOtherThan(background()), 214);
}

TEST_F(EyeWindowTest, RightButtonNeitherDragsNorCentres) {
    openWithEye();
    click(ui().eye.redrawEyeButton);
    const QImage before = eyeImage().copy();
    QTest::mousePress(ui().eye.eyeSurface, Qt::RightButton, {}, QPoint(20, 20));
    QTest::mouseMove(ui().eye.eyeSurface, QPoint(90, 90));
    QTest::mouseRelease(ui().eye.eyeSurface, Qt::RightButton, {}, QPoint(90, 90));

    EXPECT_EQ(eye().dragX, EyeWindow::NoDrag);
    EXPECT_EQ(peer().mainView().viewOffsetX, 0);
    EXPECT_EQ(peer().mainView().viewOffsetY, 0);
    EXPECT_EQ(ui().navigation.moveXValue->text(), "0");
    EXPECT_EQ(ui().navigation.moveYValue->text(), "0");
    EXPECT_EQ(eyeImage(), before);
}

TEST_F(EyeWindowTest, DragAtThirtyMillionSquaresPerPixelKeepsTheProgramUsable) {
    openWithEye();
    redrawAtScale(800, 150, 250);
    ASSERT_EQ(eye().eyeScale, 30000000);
    EXPECT_EQ(ui().eye.eyeZoomLabel->text(), "Zoom: 30000000x");

    // Dragged beyond the eye: the squares lie outside 32 bits and are clamped.
    QTest::mousePress(ui().eye.eyeSurface, Qt::LeftButton, {}, QPoint(55, 55));
    QTest::mouseMove(ui().eye.eyeSurface, QPoint(200, -100));
    EXPECT_EQ(ui().navigation.moveXValue->text(), "2147483647");
    EXPECT_EQ(ui().navigation.moveYValue->text(), "2147483647");
    QTest::mouseRelease(ui().eye.eyeSurface, Qt::LeftButton, {}, QPoint(200, -100));
    EXPECT_EQ(peer().mainView().viewOffsetX, -2147483647);
    EXPECT_EQ(peer().mainView().viewOffsetY, -2147483647);

    QTest::mousePress(ui().eye.eyeSurface, Qt::LeftButton, {}, QPoint(55, 55));
    QTest::mouseMove(ui().eye.eyeSurface, QPoint(-100, 300));
    QTest::mouseRelease(ui().eye.eyeSurface, Qt::LeftButton, {}, QPoint(-100, 300));
    EXPECT_EQ(ui().navigation.moveXValue->text(), "-2147483647");
    EXPECT_EQ(ui().navigation.moveYValue->text(), "-2147483647");
    EXPECT_EQ(peer().mainView().viewOffsetX, 2147483647);
    EXPECT_EQ(peer().mainView().viewOffsetY, 2147483647);

    // An ordinary click at this scale, then a run and navigation still work.
    QTest::mouseClick(ui().eye.eyeSurface, Qt::LeftButton, {}, QPoint(56, 54));
    EXPECT_EQ(peer().mainView().viewOffsetX, -30000000);
    EXPECT_EQ(peer().mainView().viewOffsetY, -30000000);
    runSteps("0,0,1", 500);
    EXPECT_EQ(peer().world().counters.stepCount, 500);
    click(ui().navigation.centreButton);
    EXPECT_EQ(peer().mainView().viewOffsetX, 0);
    click(ui().eye.redrawEyeButton);
    EXPECT_EQ(at(55, 55), qm::toArgb(qm::Black)) << "the run's squares near the origin";
}

// ------------------------------------------------------------------------------------------
// The run mark

TEST_F(EyeWindowTest, ChangedMarkShowsFromARunUntilRedrawEyeWhileIdle) {
    openWindow();
    EXPECT_TRUE(ui().eye.eyeChangedLabel->isHidden());
    EXPECT_EQ(ui().eye.eyeChangedLabel->text(), "Changed  ");
    bool shownDuringRun = false;
    duringRun([&] {
        click(ui().navigation.eyeShowHideButton);
        shownDuringRun = !ui().eye.eyeChangedLabel->isHidden();
        click(ui().control.startButton);
    });
    setMaxSteps(20000000);
    clickStart();
    EXPECT_TRUE(shownDuringRun);
    EXPECT_FALSE(ui().eye.eyeChangedLabel->isHidden()) << "stays after the run";
    click(ui().eye.redrawEyeButton);
    EXPECT_TRUE(ui().eye.eyeChangedLabel->isHidden());
}
