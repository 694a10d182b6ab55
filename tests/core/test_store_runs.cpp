// Ants that wander beyond a small fast grid and back: with a sparse store the run must be the
// same, square for square, as on a grid large enough to hold everything. Also the store's
// creation for a run and a store that cannot grow in the middle of one.

#include <gtest/gtest.h>

#include <map>
#include <utility>
#include <vector>

#include "TestSupport.h"
#include "WorldSquares.h"
#include "core/RunSetup.h"
#include "core/StepLoops.h"

using namespace qm;
using namespace qmtest;

namespace {

// Watches the square of every update: how often an ant passes between the fast grid and the
// world beyond it, and how large the store became.
struct BorderWatch {
    World* w = nullptr;
    std::vector<int> wasInside;  // -1 before the first update
    int crossings = 0;
    int32_t largestStore = 0;

    void install(World& world) {
        w = &world;
        wasInside.assign(static_cast<std::size_t>(world.counters.antCount), -1);
        world.hooks.paint = world.hooks.erase = world.hooks.genSquare = &BorderWatch::onSquare;
        world.hooks.context = this;
    }
    static void onSquare(void* self) {
        auto* b = static_cast<BorderWatch*>(self);
        const World& w = *b->w;
        const AntPos p = w.antPos[w.counters.currentAnt];  // the ant has not moved yet
        int& was = b->wasInside[static_cast<std::size_t>(w.counters.currentAnt)];
        const int inside = w.grid.inside(p.x, p.y) ? 1 : 0;
        if (was >= 0 && was != inside) ++b->crossings;
        was = inside;
        if (storeCount(w) > b->largestStore) b->largestStore = storeCount(w);
    }
};

struct RunCase {
    RunMode mode;
    int32_t states;
};

std::vector<AntSpec> antsFor(RunMode mode) {
    // Starts on, near and beyond the border of a grid of half size 20; the last ant starts outside.
    const bool gen = mode == RunMode::Generalized;
    auto dir = [gen](uint8_t code) { return static_cast<uint8_t>(gen ? code - 1 : code); };
    std::vector<AntSpec> ants = {{20, 0, dir(1)}, {-19, 6, dir(2)}, {4, 20, dir(3)}, {-7, -22, dir(4)}, {0, 0, dir(1)}};
    if (gen) {
        // Three states, several programs: right-left-right, left-left-right, right-right-left.
        const uint64_t programs[] = {0b010, 0b011, 0b100, 0b010, 0b011};
        for (std::size_t i = 0; i < ants.size(); ++i) ants[i].program = programs[i];
    }
    return ants;
}

constexpr int32_t kSmallR = 20;
constexpr int32_t kLargeR = 2000;
constexpr int64_t kSteps = 15000;

class StoreRuns : public ::testing::TestWithParam<RunCase> {};

}  // namespace

TEST_P(StoreRuns, SmallGridWithStoreEqualsLargeGridWithoutOne) {
    const RunCase c = GetParam();
    const std::vector<AntSpec> ants = antsFor(c.mode);

    TestWorld small(c.mode, kSmallR, ants, true, c.states);
    ASSERT_TRUE(createSparseStore(small.w, 16)) << "small steps: the store grows many times";
    TestWorld large(c.mode, kLargeR, ants, false, c.states);
    ASSERT_TRUE(large.w.grid.exists());
    BorderWatch watch;
    watch.install(small.w);

    for (TestWorld* t : {&small, &large}) {
        t->w.limits.userMaxSteps = kSteps;
        t->run();
        EXPECT_EQ(t->w.lastStop, StopReason::MaxSteps);
        EXPECT_TRUE(t->messages.messages.empty()) << t->messages.messages.front().text;
    }
    EXPECT_GE(watch.crossings, 100) << "the ants must really go out and come back";
    EXPECT_GT(watch.largestStore, 1000) << "and leave many squares beyond the grid";

    for (int32_t i = 0; i < static_cast<int32_t>(ants.size()); ++i) {
        EXPECT_EQ(small.pos(i).x, large.pos(i).x) << "ant " << i;
        EXPECT_EQ(small.pos(i).y, large.pos(i).y) << "ant " << i;
        EXPECT_EQ(antDirection(small.w, i), antDirection(large.w, i)) << "ant " << i;
    }
    const RunCounters& s = small.w.counters;
    const RunCounters& l = large.w.counters;
    EXPECT_EQ(s.stepCount, l.stepCount);
    EXPECT_EQ(s.filled, l.filled);
    EXPECT_EQ(s.peakFilled, l.peakFilled);
    EXPECT_EQ(std::tie(s.minX, s.maxX, s.minY, s.maxY), std::tie(l.minX, l.maxX, l.minY, l.maxY));
    EXPECT_GT(s.maxX - s.minX, 2 * kSmallR) << "the painted area is wider than the small grid";

    Squares smallSquares, largeSquares;
    ASSERT_TRUE(allSquares(small.w, smallSquares));
    ASSERT_TRUE(allSquares(large.w, largeSquares));
    EXPECT_EQ(static_cast<int64_t>(largeSquares.size()), l.filled)
        << "painted (or visited) squares are what the filled counter counts";
    EXPECT_EQ(smallSquares.size(), largeSquares.size());
    EXPECT_TRUE(smallSquares == largeSquares) << "the same squares hold the same values";
    EXPECT_EQ(small.w.storeIndexed != nullptr, isIndexed(c.mode));
    EXPECT_EQ(small.w.storeBW != nullptr, c.mode == RunMode::BlackWhite);
    EXPECT_EQ(small.w.storeMulti != nullptr, c.mode == RunMode::Generalized);
}

