// The whole picture and the RLE pattern of a run, read back against the squares the run left in
// the fast grid and the store, in every mode.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <fstream>
#include <sstream>

#include "RleDecoder.h"
#include "TempDir.h"
#include "TestSupport.h"
#include "WorldSquares.h"
#include "core/GridExtent.h"
#include "core/PaintedArea.h"
#include "core/RunSetup.h"
#include "core/RleWriter.h"
#include "core/WholePicture.h"
#include "core/MemoryBudget.h"

using namespace qm;
using namespace qmtest;

namespace {

constexpr uint32_t kBackground = 0xDFEFEF;

struct PictureCase {
    RunMode mode;
    int32_t states;
};

// Ants that start away from the origin (their start squares lie beyond the bounding box), leave
// a grid of half size 12 for the store, and, generalized, turn left on fresh squares.
TestWorld& runWorld(TestWorld& t) {
    t.w.limits.userMaxSteps = 700;
    t.run();
    return t;
}

std::vector<AntSpec> antsFor(RunMode mode) {
    const bool gen = mode == RunMode::Generalized;
    auto dir = [gen](uint8_t code) { return static_cast<uint8_t>(gen ? code - 1 : code); };
    std::vector<AntSpec> ants = {{0, 0, dir(1)}, {9, 11, dir(2)}, {-11, -4, dir(3)}, {12, -12, dir(4)}};
    if (gen) {
        const uint64_t programs[] = {0b010, 0b001, 0b110, 0b010};
        for (std::size_t i = 0; i < ants.size(); ++i) ants[i].program = programs[i];
    }
    return ants;
}

SquareBox expectedArea(const World& w, const Squares& squares) {
    SquareBox area{w.counters.minX, w.counters.maxX, w.counters.minY, w.counters.maxY};
    for (const auto& [square, value] : squares) area.include(square.first, square.second);
    return area;
}

std::array<uint32_t, 65> stateColours() {
    std::array<uint32_t, 65> colours{};
    for (uint32_t i = 0; i < colours.size(); ++i) colours[i] = 0x010203u * (i + 1);
    colours[0] = kBackground;
    return colours;
}

uint32_t expectedColour(const World& w, const std::array<uint32_t, 65>& states, uint32_t value) {
    if (w.mode() == RunMode::BlackWhite) return 0;
    if (w.mode() == RunMode::Generalized) return states[value];
    return colourOf(w.antColour[value]);
}

uint32_t pixelAt(const Picture& p, int64_t px, int64_t py) { return p.colourAt(px, py); }

class Pictures : public ::testing::TestWithParam<PictureCase> {
protected:
    void SetUp() override {
        const PictureCase c = GetParam();
        t = std::make_unique<TestWorld>(c.mode, 12, antsFor(c.mode), true, c.states);
        if (isIndexed(c.mode))  // every ant its own colour
            for (int32_t i = 0; i < t->w.counters.antCount; ++i)
                t->w.antColour[i] = makeColourWord(0x102030u * uint32_t(i + 1), directionOf(t->w.antColour[i]));
        runWorld(*t);
        ASSERT_TRUE(allSquares(t->w, squares));
        ASSERT_GT(storeCount(t->w), 0) << "some squares must lie beyond the grid";
    }
    std::unique_ptr<TestWorld> t;
    Squares squares;
};

}  // namespace

TEST_P(Pictures, AreaHoldsTheBoxAndEverySquareAndThePictureShowsThemOnePixelEach) {
    const World& w = t->w;
    const SquareBox area = paintedArea(w);
    const SquareBox expected = expectedArea(w, squares);
    EXPECT_EQ(std::tie(area.minX, area.maxX, area.minY, area.maxY),
              std::tie(expected.minX, expected.maxX, expected.minY, expected.maxY));
    const std::array<uint32_t, 65> states = stateColours();
    Picture picture;
    ASSERT_EQ(renderWholePicture(w, {kBackground, &states}, area, 0, picture), PictureError::None);
    ASSERT_EQ(picture.scale, 1);
    ASSERT_EQ(picture.width, area.width());
    ASSERT_EQ(picture.height, area.height());
    for (int64_t py = 0; py < picture.height; ++py)
        for (int64_t px = 0; px < picture.width; ++px) {
            const Square square{static_cast<int32_t>(area.minX + px), static_cast<int32_t>(area.maxY - py)};
            const auto found = squares.find(square);
            const uint32_t want = found == squares.end() ? kBackground : expectedColour(w, states, found->second);
            ASSERT_EQ(pixelAt(picture, px, py), want) << "square " << square.first << ", " << square.second;
        }
}

