// Limits, failures, break and hand brake of the step loops.

#include <gtest/gtest.h>

#include "ReferenceModel.h"
#include "TestSupport.h"

using namespace qm;
using qmtest::AntSpec;
using qmtest::TestWorld;

namespace {

const RunMode kAllModes[] = {RunMode::Indexed15, RunMode::Indexed255, RunMode::Indexed65535,
                             RunMode::BlackWhite, RunMode::Generalized};

uint8_t codeFor(RunMode mode, uint8_t code) { return mode == RunMode::Generalized ? code - 1 : code; }

}  // namespace

TEST(TwoAnts, SecondAntClearsTheFirstAntsSquareInTheSameStep) {
    TestWorld t(RunMode::Indexed255, 50, {{0, 0, 1}, {0, 0, 1}});
    t.w.limits.userMaxSteps = 1;
    t.run();
    EXPECT_EQ(t.w.grid.indexedValue(0, 0), 255u);
    EXPECT_EQ(t.pos(0).x, 0);
    EXPECT_EQ(t.pos(0).y, -1) << "first ant painted and turned right to Y-";
    EXPECT_EQ(t.pos(1).y, 1) << "second ant cleared and turned left to Y+";
    EXPECT_EQ(directionOf(t.w.antColour[1]), DirYPlus);
    EXPECT_EQ(t.w.counters.filled, 0);
    EXPECT_EQ(t.w.counters.peakFilled, 1);
    EXPECT_EQ(t.w.counters.stepCount, 1);
}

TEST(Directions, CodesOutsideOneToFourActAsFourOnTheFirstMove) {
    for (RunMode mode : {RunMode::Indexed255, RunMode::BlackWhite}) {
        for (uint8_t code : {uint8_t{0}, uint8_t{5}, uint8_t{44}}) {
            TestWorld fresh(mode, 50, {{0, 0, code}});
            fresh.w.limits.userMaxSteps = 1;
            fresh.run();
            EXPECT_EQ(fresh.pos(0).x, 1) << "empty square: turns to 1 and moves to X+1";
            EXPECT_EQ(fresh.pos(0).y, 0);

            // A first ant paints the origin; the odd-coded second ant finds it painted.
            TestWorld painted(mode, 50, {{0, 0, 1}, {0, 0, code}});
            painted.w.limits.userMaxSteps = 1;
            painted.run();
            EXPECT_EQ(painted.pos(1).x, -1) << "painted square: turns to 3 and moves to X-1";
            EXPECT_EQ(painted.pos(1).y, 0);
        }
    }
}

TEST(MaxSteps, ZeroOrNegativeMovesNothingAndOneMovesEveryAntOnce) {
    for (RunMode mode : kAllModes) {
        for (int64_t limit : {int64_t{0}, int64_t{-5}}) {
            TestWorld t(mode, 50, {{0, 0, codeFor(mode, 1)}});
            t.w.limits.userMaxSteps = limit;
            t.run();
            EXPECT_EQ(t.pos(0).x, 0);
            EXPECT_EQ(t.pos(0).y, 0);
            EXPECT_EQ(t.w.counters.stepCount, 0);
            EXPECT_TRUE(t.messages.messages.empty());
            EXPECT_EQ(t.w.lastStop, StopReason::MaxSteps);
        }
        TestWorld one(mode, 50, {{0, 0, codeFor(mode, 1)}, {5, 5, codeFor(mode, 1)}, {-5, 5, codeFor(mode, 3)}});
        one.w.limits.userMaxSteps = 1;
        one.run();
        EXPECT_EQ(one.w.counters.stepCount, 1);
        EXPECT_EQ(one.pos(0).y, -1);
        EXPECT_EQ(one.pos(1).y, 4);
        EXPECT_EQ(one.pos(2).y, 6);
        EXPECT_EQ(one.w.counters.currentAnt, 2) << "after a whole step the current ant is the last";
        EXPECT_TRUE(one.messages.messages.empty());
    }
}

