// The eye's move target: table lookups (or, at coarse scales, the computed mapping) must put every
// move on the pixel the plain mapping gives (column cx + X / s, row oy - Y / s, toward zero), or
// nowhere when that pixel is off the image; painted, cleared and kept moves write what they should,
// also when a replay thread draws them.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "core/StepLoopBodies.h"
#include "display/Colours.h"
#include "display/EyeMoveTarget.h"
#include "display/MoveReplay.h"

using namespace qm;

namespace {

constexpr int64_t kWidth = 110;
constexpr int64_t kHeight = 97;
constexpr int64_t kPixelsPerLine = 113;  // rows padded: a line is not the width

// A buffer with the spare column and row the tables need, or without (the computed way).
struct Image {
    bool spareEdge = true;
    std::vector<uint32_t> pixels = std::vector<uint32_t>(kPixelsPerLine * (kHeight + 1), 0u);
    EyeMoveGeometry geometry(int32_t scale, int32_t cx, int32_t oy) {
        return {scale, cx, oy, reinterpret_cast<uint8_t*>(pixels.data()), kPixelsPerLine * 4, kWidth, kHeight, spareEdge};
    }
    // The pixels that show: the spare edge may hold anything.
    std::vector<uint32_t> shown() const {
        std::vector<uint32_t> v;
        for (int64_t y = 0; y < kHeight; ++y)
            v.insert(v.end(), pixels.begin() + y * kPixelsPerLine, pixels.begin() + y * kPixelsPerLine + kWidth);
        return v;
    }
};

bool onSpareEdge(uint64_t offset) {
    const uint64_t column = offset % (kPixelsPerLine * 4) / 4, row = offset / (kPixelsPerLine * 4);
    return offset % 4 == 0 && ((column == kWidth && row <= kHeight) || (row == kHeight && column <= kWidth));
}

// The plain mapping's pixel index, or -1 off the image.
int64_t plainPixel(int32_t scale, int32_t cx, int32_t oy, AntPos p) {
    const int64_t column = int64_t{cx} + p.x / scale;
    const int64_t row = int64_t{oy} - p.y / scale;
    if (column < 0 || column >= kWidth || row < 0 || row >= kHeight) return -1;
    return row * kPixelsPerLine + column;
}

// Squares near the image's edges, near the centre's quotient boundaries, and anywhere at all.
AntPos someSquare(std::mt19937& random, int32_t scale, int32_t cx, int32_t oy) {
    auto near = [&](int64_t pixel) {
        const int64_t v = pixel * scale + static_cast<int64_t>(random() % 3) - 1;
        return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
    };
    const int32_t x = random() % 5 == 0 ? static_cast<int32_t>(random()) : near(int64_t(random() % 170) - 30 - cx);
    const int32_t y = random() % 5 == 0 ? static_cast<int32_t>(random()) : near(oy - (int64_t(random() % 160) - 30));
    return {x, y};
}

const std::vector<std::pair<int32_t, int32_t>> kCentres = {{55, 48}, {0, 0}, {110, 97}, {-40, 200}, {300, -5}};

std::vector<int32_t> someScales() {
    std::vector<int32_t> scales = {1, 2, 3, 5, 16, 595, 596, 1041, 65536, 1 << 30, INT32_MAX};
    std::mt19937 random(5);
    for (int i = 0; i < 60; ++i) scales.push_back(static_cast<int32_t>(1 + random() % 3000));
    return scales;
}

}  // namespace