TEST_P(Pictures, ReducedPictureShowsTheHighestCodeOfEveryBlock) {
    const World& w = t->w;
    const SquareBox area = paintedArea(w);
    const std::array<uint32_t, 65> states = stateColours();
    Picture picture;
    ASSERT_EQ(renderWholePicture(w, {kBackground, &states}, area, 3, picture), PictureError::None);
    EXPECT_EQ(picture.width, (area.width() + 2) / 3);
    EXPECT_EQ(picture.height, (area.height() + 2) / 3);
    std::map<std::pair<int64_t, int64_t>, uint32_t> highest;  // the largest value in each block
    for (const auto& [square, value] : squares) {
        uint32_t& top = highest[{(square.first - area.minX) / 3, (area.maxY - square.second) / 3}];
        top = std::max(top, value + 1);  // + 1: ant index 0 still counts
    }
    for (int64_t py = 0; py < picture.height; ++py)
        for (int64_t px = 0; px < picture.width; ++px) {
            const auto block = highest.find({px, py});
            const uint32_t want = block == highest.end() ? kBackground : expectedColour(w, states, block->second - 1);
            ASSERT_EQ(pixelAt(picture, px, py), want) << px << ", " << py;
        }
}

TEST_P(Pictures, RlePatternDecodesToEverySquareTheBoxAndTheStates) {
    World& w = t->w;
    TempDir dir;
    const std::string path = dir.pathOf("run.rle");
    ASSERT_EQ(writeRle(w, path), "");
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    DecodedPattern pattern;
    ASSERT_EQ(decodeRle(text.str(), pattern), "") << text.str();

    const SquareBox area = expectedArea(w, squares);
    EXPECT_EQ(pattern.left, area.minX);
    EXPECT_EQ(pattern.top, -int64_t{area.maxY});
    EXPECT_EQ(pattern.width, area.width());
    EXPECT_EQ(pattern.height, area.height());
    EXPECT_EQ(pattern.generation, w.counters.stepCount);
    EXPECT_GE(pattern.comments, w.counters.antCount) << "one line per ant at least";

    std::map<std::pair<int64_t, int64_t>, uint32_t> expected;
    for (const auto& [square, value] : squares) {
        if (w.generalized && value == 1) continue;  // state 0 is the empty state of the pattern
        expected[{square.first, square.second}] = w.generalized ? value - 1 : 1u;
    }
    EXPECT_EQ(pattern.squares, expected);
    if (w.generalized) {
        EXPECT_EQ(pattern.rule, "GeneralizedAnts_3states") << "the ants' programs differ";
    } else {
        EXPECT_EQ(pattern.rule, "LangtonsAnt_RL");
    }
}

INSTANTIATE_TEST_SUITE_P(EveryMode, Pictures,
                         ::testing::Values(PictureCase{RunMode::Indexed15, 2}, PictureCase{RunMode::Indexed255, 2},
                                           PictureCase{RunMode::Indexed65535, 2}, PictureCase{RunMode::BlackWhite, 2},
                                           PictureCase{RunMode::Generalized, 3}),
                         [](const ::testing::TestParamInfo<PictureCase>& info) {
                             return std::string(runModeName(info.param.mode));
                         });

TEST(PaintedArea, FindsSquaresFarBeyondTheBoxInEveryMode) {
    // A few steps of ants far from the origin: the box stays near the origin; the generalized
    // ant turns left on every square and never widens it at all.
    for (RunMode mode : {RunMode::Indexed15, RunMode::Indexed255, RunMode::Indexed65535, RunMode::BlackWhite,
                         RunMode::Generalized}) {
        const bool gen = mode == RunMode::Generalized;
        TestWorld t(mode, 30, {{20, 17, uint8_t(gen ? 0 : 1), 0b11}, {-25, -3, uint8_t(gen ? 2 : 3), 0b11}});
        t.w.limits.userMaxSteps = 3;
        t.run();
        Squares squares;
        ASSERT_TRUE(allSquares(t.w, squares));
        const SquareBox expected = expectedArea(t.w, squares);
        const SquareBox area = paintedArea(t.w);
        EXPECT_EQ(std::tie(area.minX, area.maxX, area.minY, area.maxY),
                  std::tie(expected.minX, expected.maxX, expected.minY, expected.maxY))
            << runModeName(mode);
        EXPECT_LE(area.minX, -25) << runModeName(mode);
        EXPECT_GE(area.maxY, 17) << runModeName(mode);
    }
}