INSTANTIATE_TEST_SUITE_P(EveryMode, StoreRuns,
                         ::testing::Values(RunCase{RunMode::Indexed15, 2}, RunCase{RunMode::Indexed255, 2},
                                           RunCase{RunMode::Indexed65535, 2}, RunCase{RunMode::BlackWhite, 2},
                                           RunCase{RunMode::Generalized, 3}),
                         [](const ::testing::TestParamInfo<RunCase>& info) {
                             return std::string(runModeName(info.param.mode));
                         });

namespace {

const RunMode kAllModes[] = {RunMode::Indexed15, RunMode::Indexed255, RunMode::Indexed65535,
                             RunMode::BlackWhite, RunMode::Generalized};

}  // namespace

TEST(StoreCreation, OnlyTheStoreOfTheModeWithCapacityAndDeltaD) {
    for (RunMode mode : kAllModes) {
        TestWorld t(mode, 5, {});
        t.w.searchMulti.state = 7;
        ASSERT_TRUE(createSparseStore(t.w, 333)) << runModeName(mode);
        const IndexedSquareStore* indexed = t.w.storeIndexed;
        const BlackSquareStore* bw = t.w.storeBW;
        const GeneralizedSquareStore* multi = t.w.storeMulti;
        EXPECT_EQ(indexed != nullptr, isIndexed(mode));
        EXPECT_EQ(bw != nullptr, mode == RunMode::BlackWhite);
        EXPECT_EQ(multi != nullptr, mode == RunMode::Generalized);
        auto check = [](const auto* store) {
            if (!store) return;
            EXPECT_EQ(store->Count(), 0);
            EXPECT_EQ(store->Capacity(), 336) << "six leaves of 56: whole leaves for at least d";
            EXPECT_EQ(store->GrowDelta(), 333);
            EXPECT_EQ(store->LastError(), SSErrorNone);
        };
        check(indexed);
        check(bw);
        check(multi);
        EXPECT_EQ(t.w.searchMulti.state, 1) << "new generalized squares enter in state 0";
    }
}

TEST(StoreCreation, FailureLeavesNoStoreAtAll) {
    for (RunMode mode : kAllModes) {
        for (std::size_t threshold : {std::size_t{1}, std::size_t{1000}}) {  // first buffer, or the reserve
            TestWorld t(mode, 5, {}, true);
            ASSERT_EQ(storeCount(t.w), 0);
            ASSERT_TRUE(t.w.storeIndexed || t.w.storeBW || t.w.storeMulti) << "a store of an earlier run";
            qmtest::FailingAllocator failing(threshold);
            AllocatorGuard guard(&failing);
            EXPECT_FALSE(createSparseStore(t.w, 1000)) << runModeName(mode);
            EXPECT_EQ(t.w.storeIndexed, nullptr);
            EXPECT_EQ(t.w.storeBW, nullptr);
            EXPECT_EQ(t.w.storeMulti, nullptr);
        }
    }
}

TEST(StoreRunFailure, StoreThatCannotGrowStopsTheRunAndKeepsItsSquares) {
    for (RunMode mode : kAllModes) {
        const bool gen = mode == RunMode::Generalized;
        TestWorld t(mode, 3, {{3, 0, static_cast<uint8_t>(gen ? 0 : 1)}}, true);
        ASSERT_TRUE(createSparseStore(t.w, 4));
        qmtest::CountingAllocator counting;
        counting.failAllocations = counting.failReallocations = 1000;
        {
            AllocatorGuard guard(&counting);
            t.w.limits.userMaxSteps = 100000;
            t.run();
        }
        ASSERT_EQ(t.messages.messages.size(), 1u) << runModeName(mode);
        EXPECT_EQ(t.messages.messages[0].text, MsgCannotSet);
        EXPECT_EQ(t.messages.messages[0].type, BoxType::Error);
        EXPECT_EQ(t.w.lastStop, StopReason::CannotSet);
        EXPECT_LT(counting.failAllocations + counting.failReallocations, 2000) << "growth was attempted";

        const IndexedSquareStore* indexed = t.w.storeIndexed;
        const BlackSquareStore* bw = t.w.storeBW;
        const GeneralizedSquareStore* multi = t.w.storeMulti;
        auto check = [](const auto* store) {
            if (!store) return;
            EXPECT_EQ(store->Count(), 4) << "full, and nothing lost";
            EXPECT_EQ(store->Capacity(), 4);
            EXPECT_EQ(store->LastError(), SSErrorMemory);
        };
        check(indexed);
        check(bw);
        check(multi);

        Squares squares;
        ASSERT_TRUE(allSquares(t.w, squares)) << "the store is still valid for painting";
        if (mode != RunMode::BlackWhite) {
            // Black-and-white goes on with the move as if it had painted; the others count only
            // what is really stored.
            EXPECT_EQ(static_cast<int64_t>(squares.size()), t.w.counters.filled) << runModeName(mode);
        }
    }
}
