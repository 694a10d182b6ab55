// The per-move painters keep where they draw between moves: whatever moves the pixels or the
// mapping in the meantime (a resize, a navigation, a copy of the picture, a new eye size or
// background) must reach the next move. And the eye's per-move drawing in indexed and
// black-and-white runs leaves what a full repaint of the eye draws.

#include <functional>
#include <random>
#include <string>
#include <utility>

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QSlider>

#include "ViewTestSupport.h"
#include "gui/view/EyeWindow.h"
#include "gui/view/FrameObservers.h"
#include "gui/view/SquarePainters.h"

using namespace viewtest;

namespace {

// The extent the repaints take as painted, as the main view holds it after a run.
struct Extent {
    int64_t minX, maxX, minY, maxY;
    bool covers(const Extent& o) const { return minX <= o.minX && maxX >= o.maxX && minY <= o.minY && maxY >= o.maxY; }
    std::string text() const {
        return "x " + std::to_string(minX) + ".." + std::to_string(maxX) + ", y " + std::to_string(minY) + ".." +
               std::to_string(maxY);
    }
};
Extent visitedExtent(const MainView& v) { return {v.visitedMinX, v.visitedMaxX, v.visitedMinY, v.visitedMaxY}; }

constexpr qm::ColourRef Red = 0x0000FF;  // red in the low byte
constexpr uint32_t RedArgb = 0xFFFF0000u;
constexpr qm::ColourRef Green = 0x00FF00;
constexpr uint32_t GreenArgb = 0xFF00FF00u;

class PainterTargetTest : public ViewTest {
protected:
    void openAtSizeTwo() {
        openWindow();
        selectDisplayMode(StatePanel::HideNumbers);
        selectSize("2");
    }
    // The pixel the top left of square (x, y) lands on at size 2 and view offset 0, 0.
    int columnOf(int32_t x) const { return peer().mainView().viewCentreX + 2 * x - 1; }
    int rowOf(int32_t y) const { return ui().view.viewSurface->height() - peer().mainView().viewCentreY - 2 * y - 1; }
};

TEST_F(PainterTargetTest, ResizeBetweenMovesPaintsIntoTheNewImage) {
    openAtSizeTwo();
    placeAnt(0, 0, Red);
    callPaintHook();  // the painter now holds the pixels of the design size
    // The image follows the surface at once, the repaint comes later from the event loop. One
    // pixel wider and one lower keeps the view centre: only the image tells the painter.
    ui().view.viewSurface->resize(ViewWidth + 1, ViewHeight - 1);
    ASSERT_EQ(image().size(), QSize(ViewWidth + 1, ViewHeight - 1));
    peer().mainView().updateViewCentre();
    ASSERT_EQ(peer().mainView().viewCentreX, 298);
    ASSERT_EQ(peer().mainView().viewCentreY, 220);

    placeAnt(3, 2, Green);
    callPaintHook();
    EXPECT_EQ(pixel(columnOf(3), rowOf(2)), GreenArgb);
    EXPECT_EQ(pixel(columnOf(3) + 1, rowOf(2) + 1), GreenArgb);
}

TEST_F(PainterTargetTest, ViewMovedBetweenMovesPaintsWhereTheNewOffsetSays) {
    openAtSizeTwo();
    placeAnt(0, 0, Red);
    callPaintHook();
    // As a navigation command sets it, without touching the image: square (10, -5) is now at
    // the view centre.
    peer().mainView().viewOffsetX = -10;
    peer().mainView().viewOffsetY = 5;
    placeAnt(10, -5, Green);
    callPaintHook();
    EXPECT_EQ(pixel(columnOf(0), rowOf(0)), GreenArgb);
}

TEST_F(PainterTargetTest, CopyOfThePictureTakenBetweenMovesKeepsItsPixels) {
    openAtSizeTwo();
    placeAnt(0, 0, Red);
    callPaintHook();
    const QImage before = image();  // shares the pixels until one side writes
    placeAnt(4, 4, Green);
    callPaintHook();
    EXPECT_EQ(pixel(columnOf(4), rowOf(4)), GreenArgb);
    EXPECT_EQ(before.pixel(columnOf(4), rowOf(4)), background());
    EXPECT_EQ(before.pixel(columnOf(0), rowOf(0)), RedArgb);
}

// The painters' fast fill, which tests squares against precomputed ranges, against the plain
// clipped fill, for views anywhere in the 32-bit range and squares on, across and off the edges.
template <int Size>
void expectFastFillMatchesPlainFill(MainView& view, std::mt19937& random) {
    view.squareSize = Size;
    view.halfSquare = Size / 2;
    const int32_t offsets[] = {0, 7, -13, 1000, INT32_MAX, INT32_MIN, INT32_MAX / Size, INT32_MIN / Size};
    for (int round = 0; round < 40; ++round) {
        QImage fast(37 + round % 5, 29 + round % 3, QImage::Format_RGB32);
        fast.fill(0xFF000000u);
        QImage plain = fast.copy();
        view.viewOffsetX = offsets[random() % std::size(offsets)];
        view.viewOffsetY = offsets[random() % std::size(offsets)];
        view.viewCentreX = static_cast<int32_t>(random() % 60) - 10;
        view.viewCentreY = static_cast<int32_t>(random() % 50) - 10;
        const qm::PixelTarget fastTarget(fast, view);
        const qm::PixelTarget plainTarget(plain, view);
        for (int i = 0; i < 400; ++i) {
            // Squares around the view's centre square (-offset) and anywhere at all.
            const int64_t cx = -int64_t{view.viewOffsetX} + static_cast<int64_t>(random() % 40) - 20;
            const int64_t cy = -int64_t{view.viewOffsetY} + static_cast<int64_t>(random() % 40) - 20;
            const auto x = static_cast<int32_t>(i % 4 == 0 ? static_cast<int64_t>(static_cast<int32_t>(random()))
                                                           : std::clamp<int64_t>(cx, INT32_MIN, INT32_MAX));
            const auto y = static_cast<int32_t>(i % 4 == 1 ? static_cast<int64_t>(static_cast<int32_t>(random()))
                                                           : std::clamp<int64_t>(cy, INT32_MIN, INT32_MAX));
            const uint32_t argb = 0xFF000000u | (random() & 0xFFFFFFu);
            fastTarget.fillFixed<Size>(x, y, argb);
            plainTarget.fill(x, y, argb);
        }
        ASSERT_EQ(fast, plain) << "size " << Size << ", offset " << view.viewOffsetX << ", " << view.viewOffsetY
                               << ", centre " << view.viewCentreX << ", " << view.viewCentreY;
    }
}

TEST_F(PainterTargetTest, FastFillDrawsWhatThePlainFillDraws) {
    openWindow();
    std::mt19937 random(17);
    MainView& view = peer().mainView();
    expectFastFillMatchesPlainFill<1>(view, random);
    expectFastFillMatchesPlainFill<2>(view, random);
    expectFastFillMatchesPlainFill<4>(view, random);
    expectFastFillMatchesPlainFill<6>(view, random);
    expectFastFillMatchesPlainFill<8>(view, random);
}

// Real runs in every mode, square size and display mode, with the eye hidden and shown, leave
// the view and the eye as the per-move hooks leave them, cleared squares' white included: the
// loop instances that inline the painters draw what the plain painters draw.
TEST_F(PainterTargetTest, InlinedPaintersDrawWhatTheHooksDraw) {
    openWindow();
    struct ModeCase {
        std::function<void()> choose;
        QString manyAnts;  // one of them crosses the view's right edge at size 2
        QString loneAnt;   // a lone ant has loop instances of its own
    };
    const QString langtonAnts = QStringLiteral("0,0,1,0000FF\n9,4,2,00FF00\n-6,-8,3,FF0000\n146,3,1,FF00FF");
    const QString langtonLone = QStringLiteral("3,-2,2,00AAFF");
    const ModeCase modes[] = {
        {[this] { about->ants15Radio->click(); }, langtonAnts, langtonLone},
        {[this] { about->ants255Radio->click(); }, langtonAnts, langtonLone},
        {[this] { about->ants65535Radio->click(); }, langtonAnts, langtonLone},
        {[this] { about->antsManyRadio->click(); }, langtonAnts, langtonLone},
        {[this] { about->generalizedRadio->click(); }, QStringLiteral("0,0,1\n3,3,2,0x5\n-4,2,3\n146,3,4,1"),
         QStringLiteral("3,-2,2,BX0110")},
    };
    QComboBox& sizes = *ui().visualisation.squareSizeCombo;
    // The extent the repaints take as painted: the hooks note every painted square; the inlined
    // Langton painters may add the counters' box and the ants' start squares, nothing else.
    Extent extent[2];  // inlined, plain
    auto extentOf = [&](bool inlined) { extent[inlined ? 0 : 1] = visitedExtent(peer().mainView()); };
    auto expectExtentCoversPaintedSquares = [&](const QString& ants) {
        const Extent& in = extent[0];
        const Extent& plain = extent[1];
        EXPECT_TRUE(in.covers(plain)) << in.text() << " / " << plain.text();
        if (peer().world().generalized) {
            EXPECT_TRUE(plain.covers(in)) << in.text() << " / " << plain.text();
            return;
        }
        const qm::RunCounters& c = peer().world().counters;
        Extent allowed{std::min<int64_t>(plain.minX, c.minX), std::max<int64_t>(plain.maxX, c.maxX),
                       std::min<int64_t>(plain.minY, c.minY), std::max<int64_t>(plain.maxY, c.maxY)};
        for (const QString& line : ants.split(QLatin1Char('\n'))) {
            const QStringList parts = line.split(QLatin1Char(','));
            allowed = {std::min<int64_t>(allowed.minX, parts[0].toInt()), std::max<int64_t>(allowed.maxX, parts[0].toInt()),
                       std::min<int64_t>(allowed.minY, parts[1].toInt()), std::max<int64_t>(allowed.maxY, parts[1].toInt())};
        }
        EXPECT_TRUE(allowed.covers(in)) << in.text() << " / " << allowed.text();
    };
    auto runOnce = [&](const QString& ants, bool inlined, QImage& view, QImage& eye) {
        peer().mainView().specialisedLoops = inlined;
        const qm::World& w = peer().world();
        // Without an instance of their own, both runs would take the hooks and prove nothing.
        if (inlined) {
            ASSERT_TRUE(w.hooks.chooseLoop && w.hooks.chooseLoop(w));
        }
        run(ants, 1500);
        ASSERT_TRUE(dialogs.boxes.empty()) << dialogs.boxes[0].text;
        extentOf(inlined);
        view = image().copy();
        eye = std::as_const(*ui().eye.eyeSurface).image().copy();
    };
    for (const ModeCase& mode : modes) {
        mode.choose();
        for (int size = 0; size < sizes.count(); ++size) {
            sizes.setCurrentIndex(size);
            for (int display = 0; display < ui().state.displayModeCombo->count(); ++display) {
                selectDisplayMode(display);
                for (const bool eyeShown : {false, true}) {
                    if (peer().eyeWindow().shown() != eyeShown)
                        QTest::mouseClick(ui().navigation.eyeShowHideButton, Qt::LeftButton);
                    for (const QString& ants : {mode.manyAnts, mode.loneAnt}) {
                        SCOPED_TRACE(testing::Message() << "mode " << (&mode - modes) << ", size item " << size
                                                        << ", display " << display << ", eye " << eyeShown
                                                        << ", ants " << ants.toStdString());
                        QImage inlinedView, inlinedEye, plainView, plainEye;
                        runOnce(ants, true, inlinedView, inlinedEye);
                        runOnce(ants, false, plainView, plainEye);
                        expectSamePicture(inlinedView, plainView);
                        expectSamePicture(inlinedEye, plainEye);
                        expectExtentCoversPaintedSquares(ants);
                    }
                }
            }
        }
    }
    peer().mainView().specialisedLoops = true;
}

// A square reached by a left turn only lies outside the counters' box: the second of two ants
// on one square finds it painted, and a lone ant's sixth move paints one. The extent the inlined
// painters keep for the repaints still holds it, in every direction, for many ants and for the
// lone ant's own loop.
TEST_F(PainterTargetTest, SquaresReachedByLeftTurnsStayInTheRepaintedExtent) {
    openWindow();
    selectSize("2");
    for (const auto& choose : {std::function<void()>([this] { about->ants255Radio->click(); }),
                               std::function<void()>([this] { about->antsManyRadio->click(); })}) {
        choose();
        for (int first = 1; first <= 4; ++first)
            for (int second = 0; second <= 4; ++second) {
                const QString ants = second == 0 ? QStringLiteral("0,0,%1").arg(first)
                                                 : QStringLiteral("0,0,%1\n0,0,%2").arg(first).arg(second);
                Extent extent[2];  // inlined, plain
                for (const bool inlined : {true, false}) {
                    peer().mainView().specialisedLoops = inlined;
                    run(ants, second == 0 ? 6 : 2);
                    extent[inlined ? 0 : 1] = visitedExtent(peer().mainView());
                }
                EXPECT_TRUE(extent[0].covers(extent[1]))
                    << ants.toStdString() << ": " << extent[0].text() << " / " << extent[1].text();
            }
    }
    peer().mainView().specialisedLoops = true;
}

// Ants that start on the corners of the view's squares and just beyond them, where the squares
// are cut by the image's edges at the larger sizes, draw with the inlined painters (which gather
// a step's squares before drawing them) what the per-move hooks draw.
TEST_F(PainterTargetTest, SquaresAtTheViewsEdgesDrawWhatTheHooksDraw) {
    openWindow();
    selectDisplayMode(StatePanel::HideNumbers);
    for (const auto& choose : {std::function<void()>([this] { about->ants65535Radio->click(); }),
                               std::function<void()>([this] { about->antsManyRadio->click(); })}) {
        choose();
        for (const char* size : {"2", "4", "6", "8"}) {
            selectSize(size);
            QImage shape = image().copy();
            const qm::PixelTarget::TouchedSquares touched = qm::PixelTarget(shape, peer().mainView()).touchedSquares();
            ASSERT_GT(touched.columns, 2u);
            ASSERT_GT(touched.rows, 2u);
            const auto first = [](uint32_t v) { return static_cast<int32_t>(v); };
            const int32_t x0 = first(touched.firstX), x1 = first(touched.firstX + touched.columns - 1);
            const int32_t y0 = first(touched.firstY), y1 = first(touched.firstY + touched.rows - 1);
            QString ants;
            int colour = 0x102030;
            for (const int32_t x : {x0 - 1, x0, (x0 + x1) / 2, x1, x1 + 1})
                for (const int32_t y : {y0 - 1, y0, (y0 + y1) / 2, y1, y1 + 1})
                    ants += QStringLiteral("%1,%2,%3,%4\n").arg(x).arg(y).arg(1 + ((x + y) & 3))
                                .arg(colour += 0x071305, 6, 16, QLatin1Char('0'));
            QImage inlined, plain;
            for (const bool inline_ : {true, false}) {
                peer().mainView().specialisedLoops = inline_;
                run(ants, 300);
                ASSERT_TRUE(dialogs.boxes.empty()) << dialogs.boxes[0].text;
                (inline_ ? inlined : plain) = image().copy();
            }
            SCOPED_TRACE(testing::Message() << "size " << size);
            expectSamePicture(inlined, plain);
        }
    }
    peer().mainView().specialisedLoops = true;
}

// Where the view shows the fast grid's corner, the squares beyond it live in the sparse store:
// the inlined painters, which draw a frame's squares from the world, read them there.
TEST_F(PainterTargetTest, SquaresBeyondTheFastGridDrawWhatTheHooksDraw) {
    openWindow();
    selectDisplayMode(StatePanel::HideNumbers);
    const std::pair<const char*, std::function<void()>> modes[] = {
        {"15", [this] { about->ants15Radio->click(); }},
        {"255", [this] { about->ants255Radio->click(); }},
        {"65535", [this] { about->ants65535Radio->click(); }},
        {"bw", [this] { about->antsManyRadio->click(); }}};
    for (const auto& [name, choose] : modes) {
        choose();
        const int32_t r = about->halfSize();
        QString ants;
        for (int k = 0; k < 6; ++k)
            ants += QStringLiteral("%1,%2,%3,%4\n").arg(r - 2 + k).arg(r + 3 - k).arg(1 + k % 4).arg(0x203040 * (k + 1), 6, 16, QLatin1Char('0'));
        for (const char* size : {"2", "6"}) {
            selectSize(size);
            QImage inlined, plain;
            for (const bool inline_ : {true, false}) {
                peer().mainView().specialisedLoops = inline_;
                duringRun([this] { QTest::mouseClick(ui().navigation.centreOnAntButton, Qt::LeftButton); });
                run(ants, 400);
                ASSERT_TRUE(dialogs.boxes.empty()) << dialogs.boxes[0].text;
                const qm::World& w = peer().world();
                ASSERT_GT(w.storeIndexed ? w.storeIndexed->Count() : w.storeBW ? w.storeBW->Count() : 0, 0) << name;
                (inline_ ? inlined : plain) = image().copy();
            }
            SCOPED_TRACE(testing::Message() << "mode " << name << ", size " << size);
            expectSamePicture(inlined, plain);
        }
    }
    peer().mainView().specialisedLoops = true;
}

// The square size and the eye changed during a run (by the frames' own observer, at the same
// steps every time with the hand brake on) take effect from the next step: the instance chosen
// at the start gives way, and the pictures stay those of the per-move hooks.
TEST_F(PainterTargetTest, ChangesDuringARunChooseTheInlinedPaintersAgain) {
    openWindow();
    const std::function<void()> modes[] = {[this] { about->ants255Radio->click(); },
                                           [this] { about->antsManyRadio->click(); },
                                           [this] { about->generalizedRadio->click(); }};
    const QString ants[] = {QStringLiteral("0,0,1,0000FF\n9,4,2,00FF00\n-6,-8,3,FF0000"),
                            QStringLiteral("0,0,1,0000FF\n9,4,2,00FF00\n-6,-8,3,FF0000"),
                            QStringLiteral("0,0,1\n3,3,2,0x5\n-4,2,3")};
    QComboBox& sizes = *ui().visualisation.squareSizeCombo;
    auto runChanging = [&](const QString& text, bool inlined, QImage& view, QImage& eye) {
        peer().mainView().specialisedLoops = inlined;
        sizes.setCurrentIndex(2);
        if (peer().eyeWindow().shown()) QTest::mouseClick(ui().navigation.eyeShowHideButton, Qt::LeftButton);
        int frames = 0;
        const FrameObservers::Id id = peer().frameObservers().add([&] {
            ++frames;
            if (frames % 20 == 5) sizes.setCurrentIndex((sizes.currentIndex() + 1) % sizes.count());
            if (frames % 20 == 15) QTest::mouseClick(ui().navigation.eyeShowHideButton, Qt::LeftButton);
        });
        ui().visualisation.handBrakeSlider->setValue(1);  // every step presented
        run(text, 130);
        ui().visualisation.handBrakeSlider->setValue(0);
        peer().frameObservers().remove(id);
        ASSERT_TRUE(dialogs.boxes.empty()) << dialogs.boxes[0].text;
        ASSERT_GE(frames, 120);
        view = image().copy();
        eye = std::as_const(*ui().eye.eyeSurface).image().copy();
    };
    for (size_t mode = 0; mode < std::size(modes); ++mode) {
        SCOPED_TRACE(testing::Message() << "mode " << mode);
        modes[mode]();
        QImage inlinedView, inlinedEye, plainView, plainEye;
        runChanging(ants[mode], true, inlinedView, inlinedEye);
        runChanging(ants[mode], false, plainView, plainEye);
        expectSamePicture(inlinedView, plainView);
        expectSamePicture(inlinedEye, plainEye);
    }
    peer().mainView().specialisedLoops = true;
}

// With the eye shown, a many-ant run hands its painting to the replay thread, whose sessions
// begin anew at every presented frame. Frames every dozen steps, at size 2 and at item "0",
// leave the pictures of the per-move hooks.
TEST_F(PainterTargetTest, ReplayedMovesAcrossFramesDrawWhatTheHooksDraw) {
    openWindow();
    selectDisplayMode(StatePanel::HideNumbers);
    about->ants65535Radio->click();
    QTest::mouseClick(ui().navigation.eyeShowHideButton, Qt::LeftButton);
    ASSERT_TRUE(peer().eyeWindow().shown());
    MainView& view = peer().mainView();
    view.replaysMoves = true;
    peer().pump().framePeriodMilliseconds = 0;
    std::mt19937 random(7);
    QString ants;
    for (int k = 0; k < 333; ++k)
        ants += QStringLiteral("%1,%2,%3,%4\n").arg(int(random() % 81) - 40).arg(int(random() % 81) - 40)
                    .arg(1 + random() % 4).arg(random() & 0xFFFFFF, 6, 16, QLatin1Char('0'));
    for (const char* size : {"2", "0"}) {
        SCOPED_TRACE(testing::Message() << "size " << size);
        selectSize(size);
        QImage views[2], eyes[2];
        int frames = 0;
        for (const bool inlined : {true, false}) {
            view.specialisedLoops = inlined;
            const uint64_t replayedBefore = view.moveReplay().movesReplayed();
            const FrameObservers::Id id = peer().frameObservers().add([&] { frames += inlined; });
            run(ants, 600);
            peer().frameObservers().remove(id);
            ASSERT_TRUE(dialogs.boxes.empty()) << dialogs.boxes[0].text;
            EXPECT_EQ(view.moveReplay().movesReplayed() - replayedBefore, inlined ? 333u * 600u : 0u);
            views[inlined] = image().copy();
            eyes[inlined] = std::as_const(*ui().eye.eyeSurface).image().copy();
        }
        EXPECT_GE(frames, 20);
        expectSamePicture(views[1], views[0]);
        expectSamePicture(eyes[1], eyes[0]);
    }
    peer().pump().framePeriodMilliseconds = qm::FramePeriodMilliseconds;
    view.specialisedLoops = true;
}

class EyeTargetTest : public ViewTest {
protected:
    EyeWindow& eye() { return peer().eyeWindow(); }
    const QImage& eyeImage() { return std::as_const(*ui().eye.eyeSurface).image(); }
    QRgb atSquare(int32_t x, int32_t y) {
        const qm::EyeMapping m = eye().mapping();
        return eyeImage().pixel(int(m.column(x)), int(m.row(y)));
    }
    void click(QAbstractButton* button) { QTest::mouseClick(button, Qt::LeftButton); }
    // The eye shown at scale 1 (one pixel per square), without the view-centre marker.
    void openWithEyeAtScaleOne() {
        openWindow();
        click(ui().navigation.eyeShowHideButton);
        QCoreApplication::processEvents();  // the eye's first render
        if (ui().eye.drawCentreCheck->isChecked()) click(ui().eye.drawCentreCheck);
        ui().eye.eyeZoomFineSlider->setValue(1);
        ui().eye.eyeZoomMediumSlider->setValue(1);
        ui().eye.eyeZoomCoarseSlider->setValue(1);
        click(ui().eye.redrawEyeButton);
    }
    void standAnt(int32_t x, int32_t y, qm::ColourRef colour) {
        peer().world().counters.currentAnt = 0;
        peer().world().antPos[0] = {x, y};
        peer().world().antColour[0] = qm::makeColourWord(colour, qm::DirXPlus);
    }