TEST(EyeMoveTarget, EveryMoveLandsWhereTheMappingPutsIt) {
    std::mt19937 random(11);
    bool sawTables = false, sawComputed = false;
    for (const bool spareEdge : {true, false}) {
        Image image;
        image.spareEdge = spareEdge;
        EyeMoveTarget target;
        for (int32_t scale : someScales()) {
            for (const auto& [cx, oy] : kCentres) {
                target.rebuild(image.geometry(scale, cx, oy), 0, true);
                (target.usesTables() ? sawTables : sawComputed) = true;
                if (!spareEdge) {
                    ASSERT_FALSE(target.usesTables()) << "the tables need the spare edge";
                }
                for (int i = 0; i < 400; ++i) {
                    const AntPos p = someSquare(random, scale, cx, oy);
                    const int64_t expected = plainPixel(scale, cx, oy, p);
                    const uint64_t offset = target.offsetOf(p);
                    if (expected >= 0) {
                        ASSERT_EQ(offset, static_cast<uint64_t>(expected) * 4) << p.x << ", " << p.y << " at " << scale;
                    } else if (target.usesTables()) {
                        ASSERT_TRUE(onSpareEdge(offset)) << p.x << ", " << p.y << " at scale " << scale;
                    } else {
                        ASSERT_GE(offset, EyeMoveTarget::Off) << p.x << ", " << p.y << " at scale " << scale;
                    }
                }
            }
        }
    }
    EXPECT_TRUE(sawTables);
    EXPECT_TRUE(sawComputed) << "coarse scales compute the pixel";
}

// Painted moves take their colour, cleared ones the background or, when kept, nothing; nothing
// off the image is touched. Every way of plotting, the painters' kept tables too, against a model
// of the image.
TEST(EyeMoveTarget, PaintedClearedAndKeptMovesWriteWhatTheyShould) {
    std::mt19937 random(23);
    constexpr uint32_t background = 0xFF102030u;
    for (int32_t scale : {1, 3, 5, 1041, 1 << 30}) {
        for (const bool keep : {true, false}) {
            for (const auto& [cx, oy] : kCentres) {
                Image image;
                image.spareEdge = scale != 3;
                std::vector<uint32_t> model = image.shown();
                EyeMoveTarget target;
                target.rebuild(image.geometry(scale, cx, oy), background, keep);
                for (int i = 0; i < 3000; ++i) {
                    const AntPos p = someSquare(random, scale, cx, oy);
                    const uint32_t colour = 0xFF000000u | (random() & 0xFFFFFFu);
                    const auto cleared = static_cast<uint8_t>(random() & 1);
                    if (target.usesTables() && keep && i % 5 == 4) target.keptSquareTables().plot(p, colour, cleared);
                    else if (target.usesTables() && keep && i % 3 == 2) target.plotKeptByTables(p, colour, cleared);
                    else if (target.usesTables() && (i & 1)) target.plotByTables(p, colour, cleared);
                    else target.plot(p, colour, cleared);
                    const int64_t at = plainPixel(scale, cx, oy, p);
                    if (at >= 0 && !(cleared && keep))
                        model[static_cast<size_t>(at / kPixelsPerLine * kWidth + at % kPixelsPerLine)] =
                            cleared ? background : colour;
                }
                ASSERT_EQ(image.shown(), model) << "scale " << scale << ", keep " << keep << ", centre " << cx << ", " << oy;
            }
        }
    }
}

// A target rebuilt for an image that moved (a resize) draws into the new one only.
TEST(EyeMoveTarget, RebuiltTargetDrawsIntoTheNewImage) {
    Image first, second;
    EyeMoveTarget target;
    target.rebuild(first.geometry(1, 55, 48), 0, true);
    target.plot({0, 0}, 0xFF00FF00u, 0);
    target.rebuild(second.geometry(1, 55, 48), 0, true);
    target.plot({1, 0}, 0xFFFF0000u, 0);
    EXPECT_TRUE(target.usesTables());
    EXPECT_EQ(first.pixels[48 * kPixelsPerLine + 55], 0xFF00FF00u);
    EXPECT_EQ(first.pixels[48 * kPixelsPerLine + 56], 0u);
    EXPECT_EQ(second.pixels[48 * kPixelsPerLine + 56], 0xFFFF0000u);
    EXPECT_EQ(second.pixels[48 * kPixelsPerLine + 55], 0u);
}

