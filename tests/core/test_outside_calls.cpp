// The window's per-move hooks keep what they derive from the window (image addresses, scales,
// colours) for as long as the world's count of outside calls stands still. So a run must move the
// count at its start and before every event processing, step hook and message, in every loop
// instance: a change the count hides would have the next move draw into a freed image.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestSupport.h"

using namespace qm;
using namespace qmtest;

namespace {

// Stands for the window: every call out of the loop may change it, and every move checks that
// the count told it so.
struct WindowWatch {
    const World* w = nullptr;
    bool changed = true;  // whatever was set up before the run
    uint64_t countSeen = 0;
    int64_t moves = 0;
    int64_t unnoticedChanges = 0;
    int outsideCalls = 0;
    uint64_t countAtLastCall = UINT64_MAX;
    int uncountedCalls = 0;  // outside calls that found the count where the one before had left it

    void outsideCall() {
        changed = true;
        ++outsideCalls;
        if (w->outsideCalls == countAtLastCall) ++uncountedCalls;
        countAtLastCall = w->outsideCalls;
    }
};

void onMove(void* context) {
    WindowWatch& watch = *static_cast<WindowWatch*>(context);
    ++watch.moves;
    if (watch.changed && watch.w->outsideCalls == watch.countSeen) ++watch.unnoticedChanges;
    watch.changed = false;
    watch.countSeen = watch.w->outsideCalls;
}

void onStep(void* context) { static_cast<WindowWatch*>(context)->outsideCall(); }

class WatchedMessages final : public MessageSink {
public:
    explicit WatchedMessages(WindowWatch& watch) : watch_(watch) {}
    BoxResult showMessage(const std::string& text, BoxType, BoxButtons) override {
        watch_.outsideCall();
        texts.push_back(text);
        return BoxResult::Ok;
    }
    std::vector<std::string> texts;

private:
    WindowWatch& watch_;
};

struct Driving {
    const char* name;
    int32_t frameCountdownReload;
    uint32_t handBrake;
};

const Driving kDrivings[] = {
    {"FrameEveryStep", 1, 0},
    {"LongFrames", 4096, 0},
    {"FramesEveryThirdStep", 3, 0},
    {"HandBrake", 1, 2},
};

struct Crowd {
    const char* name;
    std::vector<AntSpec> ants;
};

const Crowd kCrowds[] = {
    {"LoneAnt", {{0, 0, DirXPlus}}},
    {"ThreeAnts", {{0, 0, DirXPlus}, {4, -2, DirYMinus}, {-5, 3, DirXMinus}}},
};

// A world whose pump, step hook, messages and per-move hooks all report to one watch.
struct WatchedWorld {
    TestWorld t;
    WindowWatch watch{&t.w};
    WatchedMessages messages{watch};

    WatchedWorld(RunMode mode, const std::vector<AntSpec>& ants, bool withStore, const Driving& driving)
        : t(mode, 20, ants, withStore, 3) {
        t.w.messages = &messages;
        t.w.hooks = {&onMove, &onMove, &onMove, &onStep, &watch};
        t.w.frameCountdownReload = driving.frameCountdownReload;
        t.w.handBrakeCount = driving.handBrake;
        t.pump.onProcess = [this](int) { watch.outsideCall(); };
        watch.countSeen = t.w.outsideCalls;
    }
    WatchedWorld(const WatchedWorld&) = delete;  // the hooks and the pump point into it
};

class OutsideCalls : public ::testing::TestWithParam<RunMode> {};

}  // namespace

TEST_P(OutsideCalls, EveryCallOutsideTheLoopIsCountedBeforeTheNextMove) {
    const RunMode mode = GetParam();
    for (const Crowd& crowd : kCrowds) {
        for (const Driving& driving : kDrivings) {
            SCOPED_TRACE(std::string(crowd.name) + " / " + driving.name);
            WatchedWorld world(mode, crowd.ants, true, driving);
            TestWorld& t = world.t;
            WindowWatch& watch = world.watch;
            t.w.limits.userMaxSteps = 600;
            t.run();
            // A second run on the same world: its start counts as well.
            watch.changed = true;
            t.w.limits.userMaxSteps = 900;
            t.w.idle = 0;
            t.run();
            EXPECT_EQ(t.w.lastStop, StopReason::MaxSteps);
            EXPECT_GT(watch.moves, 0);
            EXPECT_GT(watch.outsideCalls, 0);
            EXPECT_EQ(watch.unnoticedChanges, 0);
            EXPECT_EQ(watch.uncountedCalls, 0);
        }
    }
}

// Runs that end with a message: the message is an outside call too.
TEST_P(OutsideCalls, StopMessagesAreCounted) {
    for (const Driving& driving : kDrivings) {
        SCOPED_TRACE(driving.name);
        WatchedWorld world(GetParam(), {{0, 0, DirXPlus}}, false, driving);
        world.t.w.limits.userMaxSteps = 100000;  // the ant leaves the grid first
        world.t.run();
        ASSERT_EQ(world.messages.texts.size(), 1u);
        EXPECT_NE(world.t.w.lastStop, StopReason::MaxSteps);
        EXPECT_EQ(world.watch.uncountedCalls, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(AllModes, OutsideCalls,
                         ::testing::Values(RunMode::Indexed15, RunMode::Indexed255, RunMode::Indexed65535,
                                           RunMode::BlackWhite, RunMode::Generalized),
                         [](const ::testing::TestParamInfo<RunMode>& info) {
                             return std::string(runModeName(info.param));
                         });