TEST(FailedUpdate, StartOutsideTheGridWithoutStoreIsAnInvalidStart) {
    for (RunMode mode : kAllModes) {
        TestWorld t(mode, 50, {{51, 0, codeFor(mode, 1)}});
        t.run();
        ASSERT_EQ(t.messages.messages.size(), 1u);
        EXPECT_EQ(t.messages.messages[0].text, "ERROR: Invalid start position, breaked");
        EXPECT_EQ(t.messages.messages[0].type, BoxType::Error);
        EXPECT_EQ(t.w.lastStop, StopReason::InvalidStart);
        EXPECT_EQ(t.w.counters.stepCount, 0);
        if (mode == RunMode::BlackWhite || mode == RunMode::Generalized) {
            EXPECT_EQ(t.pos(0).y, -1) << "black-and-white and generalized go on as a right turn";
            EXPECT_EQ(t.w.counters.minY, -1);
        } else {
            EXPECT_EQ(t.pos(0).x, 51) << "the indexed ant stays where it is";
            EXPECT_EQ(t.pos(0).y, 0);
            EXPECT_EQ(t.w.counters.filled, 0);
        }
    }
}

TEST(FailedUpdate, LeavingTheGridLaterCannotSetThePosition) {
    for (RunMode mode : kAllModes) {
        // At (R, 0) facing Y+: the right turn leads to (R + 1, 0) in step 0.
        TestWorld t(mode, 50, {{50, 0, codeFor(mode, 4)}});
        t.run();
        ASSERT_EQ(t.messages.messages.size(), 1u) << runModeName(mode);
        EXPECT_EQ(t.messages.messages[0].text,
                  "ERROR: Can not set new possition, breaked (not enought memory etc.)");
        EXPECT_EQ(t.messages.messages[0].type, BoxType::Error);
        EXPECT_EQ(t.w.counters.stepCount, 1);
        EXPECT_EQ(t.w.lastStop, StopReason::CannotSet);
    }
}

TEST(Limits, FilledMaximumWinsOverTheAxisBoundInTheSameMove) {
    for (RunMode mode : {RunMode::Indexed255, RunMode::BlackWhite}) {
        TestWorld t(mode, 50, {{0, 0, 4}});
        t.w.limits.filledMax = 1;
        t.w.limits.axisBound = 1;
        t.w.limits.axisBoundNeg = -1;
        t.run();
        ASSERT_EQ(t.messages.messages.size(), 1u);
        EXPECT_EQ(t.messages.messages[0].text, "Max filled square rached, breaked ... sorry");
        EXPECT_EQ(t.messages.messages[0].type, BoxType::Warning);
        EXPECT_EQ(t.w.lastStop, StopReason::Filled);
        EXPECT_EQ(t.w.counters.maxX, 1);
    }
}

TEST(Limits, AxisBoundAndStepMaximum) {
    TestWorld axis(RunMode::Indexed255, 50, {{0, 0, 4}});
    axis.w.limits.axisBound = 3;
    axis.w.limits.axisBoundNeg = -3;
    axis.run();
    ASSERT_EQ(axis.messages.messages.size(), 1u);
    EXPECT_EQ(axis.messages.messages[0].text, "Some axis boundary reached, breaked ... sorry");
    EXPECT_EQ(axis.messages.messages[0].type, BoxType::Warning);
    const RunCounters& c = axis.w.counters;
    EXPECT_TRUE(c.maxX >= 3 || c.maxY >= 3 || c.minX <= -3 || c.minY <= -3);

    TestWorld steps(RunMode::Generalized, 50, {{0, 0, 0}, {9, 9, 0}});
    steps.w.limits.stepMax = 7;
    steps.run();
    ASSERT_EQ(steps.messages.messages.size(), 1u);
    EXPECT_EQ(steps.messages.messages[0].text, "Max steps rached, breaked ... sorry");
    EXPECT_EQ(steps.w.counters.stepCount, 7);
    EXPECT_EQ(steps.w.counters.currentAnt, 0) << "the first move of step 7 sees the maximum";
}

TEST(Generalized, ProgramWithBitZeroTurnsLeftOnFreshSquaresWithoutTouchingTheBox) {
    TestWorld t(RunMode::Generalized, 50, {{0, 0, 0, 0x1}}, false, 2);
    t.w.limits.axisBound = 1;
    t.w.limits.axisBoundNeg = -1;
    t.w.limits.filledMax = 1;
    t.w.limits.userMaxSteps = 1;
    t.run();
    EXPECT_TRUE(t.messages.messages.empty()) << "left moves check neither filled nor axis";
    EXPECT_EQ(t.pos(0).y, 1);
    EXPECT_EQ(t.w.antDir[0], 3);
    EXPECT_EQ(t.w.counters.maxY, 0);
    EXPECT_EQ(t.w.counters.filled, 1);
}