// Without pixels every move goes nowhere.
TEST(EyeMoveTarget, WithoutAnImageNothingIsDrawn) {
    EyeMoveTarget target;
    for (const AntPos p : {AntPos{0, 0}, AntPos{INT32_MIN, INT32_MAX}, AntPos{5, -5}}) {
        EXPECT_GE(target.offsetOf(p), EyeMoveTarget::Off);
        target.plot(p, 0xFFFFFFFFu, 0);  // must not crash: the scratch pixel takes it
    }
}

// The replay thread draws the moves a loop hands over as drawing each move at once does: the
// marks and the kept eye pixels, across rows of steps, a ring that wraps around many times,
// hand-overs in the middle of a step and sessions begun anew at step tops and mid-step.
TEST(EyeMoveTarget, ReplayedMovesDrawWhatDrawingThemAtOnceDraws) {
    std::mt19937 random(31);
    constexpr int32_t scale = 3, cx = 55, oy = 48;
    for (const int32_t antCount : {1, 5, 70, 300}) {
        Image direct, replayed;
        EyeMoveTarget directEye, replayedEye;
        directEye.rebuild(direct.geometry(scale, cx, oy), 0, true);
        replayedEye.rebuild(replayed.geometry(scale, cx, oy), 0, true);
        ASSERT_TRUE(directEye.usesTables());
        constexpr uint32_t columns = 150, rows = 130;
        std::vector<uint64_t> directWords(columns * 3, 0), replayedWords(columns * 3, 0);
        auto marksOf = [&](std::vector<uint64_t>& words) {
            return SquareMarks{words.data(), static_cast<uint32_t>(-160), static_cast<uint32_t>(-40), columns, rows, 3};
        };
        std::vector<AntPos> positions(static_cast<size_t>(antCount));
        std::vector<uint32_t> words(static_cast<size_t>(antCount));
        for (int32_t k = 0; k < antCount; ++k) {
            positions[static_cast<size_t>(k)] = {static_cast<int32_t>(random() % 400) - 250, static_cast<int32_t>(random() % 200) - 60};
            words[static_cast<size_t>(k)] = (random() & 0xFFFFFFu) | static_cast<uint32_t>(random() % 6) << 24;  // codes 0 and 5 act as 4
        }
        MoveReplay replay(static_cast<uint64_t>(antCount) * 5);  // five rows: wraps every few steps
        auto beginSession = [&](int32_t nextAnt) {
            MoveReplay::Session session{antCount, nextAnt, positions.data(), words.data(), marksOf(replayedWords),
                                        replayedEye.keptSquareTables()};
            return replay.begin(session);
        };
        uint8_t* row = beginSession(0);
        for (int step = 0; step < 60; ++step) {
            for (int32_t ant = 0; ant < antCount; ++ant) {
                if (random() % 97 == 0) {
                    replay.catchUp();
                    ASSERT_EQ(replay.nextAnt(), ant);
                    if (random() & 1) row = beginSession(ant);
                }
                const auto turn = static_cast<int32_t>(random() & 1);
                AntPos& at = positions[static_cast<size_t>(ant)];
                marksOf(directWords).mark<false>(at);
                directEye.keptSquareTables().plot(at, toArgb(colourOf(words[static_cast<size_t>(ant)])), static_cast<uint8_t>(turn));
                row[ant] = static_cast<uint8_t>(turn);
                const uint8_t code = static_cast<uint8_t>(words[static_cast<size_t>(ant)] >> 24);
                words[static_cast<size_t>(ant)] = colourOf(words[static_cast<size_t>(ant)]) | uint32_t{steps::kLangton.turn[code][turn]} << 24;
                at.x += steps::kLangton.moveX[code][turn];
                at.y += steps::kLangton.moveY[code][turn];
            }
            row = replay.nextRow();
            if (random() % 7 == 0) row = beginSession(0);
        }
        replay.catchUp();
        EXPECT_EQ(replayed.shown(), direct.shown()) << antCount << " ants";
        EXPECT_EQ(replayedWords, directWords) << antCount << " ants";
        if (antCount >= 5) {
            EXPECT_NE(std::count(directWords.begin(), directWords.end(), 0u), static_cast<long>(directWords.size()));
        }
    }
}