namespace {

// Paints one grid square directly with a non-empty code of the grid's encoding.
void paintSquare(World& w, int32_t x, int32_t y) {
    FastGrid& g = w.grid;
    switch (g.width) {
        case CellWidth::Bit: g.cells[g.bitByte(x, y)] |= FastGrid::bitMask(x, g.halfSize); break;
        case CellWidth::Byte:
            if (w.generalized) g.cells[g.cellIndex(x, y)] = 2;
            else g.setIndexedValue(x, y, 2);
            break;
        default: g.setIndexedValue(x, y, 2); break;
    }
}

SquareBox squareBySquareExtent(const World& w) {
    SquareBox box;
    const int32_t r = w.grid.halfSize;
    for (int32_t x = -r; x <= r; ++x)
        for (int32_t y = -r; y <= r; ++y)
            if (gridSquareCode(w, x, y) != 0) box.include(x, y);
    return box;
}

}  // namespace

TEST(PaintedArea, FindsLoneSquaresBeyondEmptyLinesAndAtTheGridsEdgesInEveryMode) {
    // Squares nowhere near the ants or the box, each cut off from the rest by empty lines: a
    // search that widens from the box while the lines next to it hold something stops short.
    const std::vector<std::vector<std::pair<int32_t, int32_t>>> layouts = {
        {{-20, 7}, {13, 20}, {5, -20}, {20, -19}},  // the grid's four edges
        {{-9, 3}},                                  // one lone square, odd column
        {{6, -3}, {-17, 17}, {11, 0}},
    };
    for (RunMode mode : {RunMode::Indexed15, RunMode::Indexed255, RunMode::Indexed65535, RunMode::BlackWhite,
                         RunMode::Generalized}) {
        for (int32_t half : {20, 100}) {
            for (const auto& layout : layouts) {
                TestWorld t(mode, half, {{0, 0, uint8_t(mode == RunMode::Generalized ? 0 : 1), 0b10}});
                for (const auto& [x, y] : layout) paintSquare(t.w, x * half / 20, y * half / 20);
                SquareBox expected = squareBySquareExtent(t.w);
                ASSERT_FALSE(expected.empty());
                const SquareBox grid = gridExtent(t.w.grid);
                EXPECT_EQ(std::tie(grid.minX, grid.maxX, grid.minY, grid.maxY),
                          std::tie(expected.minX, expected.maxX, expected.minY, expected.maxY))
                    << runModeName(mode) << " half " << half << " first square " << layout[0].first;
                expected.include({t.w.counters.minX, t.w.counters.maxX, t.w.counters.minY, t.w.counters.maxY});
                const SquareBox area = paintedArea(t.w);
                EXPECT_EQ(std::tie(area.minX, area.maxX, area.minY, area.maxY),
                          std::tie(expected.minX, expected.maxX, expected.minY, expected.maxY))
                    << runModeName(mode);
            }
        }
        TestWorld empty(mode, 20, {{0, 0, 1, 0b10}});
        EXPECT_TRUE(gridExtent(empty.w.grid).empty()) << runModeName(mode);
    }
}

TEST(PictureScale, SmallestScaleThatFitsAndForcedScalesThatDoNot) {
    EXPECT_EQ(fittingScale({0, 16383, 0, 9}), 1);
    EXPECT_EQ(fittingScale({0, 16384, 0, 9}), 2);
    EXPECT_EQ(fittingScale({0, 9, -16384, 16384}), 3) << "32769 rows";
    EXPECT_EQ(fittingScale({INT32_MIN, INT32_MAX, 0, 0}), 262144);

    TestWorld t(RunMode::BlackWhite, 3, {{0, 0, 1}});
    Picture picture;
    EXPECT_EQ(renderWholePicture(t.w, {}, {0, 70000, 0, 0}, 1, picture), PictureError::TooLarge);
    EXPECT_EQ(renderWholePicture(t.w, {}, {0, 9, 0, 0}, -1, picture), PictureError::BadScale);
    ASSERT_EQ(renderWholePicture(t.w, {}, {0, 70000, 0, 0}, 0, picture), PictureError::None);
    EXPECT_EQ(picture.scale, 5);
    EXPECT_EQ(picture.width, 14001);
}