TEST(Break, InTheMiddleOfAStepKeepsTheStepCountAndNamesTheLastAntMoved) {
    for (int breakAfter : {1, 2}) {
        TestWorld t(RunMode::Indexed255, 50, {{0, 0, 1}, {10, 0, 1}, {20, 0, 1}});
        t.w.handBrakeCount = 1;
        t.pump.onProcess = [&](int calls) {
            if (calls == breakAfter) t.w.idle = 1;
        };
        t.run();
        EXPECT_EQ(t.w.counters.stepCount, 0);
        EXPECT_EQ(t.w.counters.currentAnt, breakAfter - 1);
        EXPECT_EQ(t.w.lastStop, StopReason::UserBreak);
        EXPECT_TRUE(t.messages.messages.empty());
        EXPECT_EQ(t.pos(2).y, 0) << "the last ant never moved";
    }
}

TEST(Break, AtTheEndOfAStepWithTheHandBrakeOff) {
    TestWorld t(RunMode::BlackWhite, 50, {{0, 0, 1}, {10, 0, 1}});
    t.w.limits.userMaxSteps = 1000;
    t.pump.onProcess = [&](int calls) {
        if (calls == 5) t.w.idle = 1;
    };
    t.run();
    EXPECT_EQ(t.w.counters.stepCount, 4) << "each step serves the events once; the fifth ends the run";
    EXPECT_EQ(t.w.counters.currentAnt, 1);
    EXPECT_TRUE(t.messages.messages.empty());
}

TEST(HandBrake, AtPositionHundredTheRunWaitsUntilBreak) {
    TestWorld t(RunMode::Indexed255, 50, {{0, 0, 1}, {10, 0, 1}});
    t.w.handBrakeCount = 5;
    t.w.trackBarPosition = 100;
    t.pump.onProcess = [&](int calls) {
        if (calls == 1000) t.w.idle = 1;
    };
    t.run();
    EXPECT_GE(t.pump.calls, 1000);
    EXPECT_EQ(t.w.counters.stepCount, 0);
    EXPECT_EQ(t.pos(0).y, -1) << "the first ant moved once";
    EXPECT_EQ(t.pos(1).y, 0) << "the second ant never got its turn";
}

TEST(HandBrake, CountsEventCallsPerMoveAndResumesBelowHundred) {
    TestWorld t(RunMode::Generalized, 50, {{0, 0, 0}});
    t.w.handBrakeCount = 3;
    t.w.trackBarPosition = 100;
    t.w.limits.userMaxSteps = 4;
    t.pump.onProcess = [&](int calls) {
        if (calls == 50) t.w.trackBarPosition = 99;  // the user moves the track bar down
    };
    t.run();
    EXPECT_EQ(t.w.counters.stepCount, 4);
    // 50 calls while paused (the 50th counts), 2 more for ant 1, then 3 per move and one per step.
    EXPECT_EQ(t.pump.calls, 50 + 2 + 1 + 3 * 3 + 3);
}

TEST(WrapAround, AntsAtTheEndsOfTheRangeWrapAndStopAtTheAxisBound) {
    for (RunMode mode : kAllModes) {
        TestWorld t(mode, 50, {{2147483647, -2147483647 - 1, codeFor(mode, 1)}}, true);
        t.w.limits.userMaxSteps = 3000;
        t.run();
        // The first move steps from Y = -2^31 to Y = 2^31 - 1; the box only follows real
        // extensions, so the run goes on until X reaches the bound.
        ASSERT_EQ(t.messages.messages.size(), 1u) << runModeName(mode);
        EXPECT_EQ(t.messages.messages[0].text, "Some axis boundary reached, breaked ... sorry");
        EXPECT_EQ(t.w.counters.maxX, 2147483647);
        EXPECT_EQ(t.w.counters.minY, 0);
        qmtest::ReferenceModel model;
        model.ants.push_back({2147483647, -2147483647 - 1, 0});
        for (int64_t i = 0; i <= t.w.counters.stepCount; ++i) model.step();
        EXPECT_EQ(t.pos(0).x, model.ants[0].x) << runModeName(mode);
        EXPECT_EQ(t.pos(0).y, model.ants[0].y) << runModeName(mode);
    }
}