    // With "Update 'white' too" every move leaves its square as a full repaint draws it:
    // painted in the colour of the ant that painted it last (black in black-and-white mode),
    // cleared in the eye background, also one chosen after the operations were. The ants run
    // off the eye.
    void expectRunLeavesTheEyeAsARepaintDrawsIt(
        const QString& ants = QStringLiteral("0,0,1,0000FF\n9,4,2,00FF00\n-6,-8,3,FF0000"), int64_t steps = 12000) {
        click(ui().eye.updateWhiteInEyeCheck);
        ASSERT_TRUE(ui().eye.updateWhiteInEyeCheck->isChecked());
        eye().eyeBackground = qm::rgb(10, 20, 30);
        click(ui().eye.redrawEyeButton);

        setEditor(ants);
        setMaxSteps(steps);
        clickStart();
        ASSERT_TRUE(dialogs.boxes.empty()) << dialogs.boxes[0].text;
        const qm::RunCounters& c = peer().world().counters;
        ASSERT_GT(c.maxX - c.minX, eyeImage().width()) << "some moves fall off the eye";

        const QImage painted = eyeImage().copy();
        click(ui().eye.redrawEyeButton);
        expectSamePicture(eyeImage(), painted);
    }
};

TEST_F(EyeTargetTest, ResizedEyeImageBetweenMovesIsDrawnInto) {
    openWithEyeAtScaleOne();
    standAnt(0, 0, Red);
    eye().paintedSquare();  // the operation now holds the pixels of the first size
    const QSize first = eyeImage().size();
    // The image follows the surface at once; the eye's own repaint comes later from the
    // event loop. In a run the resize comes with event processing, which the run counts as a
    // call outside its loop: that count is all the operation learns of it.
    ui().eye.eyeSurface->resize(first.width() + 40, first.height() + 40);
    ASSERT_NE(eyeImage().size(), first);
    ++peer().world().outsideCalls;

    standAnt(7, -3, Green);
    eye().paintedSquare();
    EXPECT_EQ(atSquare(7, -3), GreenArgb);
}

// The eye's image lies in a buffer with a spare column and row, where the painters send the
// moves that draw nothing. Writing to an image that shares its pixels with a copy moves it out of
// that buffer: the moves must still land right, and the next repaint brings the edge back.
TEST_F(EyeTargetTest, MovesLandRightAfterTheImageLeftItsSpareEdge) {
    openWithEyeAtScaleOne();
    ASSERT_TRUE(ui().eye.eyeSurface->spareEdgeIntact());
    EXPECT_EQ(eyeImage().size(), ui().eye.eyeSurface->size()) << "the spare edge never shows";
    const QImage sharing = eyeImage();  // a copy that shares the pixels until one side writes
    ui().eye.eyeSurface->image().setPixel(0, 0, qRgb(1, 2, 3));
    ASSERT_FALSE(ui().eye.eyeSurface->spareEdgeIntact());

    const QImage before = eyeImage().copy();
    standAnt(3, -2, Red);
    callPaintHook();
    standAnt(100000, 5, Green);  // far off the eye
    callPaintHook();
    EXPECT_EQ(atSquare(3, -2), RedArgb);
    QImage expected = before;
    expected.setPixel(int(eye().mapping().column(3)), int(eye().mapping().row(-2)), RedArgb);
    EXPECT_EQ(eyeImage(), expected) << "nothing else changed";

    click(ui().eye.redrawEyeButton);
    EXPECT_TRUE(ui().eye.eyeSurface->spareEdgeIntact());
    standAnt(-4, 6, Green);
    callPaintHook();
    EXPECT_EQ(atSquare(-4, 6), GreenArgb);
}

TEST_F(EyeTargetTest, IndexedRunWithWhiteTooDrawsTheEyeAsARepaint) {
    openWithEyeAtScaleOne();
    expectRunLeavesTheEyeAsARepaintDrawsIt();
}

// A lone ant takes its steps between frames in one pass of the loop; its eye moves are the same.
TEST_F(EyeTargetTest, LoneAntRunWithWhiteTooDrawsTheEyeAsARepaint) {
    openWithEyeAtScaleOne();
    expectRunLeavesTheEyeAsARepaintDrawsIt(QStringLiteral("0,0,3,0000FF"), 30000);
}

// Square size "0" draws nothing in the main view, but its moves reach the eye the same way.
TEST_F(EyeTargetTest, RunWithoutMainViewDrawingDrawsTheEyeAsARepaint) {
    openWithEyeAtScaleOne();
    selectSize("0");
    expectRunLeavesTheEyeAsARepaintDrawsIt();
}

// Generalized squares are painted in their state's colour at every move, as the repaint does.
TEST_F(EyeTargetTest, GeneralizedRunDrawsTheEyeAsARepaint) {
    openWithEyeAtScaleOne();
    about->generalizedRadio->click();
    expectRunLeavesTheEyeAsARepaintDrawsIt(QStringLiteral("0,0,1\n9,4,2\n-6,-8,3"), 12000);
}

TEST_F(EyeTargetTest, BlackAndWhiteRunWithWhiteTooDrawsTheEyeAsARepaint) {
    openWithEyeAtScaleOne();
    about->antsManyRadio->click();
    expectRunLeavesTheEyeAsARepaintDrawsIt();
}

}  // namespace
