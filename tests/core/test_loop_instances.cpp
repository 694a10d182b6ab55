// The Langton loop runs as one of two instances: the general one, and one for a lone ant without
// the hand brake, which takes the steps between frames in one pass and carries its square index
// from move to move. Whichever runs, however often events switch between them, and whatever hooks
// are installed, a run must leave the same world behind and the hooks must see the same moves.

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "TestSupport.h"
#include "WorldSquares.h"

using namespace qm;
using namespace qmtest;

namespace {

struct Outcome {
    Squares squares;
    std::vector<std::tuple<int32_t, int32_t, uint8_t>> ants;  // position and direction code
    std::tuple<int64_t, int64_t, int64_t, int32_t, int32_t, int32_t, int32_t, int32_t> counters;
    StopReason stop = StopReason::None;
    std::vector<std::string> messages;
};

::testing::AssertionResult sameOutcome(const Outcome& a, const Outcome& b) {
    if (a.stop != b.stop) return ::testing::AssertionFailure() << "stop reasons differ";
    if (a.messages != b.messages) return ::testing::AssertionFailure() << "messages differ";
    if (a.counters != b.counters)
        return ::testing::AssertionFailure() << "counters differ: steps " << std::get<0>(a.counters) << " vs "
                                             << std::get<0>(b.counters) << ", filled " << std::get<1>(a.counters)
                                             << " vs " << std::get<1>(b.counters);
    if (a.ants != b.ants) return ::testing::AssertionFailure() << "ant positions or directions differ";
    if (a.squares != b.squares)
        return ::testing::AssertionFailure() << "painted squares differ (" << a.squares.size() << " vs "
                                             << b.squares.size() << ")";
    return ::testing::AssertionSuccess();
}

Outcome outcomeOf(TestWorld& t) {
    Outcome o;
    EXPECT_TRUE(allSquares(t.w, o.squares));
    for (int32_t i = 0; i < t.w.counters.antCount; ++i)
        o.ants.emplace_back(t.pos(i).x, t.pos(i).y, antDirection(t.w, i));
    const RunCounters& c = t.w.counters;
    o.counters = {c.stepCount, c.filled, c.peakFilled, c.minX, c.maxX, c.minY, c.maxY, c.currentAnt};
    o.stop = t.w.lastStop;
    for (const RecordedMessage& m : t.messages.messages) o.messages.push_back(m.text);
    return o;
}

// What the per-move hooks saw: how many calls, and a digest of the square, ant and turn of each.
struct HookLog {
    const World* w = nullptr;
    int64_t moves = 0;
    uint64_t digest = 0;
};

void recordMove(void* context) {
    auto& log = *static_cast<HookLog*>(context);
    const World& w = *log.w;
    const AntPos p = w.antPos[w.counters.currentAnt];
    ++log.moves;
    for (const int64_t value : {int64_t{p.x}, int64_t{p.y}, int64_t{w.counters.currentAnt}, int64_t{w.lastTurn}})
        log.digest = (log.digest ^ static_cast<uint64_t>(value)) * 0x100000001B3ull;
}

// Runs are driven with a frame every step and with the program's own frame spacing, which lets a
// lone ant take its steps between frames in one go.
enum class Driving { QuietEveryFrame, QuietLongFrames, Hooked, HookedLongFrames, Switching };

struct Scenario {
    const char* name;
    std::vector<AntSpec> ants;
    bool withStore;
    int64_t steps;
    int32_t axisBound = 2147483637;
    int64_t filledMax = 1ll << 40;
};

constexpr int32_t kHalfSize = 12;

// Runs the scenario driven one way; `log` records the per-move hook calls that happened.
Outcome runDriven(RunMode mode, const Scenario& s, Driving driving, HookLog& log) {
    TestWorld t(mode, kHalfSize, s.ants, s.withStore);
    t.w.limits.userMaxSteps = s.steps;
    t.w.limits.axisBound = s.axisBound;
    t.w.limits.axisBoundNeg = -s.axisBound;
    t.w.limits.filledMax = s.filledMax;
    const bool longFrames = driving == Driving::QuietLongFrames || driving == Driving::HookedLongFrames;
    t.w.frameCountdownReload = longFrames ? 4096 : driving == Driving::Switching ? 3 : 1;
    log = HookLog{&t.w};
    auto install = [&](bool hooks) {
        t.w.hooks.paint = t.w.hooks.erase = hooks ? &recordMove : &noHook;
        t.w.hooks.context = &log;
    };
    install(driving == Driving::Hooked || driving == Driving::HookedLongFrames);
    if (driving == Driving::Switching) {
        // Every event call changes what the loop must do: hooks on, brake on, brake off, hooks off.
        t.pump.onProcess = [&](int call) {
            switch (call % 4) {
                case 0: install(true); break;
                case 1: t.w.handBrakeCount = 1; break;
                case 2: t.w.handBrakeCount = 0; break;
                default: install(false); break;
            }
        };
    }
    t.run();
    return outcomeOf(t);
}

const Scenario kScenarios[] = {
    {"LoneAntCrossingTheBorder", {{kHalfSize - 2, 0, DirXPlus}}, true, 9000},
    {"LoneAntStartingOutsideWithCode44", {{kHalfSize + 1, -3, 44}}, true, 9000},
    {"LoneAntWithCodeZero", {{0, 0, 0}}, true, 3000},
    {"ThreeAnts", {{kHalfSize, 0, DirXPlus}, {-3, 5, DirYMinus}, {2, -kHalfSize - 4, 7}}, true, 6000},
    {"LoneAntLeavingWithoutStore", {{5, 5, DirYPlus}}, false, 9000},
    {"LoneAntAtTheAxisBound", {{0, 0, DirXMinus}}, false, 9000, 9},
    {"TwoAntsAtTheAxisBound", {{0, 0, DirXMinus}, {3, 3, DirYMinus}}, false, 9000, 10},
    {"LoneAntAtTheFilledMaximum", {{0, 0, DirYMinus}}, true, 9000, 2147483637, 40},
    {"LoneAntStoppedByMaxStepsBetweenFrames", {{1, 1, DirXPlus}}, false, 777},
};

class LoopInstances : public ::testing::TestWithParam<RunMode> {};

}  // namespace

