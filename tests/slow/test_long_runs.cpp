// Long runs beyond the fast grid, compared at checkpoints with the independent hash-map model.

#include <gtest/gtest.h>

#include <random>

#include "../core/ReferenceModel.h"
#include "../core/TestSupport.h"
#include "core/MemoryBudget.h"

using namespace qm;
using qmtest::TestWorld;

namespace {

// Every square of the model agrees with the grid or the store of the run.
void expectSameSquares(const TestWorld& t, const qmtest::ReferenceModel& model, bool blackWhite) {
    const World& w = t.w;
    int64_t inStore = 0;
    for (const auto& [key, value] : model.cells()) {
        const auto x = static_cast<int32_t>(key >> 32);
        const auto y = static_cast<int32_t>(key & 0xFFFFFFFFu);
        if (w.grid.inside(x, y)) {
            if (blackWhite) ASSERT_EQ(w.grid.blackAt(x, y), value == 2) << x << "," << y;
            else ASSERT_EQ(w.grid.generalizedValue(x, y), value) << x << "," << y;
        } else if (!blackWhite || value == 2) {
            ++inStore;
        }
    }
    const int32_t storeCount = blackWhite ? w.storeBW->Count() : w.storeMulti->Count();
    EXPECT_EQ(storeCount, inStore);
    int32_t mismatches = 0;  // ASSERT cannot leave the visiting lambda
    if (!blackWhite) {
        w.storeMulti->ForEach([&](const GeneralizedSquare& e) {
            const int32_t x = e.X, y = e.Y;
            if (e.state != model.cellValue(x, y) && ++mismatches < 5) ADD_FAILURE() << x << "," << y;
        });
    } else {
        w.storeBW->ForEach([&](const BlackSquare& e) {
            const int32_t x = e.X, y = e.Y;
            if (model.cellValue(x, y) != 2 && ++mismatches < 5) ADD_FAILURE() << x << "," << y;
        });
    }
    EXPECT_EQ(mismatches, 0);
}

}  // namespace

TEST(LongRuns, BlackWhiteAntTwentyMillionStepsBeyondTheSmallestFastGrid) {
    const int32_t R = computeHalfSizes(AntMaxChoice::BlackWhite)[0];
    TestWorld t(RunMode::BlackWhite, R, {{0, 0, 2}}, true);  // its highway heads for X+, Y+
    qmtest::ReferenceModel model;
    model.ants.push_back({0, 0, 1});
    int64_t firstStepOutside = -1;
    int64_t modelSteps = 0;
    const int64_t checkpoints[] = {200000, 2000000, 10000000, 20500000};
    for (int64_t checkpoint : checkpoints) {
        t.w.limits.userMaxSteps = checkpoint;
        t.w.idle = 0;
        t.run();
        ASSERT_TRUE(t.messages.messages.empty());
        for (; modelSteps < checkpoint; ++modelSteps) {
            model.step();
            if (firstStepOutside < 0 && !t.w.grid.inside(model.ants[0].x, model.ants[0].y))
                firstStepOutside = modelSteps;
        }
        ASSERT_EQ(t.pos(0).x, model.ants[0].x) << "at step " << checkpoint;
        ASSERT_EQ(t.pos(0).y, model.ants[0].y) << "at step " << checkpoint;
        ASSERT_EQ(t.w.counters.filled, model.blackCount());
        expectSameSquares(t, model, true);
    }
    ASSERT_GE(firstStepOutside, 0);
    EXPECT_GE(20500000 - firstStepOutside, 20000000) << "at least 20 million steps beyond the fast grid";
}

TEST(LongRuns, BlackWhiteAntsFarFromTheOriginOnTheLargestGridAgainstTheModel) {
    // The largest black-and-white grid holds more than 2^32 bits; these two ants start on squares
    // 2^32 bits apart. Two ants go through the general loop, then the first alone through the lone
    // ant's pass, over squares whose bits lie as far from the second ant's.
    const int32_t R = computeHalfSizes(AntMaxChoice::BlackWhite)[MemoryChoiceCount - 1];
    TestWorld t(RunMode::BlackWhite, R, {{0, 10000, 1}, {-36208, -38846, 1}}, true);
    t.w.limits.userMaxSteps = 20000;
    t.run();
    qmtest::ReferenceModel model;
    model.ants = {{0, 10000, 0}, {-36208, -38846, 0}};
    for (int i = 0; i < 20000; ++i) model.step();
    ASSERT_EQ(t.w.counters.filled, model.blackCount());
    EXPECT_EQ(t.w.counters.filled, 3744);
    expectSameSquares(t, model, true);

    t.w.counters.antCount = 1;
    t.w.frameCountdownReload = 1 << 20;
    t.pump.frameAlwaysDue = false;
    model.ants.resize(1);
    t.w.limits.userMaxSteps = 40000;
    t.w.idle = 0;
    t.run();
    for (int i = 0; i < 20000; ++i) model.step();
    ASSERT_TRUE(t.messages.messages.empty());
    EXPECT_EQ(t.pos(0).x, model.ants[0].x);
    EXPECT_EQ(t.pos(0).y, model.ants[0].y);
    EXPECT_EQ(t.w.counters.filled, model.blackCount());
    expectSameSquares(t, model, true);
}

TEST(LongRuns, GeneralizedFourStates256AntsAgainstTheModel) {
    std::mt19937 random(4242);
    std::vector<qmtest::AntSpec> ants;
    qmtest::ReferenceModel model(4);
    for (int i = 0; i < 256; ++i) {
        const int32_t x = static_cast<int32_t>(random() % 240) - 120;
        const int32_t y = static_cast<int32_t>(random() % 240) - 120;
        const uint8_t dir = static_cast<uint8_t>(random() % 4);
        const uint64_t program = (static_cast<uint64_t>(random()) << 32) | random();
        ants.push_back({x, y, dir, program});
        model.ants.push_back({x, y, dir, program});
    }
    TestWorld t(RunMode::Generalized, 100, ants, true, 4);
    int64_t modelSteps = 0;
    for (int64_t checkpoint : {1000, 5000, 20000}) {
        t.w.limits.userMaxSteps = checkpoint;
        t.w.idle = 0;
        t.run();
        ASSERT_TRUE(t.messages.messages.empty());
        for (; modelSteps < checkpoint; ++modelSteps) model.step();
        for (int i = 0; i < 256; ++i) {
            ASSERT_EQ(t.pos(i).x, model.ants[static_cast<size_t>(i)].x) << "ant " << i;
            ASSERT_EQ(t.pos(i).y, model.ants[static_cast<size_t>(i)].y) << "ant " << i;
            ASSERT_EQ(t.w.antDir[i], model.ants[static_cast<size_t>(i)].dir) << "ant " << i;
        }
        EXPECT_EQ(t.w.counters.filled, model.visited);
        EXPECT_EQ(t.w.counters.peakFilled, model.wraps);
        expectSameSquares(t, model, false);
    }
    EXPECT_GT(t.w.storeMulti->Count(), 0) << "the ants must have used the store";
}