TEST(RlePattern, SharedProgramNamesTheRuleAndLongRunsWrapAtSeventy) {
    // Generalized, 4 states, one program for all: turns R, L, L, R.
    TestWorld t(RunMode::Generalized, 40, {{0, 0, 0, 0b0110}, {5, 5, 1, 0b0110}}, false, 4);
    runWorld(t);
    const std::string text = rlePattern(t.w, paintedArea(t.w));
    DecodedPattern pattern;
    ASSERT_EQ(decodeRle(text, pattern), "") << text;
    EXPECT_EQ(pattern.rule, "LangtonsAnt_RLLR");
    EXPECT_NE(text.find("turns RLLR"), std::string::npos) << text;

    EXPECT_EQ(rleStateTag(0), ".");
    EXPECT_EQ(rleStateTag(24), "X");
    EXPECT_EQ(rleStateTag(25), "pA");
    EXPECT_EQ(rleStateTag(63), "qO");
}

TEST(Extremes, PatternAndPictureOfSquaresAtEveryCornerOfThePlane) {
    // Two squares at each corner of the 32-bit plane: the pattern decodes to them and the picture
    // shows them, with no coordinate wrapping on the way (a wrapped row loop never ends).
    for (const int32_t cx : {INT32_MIN, INT32_MAX}) {
        for (const int32_t cy : {INT32_MIN, INT32_MAX}) {
            TestWorld t(RunMode::BlackWhite, 3, {{0, 0, 1}});
            ASSERT_TRUE(createSparseStore(t.w, 64));
            const int32_t ix = cx == INT32_MIN ? cx + 3 : cx - 3, iy = cy == INT32_MIN ? cy + 2 : cy - 2;
            std::vector<BlackSquare> squares = {{cx, cy}, {ix, iy}};
            std::sort(squares.begin(), squares.end(),
                      [](const BlackSquare& a, const BlackSquare& b) { return a.X != b.X ? a.X < b.X : a.Y < b.Y; });
            for (const BlackSquare& e : squares) ASSERT_TRUE(t.w.storeBW->AppendSorted(e));
            SquareBox area;
            area.include(cx, cy);
            area.include(ix, iy);
            const std::string where = std::to_string(cx) + "," + std::to_string(cy);

            DecodedPattern pattern;
            ASSERT_EQ(decodeRle(rlePattern(t.w, area), pattern), "") << where;
            const std::map<std::pair<int64_t, int64_t>, uint32_t> expected = {{{cx, cy}, 1u}, {{ix, iy}, 1u}};
            EXPECT_EQ(pattern.squares, expected) << where;
            EXPECT_EQ(pattern.width, 4);
            EXPECT_EQ(pattern.height, 3);

            Picture picture;
            ASSERT_EQ(renderWholePicture(t.w, {kBackground, nullptr}, area, 1, picture), PictureError::None) << where;
            EXPECT_EQ(picture.codeAt(int64_t{cx} - area.minX, int64_t{area.maxY} - cy), 1u) << where;
            EXPECT_EQ(picture.codeAt(int64_t{ix} - area.minX, int64_t{area.maxY} - iy), 1u) << where;

            const SquareBox all = paintedArea(t.w);
            EXPECT_TRUE(all.minX <= area.minX && all.maxX >= area.maxX && all.minY <= area.minY &&
                        all.maxY >= area.maxY)
                << where;
        }
    }
}

TEST(PictureScale, AFullColourPictureLargerThanTheMachineIsRefusedBeforeDrawing) {
    class SmallMachine final : public MemoryStatusSource {
    public:
        MemoryStatus query() override { return {64u << 20, 32u << 20, 64u << 20}; }
    } small;
    std::vector<AntSpec> ants;
    for (int32_t i = 0; i < 300; ++i) ants.push_back({i % 20, i / 20, 1});  // more than a palette holds
    TestWorld t(RunMode::Indexed65535, 30, ants);
    Picture picture;
    setMemoryStatusSource(&small);
    // 4000 x 4000 pixels: 32 MB of codes, and 48 MB more for the full-colour image.
    const PictureError error = renderWholePicture(t.w, {}, {0, 3999, 0, 3999}, 1, picture);
    setMemoryStatusSource(nullptr);
    EXPECT_EQ(error, PictureError::MoreThanTheMachineHas);
    EXPECT_TRUE(picture.wideCodes.empty());
    EXPECT_EQ(pictureBytes(4000, 4000, false), 16000000u) << "a palette picture is one byte a pixel";
}