TEST_P(LoopInstances, QuietHookedAndSwitchingRunsLeaveTheSameWorld) {
    const RunMode mode = GetParam();
    for (const Scenario& s : kScenarios) {
        SCOPED_TRACE(s.name);
        HookLog quietLog, longLog, hookedLog, hookedLongLog, switchingLog;
        const Outcome quiet = runDriven(mode, s, Driving::QuietEveryFrame, quietLog);
        const Outcome longFrames = runDriven(mode, s, Driving::QuietLongFrames, longLog);
        const Outcome hooked = runDriven(mode, s, Driving::Hooked, hookedLog);
        const Outcome hookedLong = runDriven(mode, s, Driving::HookedLongFrames, hookedLongLog);
        const Outcome switching = runDriven(mode, s, Driving::Switching, switchingLog);
        EXPECT_TRUE(sameOutcome(quiet, longFrames));
        EXPECT_TRUE(sameOutcome(quiet, hooked));
        EXPECT_TRUE(sameOutcome(quiet, hookedLong));
        EXPECT_TRUE(sameOutcome(quiet, switching));
        EXPECT_EQ(quietLog.moves + longLog.moves, 0);
        EXPECT_EQ(hookedLongLog.moves, hookedLog.moves);
        EXPECT_EQ(hookedLongLog.digest, hookedLog.digest) << "the hooks saw the same squares, ants and turns";
        const int64_t hookedMoves = hookedLog.moves;
        EXPECT_GT(switchingLog.moves, 0);
        EXPECT_LT(switchingLog.moves, hookedMoves) << "the switching run spent steps in both kinds of loop";
        // Every move of the hooked run went through a hook, including one that stopped the run,
        // except an indexed move whose square could not be set.
        const auto& [steps, filled, peak, minX, maxX, minY, maxY, current] = hooked.counters;
        const int64_t completedSteps = steps * static_cast<int64_t>(s.ants.size());
        const int64_t partOfAStep = hooked.stop == StopReason::MaxSteps ? 0 : current + 1;
        const int64_t unpainted = isIndexed(mode) && hooked.stop == StopReason::CannotSet ? 1 : 0;
        EXPECT_EQ(hookedMoves, completedSteps + partOfAStep - unpainted);
    }
}

TEST_P(LoopInstances, ScenariosReachWhatTheyAreAbout) {
    const RunMode mode = GetParam();
    HookLog log;
    auto run = [&](int scenario) { return runDriven(mode, kScenarios[scenario], Driving::QuietLongFrames, log); };
    const Outcome crossing = run(0);
    EXPECT_EQ(crossing.stop, StopReason::MaxSteps);
    EXPECT_GT(std::get<4>(crossing.counters), kHalfSize) << "the lone ant went beyond the grid";
    EXPECT_EQ(run(4).stop, StopReason::CannotSet);
    EXPECT_EQ(run(5).stop, StopReason::Axis);
    const Outcome filled = run(7);
    EXPECT_EQ(filled.stop, StopReason::Filled);
    EXPECT_EQ(std::get<1>(filled.counters), 40);
    const Outcome maxSteps = run(8);
    EXPECT_EQ(maxSteps.stop, StopReason::MaxSteps);
    EXPECT_EQ(std::get<0>(maxSteps.counters), 777);
}

TEST_P(LoopInstances, LoneAntContinuingAtTheFilledMaximumStopsAtItsFirstRightTurn) {
    // Four right turns bring a fresh ant back to its first, now painted, square.
    TestWorld t(GetParam(), kHalfSize, {{0, 0, DirYMinus}}, true);
    t.w.limits.userMaxSteps = 4;
    t.run();
    ASSERT_EQ(t.w.counters.filled, 4);
    // The run goes on with the maximum standing reached: a left turn first, then the lone pass.
    t.w.limits.filledMax = 4;
    t.w.limits.userMaxSteps = 9000;
    t.w.frameCountdownReload = 4096;
    t.pump.frameAlwaysDue = false;
    t.w.idle = 0;
    t.run();
    EXPECT_EQ(t.w.lastStop, StopReason::Filled);
    EXPECT_EQ(t.w.counters.filled, 4);
    EXPECT_EQ(t.w.counters.stepCount, 5);
}

INSTANTIATE_TEST_SUITE_P(LangtonModes, LoopInstances,
                         ::testing::Values(RunMode::Indexed15, RunMode::Indexed255, RunMode::Indexed65535,
                                           RunMode::BlackWhite),
                         [](const ::testing::TestParamInfo<RunMode>& info) {
                             return std::string(runModeName(info.param));
                         });
