// Worlds that last: a run saved, opened and continued, or broken and continued, or taken back to
// an earlier step and on again, must end exactly as the run that was never interrupted; a file
// that cannot be trusted changes nothing.

#include <gtest/gtest.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zstd.h>

#include <algorithm>
#include <cstring>

#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "TempDir.h"
#include "TestSupport.h"
#include "WorldSquares.h"
#include "core/ByteStream.h"
#include "core/GridChunks.h"
#include "core/GridLines.h"
#include "core/TouchedPages.h"
#include "core/WorldFileFormat.h"
#include "core/RunContinue.h"
#include "core/StoreBlocks.h"
#include "core/Timeline.h"
#include "core/WorldFile.h"
#include "core/MemoryBudget.h"
#include "core/WorldReaderParts.h"

using namespace qm;
using namespace qmtest;

namespace {

struct Case {
    RunMode mode;
    bool beyondGrid;  // small grid and a store, so that the ants leave the grid
};

std::string nameOf(const ::testing::TestParamInfo<Case>& info) {
    return std::string(runModeName(info.param.mode)) + (info.param.beyondGrid ? "_store" : "_grid");
}

std::vector<AntSpec> antsFor(RunMode mode) {
    const bool gen = mode == RunMode::Generalized;
    auto dir = [gen](uint8_t code) { return static_cast<uint8_t>(gen ? code - 1 : code); };
    std::vector<AntSpec> ants = {{12, 0, dir(1)}, {-11, 6, dir(2)}, {4, 12, dir(3)}, {-7, -9, dir(4)}, {0, 0, dir(1)}};
    const uint64_t programs[] = {0b010, 0b011, 0b100, 0b010, 0b011};
    for (std::size_t i = 0; gen && i < ants.size(); ++i) ants[i].program = programs[i];
    return ants;
}

std::unique_ptr<TestWorld> makeWorld(const Case& c) {
    auto t = std::make_unique<TestWorld>(c.mode, c.beyondGrid ? 12 : 300, antsFor(c.mode), c.beyondGrid, 3);
    if (c.beyondGrid) createSparseStore(t->w, 64);
    return t;
}

constexpr int64_t kTotalSteps = 4000;
constexpr int64_t kSavedAt = 1700;

// Counters, ants, squares and where the run picks up again.
void expectSameRun(World& expected, World& actual) {
    const RunCounters& e = expected.counters;
    const RunCounters& a = actual.counters;
    EXPECT_EQ(std::tie(e.stepCount, e.filled, e.peakFilled, e.antCount, e.currentAnt),
              std::tie(a.stepCount, a.filled, a.peakFilled, a.antCount, a.currentAnt));
    EXPECT_EQ(std::tie(e.minX, e.maxX, e.minY, e.maxY), std::tie(a.minX, a.maxX, a.minY, a.maxY));
    EXPECT_EQ(expected.resumeAnt, actual.resumeAnt);
    EXPECT_EQ(expected.lastStop, actual.lastStop);
    for (int32_t i = 0; i < e.antCount && i < a.antCount; ++i) {
        EXPECT_EQ(expected.antPos[i].x, actual.antPos[i].x) << "ant " << i;
        EXPECT_EQ(expected.antPos[i].y, actual.antPos[i].y) << "ant " << i;
        EXPECT_EQ(antDirection(expected, i), antDirection(actual, i)) << "ant " << i;
        if (isIndexed(expected.mode())) {
            EXPECT_EQ(expected.antColour[i], actual.antColour[i]);
        }
        if (expected.generalized) {
            EXPECT_EQ(expected.antProgram[i], actual.antProgram[i]);
        }
    }
    Squares expectedSquares, actualSquares;
    ASSERT_TRUE(allSquares(expected, expectedSquares));
    ASSERT_TRUE(allSquares(actual, actualSquares));
    EXPECT_EQ(expectedSquares.size(), actualSquares.size());
    EXPECT_TRUE(expectedSquares == actualSquares);
}

// Opens `path` into a world wired to a fresh pump and message sink.
struct OpenedWorld {
    World w;
    ScriptedPump pump;
    RecordingMessages messages;
    std::string error;
    explicit OpenedWorld(const std::string& path) {
        w.pump = &pump;
        w.messages = &messages;
        w.frameCountdownReload = 1;
        auto loaded = readWorldFile(path, w, error);
        if (loaded) installWorld(w, *loaded);
    }
};

WorldDocument documentFor(RunMode mode) {
    WorldDocument d;
    d.settings.mode = mode;
    d.settings.states = 3;
    d.settings.spectrum = 2;
    d.settings.memoryItem = 3;
    d.settings.continueCompute = true;
    d.settings.viewOffsetX = -17;
    d.settings.viewOffsetY = 42;
    d.settings.squareSizeItem = 4;
    d.definitionText = "0,0,1\n3,4,LT\n";
    return d;
}

class WorldContinue : public ::testing::TestWithParam<Case> {
protected:
    void SetUp() override {
        uninterrupted = makeWorld(GetParam());
        uninterrupted->w.limits.userMaxSteps = kTotalSteps;
        uninterrupted->run();
        ASSERT_EQ(uninterrupted->w.lastStop, StopReason::MaxSteps);
        ASSERT_TRUE(uninterrupted->messages.messages.empty()) << uninterrupted->messages.messages[0].text;
        if (GetParam().beyondGrid) {
            ASSERT_GT(storeCount(uninterrupted->w), 50) << "the ants must leave the grid";
        }
    }
    std::unique_ptr<TestWorld> uninterrupted;
    TempDir dir;
};

}  // namespace

TEST_P(WorldContinue, SavedAtAStepOpenedAndContinuedEqualsUninterrupted) {
    auto first = makeWorld(GetParam());
    first->w.limits.userMaxSteps = kSavedAt;
    first->run();
    ASSERT_EQ(first->w.counters.stepCount, kSavedAt);
    const std::string path = dir.pathOf("world.qmw");
    const WorldDocument document = documentFor(GetParam().mode);
    ASSERT_EQ(saveWorldFile(path, first->w, document), "");

    OpenedWorld opened(path);
    ASSERT_EQ(opened.error, "");
    World& w = opened.w;
    expectSameRun(first->w, w);
    EXPECT_EQ(w.mode(), GetParam().mode);
    EXPECT_EQ(w.limits.stepMax, first->w.limits.stepMax);
    EXPECT_EQ(w.limits.filledMax, first->w.limits.filledMax);
    w.limits.userMaxSteps = kTotalSteps;
    ASSERT_TRUE(canContinue(w));
    w.idle = 0;
    runStepLoop(w);
    expectSameRun(uninterrupted->w, w);
    EXPECT_TRUE(opened.messages.messages.empty());
}

TEST_P(WorldContinue, BrokenInsideAStepContinuedDirectlyAndThroughAFileEqualsUninterrupted) {
    // The hand brake serves events after every move: the break lands after the third ant.
    auto broken = makeWorld(GetParam());
    broken->w.limits.userMaxSteps = kTotalSteps;
    broken->w.handBrakeCount = 1;
    const int breakAt = static_cast<int>(kSavedAt) * 6 + 3;  // five moves and one step end a step
    broken->pump.onProcess = [&](int call) {
        if (call == breakAt) broken->w.idle = 1;
    };
    broken->run();
    ASSERT_EQ(broken->w.lastStop, StopReason::UserBreak);
    ASSERT_GT(broken->w.resumeAnt, 0);
    ASSERT_LT(broken->w.resumeAnt, 5) << "the break must fall inside a step";
    EXPECT_EQ(broken->w.resumeAnt, broken->w.counters.currentAnt + 1);
    const std::string path = dir.pathOf("broken.qmw");
    ASSERT_EQ(saveWorldFile(path, broken->w, documentFor(GetParam().mode)), "");

    broken->pump.onProcess = nullptr;
    broken->w.handBrakeCount = 0;
    ASSERT_TRUE(canContinue(broken->w));
    broken->w.idle = 0;
    broken->run();
    expectSameRun(uninterrupted->w, broken->w);

    OpenedWorld opened(path);
    ASSERT_EQ(opened.error, "");
    opened.w.limits.userMaxSteps = kTotalSteps;
    opened.w.idle = 0;
    runStepLoop(opened.w);
    expectSameRun(uninterrupted->w, opened.w);
}


// A run recorded on its timeline, with a checkpoint due every 500 steps (a step "takes" a
// millisecond), then taken to steps back and forth: at each it equals the run stopped there, and
// taken back to the end it equals the run never taken back.
// What checkpoints hold in memory, each store block once however many share it.
uint64_t heldBytes(Checkpoints& checkpoints) {
    uint64_t held = 0;
    std::set<const StoreBlock*> blocks;
    for (const Checkpoint& c : checkpoints.all()) {
        held += c.bytes.size() + gridLinesBytes(c.grid) + c.painted.size() * sizeof(uint64_t) + c.store.size() * sizeof(c.store[0]);
        for (const auto& block : c.store)
            if (blocks.insert(block.get()).second) held += block->bytes.size() + sizeof(StoreBlock);
    }
    return held;
}

struct Recorded {
    explicit Recorded(uint64_t budget) : timeline(budget) {}
    Timeline timeline;
    World* world = nullptr;
    static void stepEnd(void* self) {
        auto& r = *static_cast<Recorded*>(self);
        r.timeline.atStepEnd(*r.world, static_cast<double>(r.world->counters.stepCount + 1) / 1000.0);
    }
};

TEST_P(WorldContinue, TakenBackOrOnToAnyStepEqualsTheRunStoppedThere) {
  // Checkpoints as they fall due, or thinned to a few by a small budget (long replays, which go
  // in pieces and keep checkpoints of their own).
  for (uint64_t budget : {uint64_t{1} << 30, uint64_t{1500}}) {
    SCOPED_TRACE(budget);
    auto t = makeWorld(GetParam());
    World& w = t->w;
    Recorded recorded(budget);
    recorded.timeline.checkpoints().setStoreBlockBits(2);  // blocks of a few squares, most shared
    recorded.world = &w;
    recorded.timeline.start(w, 0.0, true);  // a fresh start
    w.hooks.step = &Recorded::stepEnd;
    w.hooks.context = &recorded;
    w.frameCountdownReload = 1;
    w.limits.userMaxSteps = kTotalSteps;
    t->run();
    w.idle = 1;  // as the window leaves a run that ended
    recorded.timeline.atStop(w, static_cast<double>(kTotalSteps) / 1000.0);
    if (budget > 1500) {
        ASSERT_GE(recorded.timeline.checkpoints().all().size(), 8u);
    }
    EXPECT_LE(recorded.timeline.checkpoints().bytes(), budget);
    w.limits.userMaxSteps = 100;  // "Max steps:" holds no jump and is left as it was

    // Back, at a checkpoint, on without one between, on over checkpoints, to the start and back.
    for (int64_t k : {int64_t{1701}, int64_t{1500}, int64_t{1750}, int64_t{3999}, int64_t{0}, int64_t{1}, int64_t{2999}}) {
        SCOPED_TRACE(k);
        const JumpResult jump = recorded.timeline.goTo(w, k);
        EXPECT_TRUE(jump.reached);
        EXPECT_EQ(jump.message, "");
        auto stopped = makeWorld(GetParam());
        stopped->w.limits.userMaxSteps = k;
        stopped->run();
        expectSameRun(stopped->w, w);
        EXPECT_NEAR(w.counters.elapsedDays * 86400.0, static_cast<double>(k) / 1000.0, 1e-6);
        EXPECT_EQ(w.limits.userMaxSteps, 100);
        EXPECT_EQ(w.hooks.step, &Recorded::stepEnd);
        EXPECT_EQ(w.idle, 1);
    }
    EXPECT_TRUE(recorded.timeline.goTo(w, kTotalSteps).reached);
    expectSameRun(uninterrupted->w, w);
    EXPECT_LE(recorded.timeline.checkpoints().bytes(), budget);
    EXPECT_EQ(recorded.timeline.checkpoints().bytes(), heldBytes(recorded.timeline.checkpoints()));
  }
}

INSTANTIATE_TEST_SUITE_P(EveryMode, WorldContinue,
                         ::testing::Values(Case{RunMode::Indexed15, false}, Case{RunMode::Indexed15, true},
                                           Case{RunMode::Indexed255, false}, Case{RunMode::Indexed255, true},
                                           Case{RunMode::Indexed65535, false}, Case{RunMode::Indexed65535, true},
                                           Case{RunMode::BlackWhite, false}, Case{RunMode::BlackWhite, true},
                                           Case{RunMode::Generalized, false}, Case{RunMode::Generalized, true}),
                         nameOf);

TEST(WorldFileContent, DocumentComesBackAsSaved) {
    TempDir dir;
    TestWorld t(RunMode::Generalized, 40, antsFor(RunMode::Generalized), false, 3);
    t.w.limits.userMaxSteps = 50;
    t.run();
    t.w.counters.elapsedDays = 0.25;
    const WorldDocument saved = documentFor(RunMode::Generalized);
    const std::string path = dir.pathOf("doc.qmw");
    ASSERT_EQ(saveWorldFile(path, t.w, saved), "");
    World target;
    std::string error;
    auto loaded = readWorldFile(path, target, error);
    ASSERT_TRUE(loaded) << error;
    const WorldSettings& s = loaded->document.settings;
    EXPECT_EQ(loaded->document.definitionText, saved.definitionText);
    EXPECT_EQ(std::tie(s.states, s.spectrum, s.memoryItem, s.continueCompute, s.viewOffsetX, s.viewOffsetY,
                       s.squareSizeItem),
              std::tie(saved.settings.states, saved.settings.spectrum, saved.settings.memoryItem,
                       saved.settings.continueCompute, saved.settings.viewOffsetX, saved.settings.viewOffsetY,
                       saved.settings.squareSizeItem));
    EXPECT_EQ(s.mode, RunMode::Generalized);
    EXPECT_DOUBLE_EQ(loaded->counters.elapsedDays, 0.25);
}

TEST(WorldFileContent, SizeFollowsThePaintedSquaresNotTheGrid) {
    TempDir dir;
    TestWorld t(RunMode::Indexed255, 4000, {{0, 0, 1}});  // a 64 MB grid
    t.w.limits.userMaxSteps = 20000;
    t.run();
    const std::string path = dir.pathOf("lone.qmw");
    ASSERT_EQ(saveWorldFile(path, t.w, {}), "");
    EXPECT_LT(std::filesystem::file_size(path), 24u * 1024) << "a few kilobytes";
}

// --- Files that cannot be trusted ---

namespace {

class TinyMachine final : public MemoryStatusSource {
public:
    MemoryStatus query() override { return {64u << 20, 32u << 20}; }
};

class BadWorldFiles : public ::testing::Test {
protected:
    void SetUp() override {
        TestWorld t(RunMode::BlackWhite, 12, antsFor(RunMode::BlackWhite), true);
        createSparseStore(t.w, 64);
        t.w.limits.userMaxSteps = 500;
        t.run();
        const std::string path = dir.pathOf("good.qmw");
        ASSERT_EQ(saveWorldFile(path, t.w, documentFor(RunMode::BlackWhite)), "");
        std::ifstream in(path, std::ios::binary);
        good.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        ASSERT_GT(good.size(), 100u);
        // The world on screen: another run, which a failed open must leave alone.
        screen = std::make_unique<TestWorld>(RunMode::Indexed15, 30, antsFor(RunMode::Indexed15));
        screen->w.limits.userMaxSteps = 300;
        screen->run();
        ASSERT_TRUE(allSquares(screen->w, screenSquares));
    }
    // The reason the bytes are refused; the world on screen must be unchanged.
    std::string refusal(const std::string& bytes) {
        std::string error;
        const std::string path = dir.write("bad.qmw", bytes);
        auto loaded = readWorldFile(path, screen->w, error);
        EXPECT_EQ(loaded, nullptr);
        Squares now;
        EXPECT_TRUE(allSquares(screen->w, now));
        EXPECT_TRUE(now == screenSquares);
        EXPECT_EQ(screen->w.counters.stepCount, 300);
        EXPECT_EQ(screen->w.mode(), RunMode::Indexed15);
        return error;
    }
    static void setCrc(std::string& bytes) {
        const uint32_t crc = crc32(bytes.data(), bytes.size() - 4);
        for (int i = 0; i < 4; ++i) bytes[bytes.size() - 4 + static_cast<std::size_t>(i)] = static_cast<char>(crc >> (8 * i));
    }
    TempDir dir;
    std::string good;
    std::unique_ptr<TestWorld> screen;
    Squares screenSquares;
};

}  // namespace

TEST_F(BadWorldFiles, EachFaultHasItsOwnReason) {
    EXPECT_EQ(refusal("0,0,1\n1,1,2\n"), "it is not a world file");
    EXPECT_EQ(refusal(""), "it is not a world file");
    EXPECT_EQ(refusal(good.substr(0, 14)), "the file is truncated");
    const std::string cut = "its checksum does not match (the file is truncated or damaged)";
    EXPECT_EQ(refusal(good.substr(0, good.size() / 2)), cut);
    EXPECT_EQ(refusal(good.substr(0, good.size() - 4)), cut);

    // Damage is found by the checksum before anything it altered is read: a bit flipped in the
    // squares, a section's tag or length, or the version.
    const std::string damaged = "its checksum does not match (the file is damaged)";
    for (std::size_t at : {good.size() / 2, good.find("GRID"), good.find("GRID") + 4, std::size_t{8}}) {
        std::string flipped = good;
        flipped[at] = static_cast<char>(flipped[at] ^ 0x10);
        const std::string reason = refusal(flipped);
        EXPECT_TRUE(reason == damaged || reason == cut) << "byte " << at << ": " << reason;
    }

    std::string newer = good;
    newer[8] = 2;
    setCrc(newer);
    EXPECT_EQ(refusal(newer).rfind("it was written by a newer version of the program (format 2", 0), 0u);

    TinyMachine tiny;
    setMemoryStatusSource(&tiny);
    std::string huge = good;  // the grid's half size raised to 30000: 110 MB of bits
    const std::size_t at = huge.find("GRID") + 12;
    const int32_t half = 30000;
    std::memcpy(&huge[at], &half, 4);
    setCrc(huge);
    const std::string reason = refusal(huge);
    setMemoryStatusSource(nullptr);
    EXPECT_NE(reason.find("the file is damaged (grid size)"), std::string::npos) << reason;
}

TEST_F(BadWorldFiles, MoreMemoryThanTheMachineHasIsRefusedBeforeAllocating) {
    WorldDocument document;  // the grid of the 112Mb choice
    document.settings.memoryItem = 3;
    TestWorld big(RunMode::Indexed255, computeHalfSizes(AntMaxChoice::Ants255)[3], {{0, 0, 1}});
    big.w.limits.userMaxSteps = 10;
    big.run();
    const std::string path = dir.pathOf("big.qmw");
    ASSERT_EQ(saveWorldFile(path, big.w, document), "");
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    TinyMachine tiny;
    CountingAllocator counting;
    setMemoryStatusSource(&tiny);
    std::string reason;
    {
        AllocatorGuard guard(&counting);
        reason = refusal(bytes);
    }
    setMemoryStatusSource(nullptr);
    EXPECT_EQ(reason, "it needs 111 MB of memory, more than this machine has (64 MB)");
    EXPECT_LT(counting.allocations, 5) << "the ant arrays at most, never the grid";
}

namespace {

// Sums the bytes asked for, so that a test sees what a file made the reader take.
class ByteCountingAllocator final : public Allocator {
public:
    void* allocate(std::size_t bytes) override {
        taken += bytes;
        return allocatorDefault().allocate(bytes);
    }
    void* reallocate(void* block, std::size_t bytes) override {
        taken += bytes;
        return allocatorDefault().reallocate(block, bytes);
    }
    void release(void* block) override { allocatorDefault().release(block); }
    uint64_t taken = 0;
};

// The bytes with the store section's payload replaced and the checksum made right again.
std::string withStorePayload(const std::string& bytes, const std::string& payload) {
    const std::size_t at = bytes.rfind("STOR");
    std::string out = bytes.substr(0, at + 4);
    const uint64_t length = payload.size();
    out.append(reinterpret_cast<const char*>(&length), 8);
    out += payload + "CRC!";
    const uint32_t crc = crc32(out.data(), out.size() - 4);
    std::memcpy(&out[out.size() - 4], &crc, 4);
    return out;
}

}  // namespace

TEST_F(BadWorldFiles, SmallCraftedFilesTakeNoMoreMemoryThanTheirContentNeeds) {
    // A store declaring 50 million squares in a frame of a few kilobytes: refused once the squares
    // that arrive are wrong, before memory for the declared count is taken.
    const uint32_t count = 50000000;
    const std::string zeros(std::size_t{count} * 8, '\0');
    std::string frame(ZSTD_compressBound(zeros.size()), '\0');
    frame.resize(ZSTD_compress(frame.data(), frame.size(), zeros.data(), zeros.size(), 19));
    std::string payload(1, '\x02');
    payload.append(reinterpret_cast<const char*>(&count), 4);
    const uint64_t frameLength = frame.size();
    payload.append(reinterpret_cast<const char*>(&frameLength), 8);
    payload += frame;
    const std::string crafted = withStorePayload(good, payload);
    ASSERT_LT(crafted.size(), 1u << 20);
    ByteCountingAllocator counting;
    std::string reason;
    {
        AllocatorGuard guard(&counting);
        reason = refusal(crafted);
    }
    EXPECT_EQ(reason.rfind("the file is damaged", 0), 0u) << reason;
    EXPECT_LT(counting.taken, 64u << 20);

    // A grid whose half size no memory choice gives (here a little above the smallest's).
    TestWorld odd(RunMode::BlackWhite, computeHalfSizes(AntMaxChoice::BlackWhite)[0] + 1, {{0, 0, 1}});
    odd.w.limits.userMaxSteps = 10;
    odd.run();
    const std::string path = dir.pathOf("odd.qmw");
    ASSERT_EQ(saveWorldFile(path, odd.w, documentFor(RunMode::BlackWhite)), "");
    std::ifstream in(path, std::ios::binary);
    EXPECT_EQ(refusal(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>())),
              "the file is damaged (grid size)");
}

TEST(WorldFileNames, OnlyRegularFilesAreReadAndAPipeIsNeverWaitedOn) {
    TempDir dir;
    const std::string pipe = dir.pathOf("pipe");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    World w;
    for (const std::string& name : {pipe, dir.pathOf("")}) {
        std::string error;
        EXPECT_EQ(readWorldFile(name, w, error), nullptr);
        EXPECT_EQ(error, "it is not a regular file") << name;
        EXPECT_FALSE(startsAsWorldFile(name)) << name;
    }
}

TEST(WorldReaderMemory, TheBillIsAgainstTheWholeMachineNotTheDialogsFigure) {
    class LargeMachine final : public MemoryStatusSource {
    public:
        MemoryStatus query() override { return {UINT32_MAX, UINT32_MAX, 24ull << 30}; }
    } large;
    setMemoryStatusSource(&large);
    worldread::MemoryBill bill;
    bill.add(6ull << 30);
    EXPECT_NO_THROW(bill.check());
    bill.add(20ull << 30);
    EXPECT_THROW(bill.check(), worldread::Unusable);
    setMemoryStatusSource(nullptr);
}

TEST_F(BadWorldFiles, ValuesNoRunCanLeaveAreRefused) {
    auto patched = [&](const char* section, std::size_t offset, const std::string& value) {
        std::string bytes = good;
        bytes.replace(bytes.find(section) + 12 + offset, value.size(), value);
        setCrc(bytes);
        return refusal(bytes);
    };
    EXPECT_EQ(patched("SETT", 0, std::string(1, '\x07')), "the file is damaged (run mode)");
    EXPECT_EQ(patched("CNTR", 44, std::string("\x09\0\0\0", 4)), "the file is damaged (current ant)");
    EXPECT_EQ(patched("CNTR", 48, std::string("\x07\0\0\0", 4)), "the file is damaged (resume point)");
    EXPECT_EQ(patched("STOR", 0, std::string(1, '\x01')), "the file is damaged (store kind)");
    EXPECT_EQ(patched("GRID", 4, std::string(1, '\x01')), "the file is damaged (grid cell width)");
    // A count no frame of that length can unpack to is refused before memory is asked for.
    EXPECT_EQ(patched("STOR", 1, std::string("\xff\xff\xff\x0f", 4)), "the file is damaged (stored squares)");
}

// --- When a stopped run may go on ---

TEST(ContinueGate, ALimitThatStillHoldsKeepsTheRunStopped) {
    TestWorld t(RunMode::Indexed255, 200, {{0, 0, 1}});
    t.w.limits.filledMax = 40;
    t.w.limits.userMaxSteps = 100000;
    t.run();
    ASSERT_EQ(t.w.lastStop, StopReason::Filled);
    EXPECT_FALSE(canContinue(t.w));
    t.w.limits.filledMax = 60;
    EXPECT_TRUE(canContinue(t.w));
    t.w.idle = 0;
    t.run();
    EXPECT_EQ(t.w.lastStop, StopReason::Filled);
    EXPECT_EQ(t.w.counters.filled, 60);

    t.w.limits.filledMax = 1 << 30;
    t.w.limits.userMaxSteps = t.w.counters.stepCount;
    EXPECT_FALSE(canContinue(t.w)) << "\"Max steps:\" reached";
    t.w.limits.userMaxSteps = t.w.counters.stepCount + 1;
    EXPECT_TRUE(canContinue(t.w));
    t.w.idle = 0;
    EXPECT_FALSE(canContinue(t.w)) << "not while running";
}

TEST(ContinueGate, FailedUpdateHoldsUntilTheSquareCanBeKept) {
    TestWorld t(RunMode::Indexed255, 3, {{0, 0, 1}, {9, 0, 1}});
    t.w.limits.userMaxSteps = 10;
    t.run();
    ASSERT_EQ(t.w.lastStop, StopReason::InvalidStart);
    EXPECT_EQ(t.w.resumeAnt, 1) << "the ant that failed did not move and goes first";
    EXPECT_FALSE(canContinue(t.w));
    ASSERT_TRUE(createSparseStore(t.w, 16));
    ASSERT_TRUE(canContinue(t.w));
    t.w.idle = 0;
    t.run();
    TestWorld reference(RunMode::Indexed255, 3, {{0, 0, 1}, {9, 0, 1}}, true);
    createSparseStore(reference.w, 16);
    reference.w.limits.userMaxSteps = 10;
    reference.run();
    expectSameRun(reference.w, t.w);
}

TEST(ContinueGate, ComputingTimeGoesOnFromWhereItStopped) {
    World w;
    w.counters.runStartDays = 10.0;
    stopClock(w, 10.5);
    EXPECT_DOUBLE_EQ(w.counters.elapsedDays, 0.5);
    resumeClock(w, 20.0);
    stopClock(w, 20.25);
    EXPECT_DOUBLE_EQ(w.counters.elapsedDays, 0.75);
}

TEST(WorldContinueLoneAnt, BreakAtAStepEndThenSaveOpenAndContinueEqualsUninterrupted) {
    for (RunMode mode : {RunMode::Indexed15, RunMode::BlackWhite}) {
        TempDir dir;
        TestWorld whole(mode, 500, {{0, 0, 1}});
        whole.w.limits.userMaxSteps = 20000;
        whole.run();
        TestWorld broken(mode, 500, {{0, 0, 1}});
        broken.w.limits.userMaxSteps = 20000;
        broken.pump.onProcess = [&](int call) {
            if (call == 7000) broken.w.idle = 1;
        };
        broken.run();
        ASSERT_EQ(broken.w.lastStop, StopReason::UserBreak);
        EXPECT_EQ(broken.w.resumeAnt, 1) << "the ant moved; only the end of its step is left";
        const int64_t brokenAt = broken.w.counters.stepCount;
        EXPECT_LT(brokenAt, 20000);
        const std::string path = dir.pathOf("lone.qmw");
        ASSERT_EQ(saveWorldFile(path, broken.w, {}), "");
        OpenedWorld opened(path);
        ASSERT_EQ(opened.error, "");
        opened.w.limits.userMaxSteps = 20000;
        opened.w.idle = 0;
        runStepLoop(opened.w);
        expectSameRun(whole.w, opened.w);
    }
}

// What a checkpoint reads of the grid: every chunk a square within reach of an ant lies in.
TEST(GridChunks, EverySquareWithinReachHasItsChunkMarked) {
    for (CellWidth width : {CellWidth::Nibble, CellWidth::Byte, CellWidth::Word, CellWidth::Bit}) {
        SCOPED_TRACE(static_cast<int>(width));
        FastGrid g;
        ASSERT_TRUE(allocateFastGrid(g, 700, width));
        const uint64_t chunks = gridChunkCount(g);
        ASSERT_GE(chunks, 3u);
        auto chunkOf = [&](int32_t x, int32_t y) {
            const uint64_t cell = g.cellNumber(x, y);
            const uint64_t byte = width == CellWidth::Bit      ? g.bitNumber(x, y) >> 3
                                  : width == CellWidth::Nibble ? cell >> 1
                                  : width == CellWidth::Word   ? cell * 2 + 1
                                                               : cell;
            return byte / worldformat::GridChunkBytes;
        };
        const std::tuple<int32_t, int32_t, int64_t> reaches[] = {
            {0, 0, 0}, {-700, 700, 3}, {650, -20, 90}, {-100, 300, 250}, {900, 0, 150}, {5000, 5000, 10}};
        for (const auto& [x, y, reach] : reaches) {
            ChunkBits bits((chunks + 63) / 64, 0);
            markChunksAround(bits, g, x, y, reach);
            uint64_t marked = 0;
            for (uint64_t k = 0; k < chunks; ++k) marked += hasChunk(bits, k);
            uint64_t needed = 0;
            std::vector<bool> seen(chunks, false);
            for (int64_t px = x - reach; px <= x + reach; ++px)
                for (int64_t py = y - reach; py <= y + reach; ++py) {
                    if (!g.inside(static_cast<int32_t>(px), static_cast<int32_t>(py))) continue;
                    const uint64_t k = chunkOf(static_cast<int32_t>(px), static_cast<int32_t>(py));
                    EXPECT_TRUE(hasChunk(bits, k)) << px << "," << py;
                    if (!seen[k]) ++needed, seen[k] = true;
                }
            EXPECT_LE(marked, needed + 1) << "the box's first to last byte, no more";
        }
        EXPECT_EQ(everyChunk(g).size(), (chunks + 63) / 64);
        releaseFastGrid(g);
    }
}

// A checkpoint's grid, in one part or several, compressed at once or apart (and then at once
// where a part's lines are too many to wait): unpacked over a grid holding other squares it gives
// back the packed one byte for byte (the grid's last, partial line too), and it names exactly
// the chunks that hold squares.
TEST(GridLines, UnpackedOverOtherSquaresTheyGiveBackThePackedGrid) {
    std::mt19937 random(7);
    for (CellWidth width : {CellWidth::Nibble, CellWidth::Byte, CellWidth::Word, CellWidth::Bit}) {
        for (auto [parts, deferBytes] : {std::pair{1, std::size_t{0}}, std::pair{3, std::size_t{1} << 20},
                                         std::pair{2, std::size_t{4096}}}) {
            SCOPED_TRACE(testing::Message() << static_cast<int>(width) << " parts " << parts << " apart " << deferBytes);
            FastGrid source, target;
            ASSERT_TRUE(allocateFastGrid(source, 1500, width));
            ASSERT_TRUE(allocateFastGrid(target, 1500, width));
            const auto bytes = static_cast<uint64_t>(source.byteSize);
            const uint64_t chunks = gridChunkCount(source);
            auto anyByte = [&](uint64_t below) { return std::uniform_int_distribution<uint64_t>(0, below - 1)(random); };
            // Squares in a tenth of the chunks, and in the first and last bytes.
            for (int i = 0; i < 2000; ++i) source.cells[anyByte(bytes / 10)] = static_cast<uint8_t>(1 + anyByte(200));
            source.cells[0] = source.cells[bytes - 1] = 3;
            // The target holds squares where the source has none, and where it has others.
            ChunkBits targetHolds((chunks + 63) / 64, 0);
            for (int i = 0; i < 3000; ++i) {
                const uint64_t at = anyByte(bytes);
                target.cells[at] = 9;
                targetHolds[at / worldformat::GridChunkBytes / 64] |= uint64_t{1} << (at / worldformat::GridChunkBytes % 64);
            }
            // Pages of the block the page map shows touched: a heap block need not begin on a
            // page, so lines reach across pages, and packing must not read those never touched.
            auto touchedPages = [](const FastGrid& g) {
                const TouchedPages pages(g.cells, static_cast<std::size_t>(g.byteSize));
                std::size_t count = 0;
                for (int64_t at = 0; at < g.byteSize; at += 4096) count += pages.touchedPart(g.cells + at, 1).to;
                return count;
            };
            const std::size_t touchedBefore = touchedPages(source);
            ChunkBits mayHold = everyChunk(source);
            GridLines lines;
            ASSERT_GE(packGridLines(source, mayHold, lines, -3, parts, deferBytes), 0.0);
            EXPECT_EQ(touchedPages(source), touchedBefore);
            if (deferBytes > 0) {
                if (deferBytes > 4096) {
                    EXPECT_FALSE(unpackGridLines(target, mayHold, lines, targetHolds)) << "not compressed yet";
                }
                ASSERT_TRUE(compressGridLines(lines, -3));
            }
            if (parts > 1 && chunks >= 192) {
                EXPECT_EQ(lines.size(), static_cast<std::size_t>(parts));
            }
            for (uint64_t k = 0; k < chunks; ++k) {
                const uint64_t from = k * worldformat::GridChunkBytes;
                const uint64_t to = std::min(bytes, from + worldformat::GridChunkBytes);
                const bool holds = std::any_of(source.cells + from, source.cells + to, [](uint8_t b) { return b != 0; });
                ASSERT_EQ(hasChunk(mayHold, k), holds) << k;
            }
            ASSERT_TRUE(unpackGridLines(target, mayHold, lines, targetHolds));
            EXPECT_EQ(std::memcmp(target.cells, source.cells, bytes), 0);
            // Lines that do not fit the chunks named are refused.
            ChunkBits fewer = mayHold;
            fewer[0] &= ~uint64_t{1};
            EXPECT_FALSE(unpackGridLines(target, fewer, lines, targetHolds));
            releaseFastGrid(source);
            releaseFastGrid(target);
        }
    }
}

// The room for lines left uncompressed is the parts' together: a part holding all the squares
// leaves them all uncompressed when they just fit it (an even split would compress them), no
// room lets the parts leave more than it, and the lines still unpack to the grid.
TEST(GridLines, PartsShareTheRoomForLinesLeftUncompressed) {
    FastGrid source, target;
    ASSERT_TRUE(allocateFastGrid(source, 1500, CellWidth::Byte));
    ASSERT_TRUE(allocateFastGrid(target, 1500, CellWidth::Byte));
    const auto bytes = static_cast<uint64_t>(source.byteSize);
    for (uint64_t at = 0; at < bytes / 4; at += 128) source.cells[at] = 5;  // in the first part only
    auto pack = [&](std::size_t room, ChunkBits& mayHold, GridLines& lines) {
        mayHold = everyChunk(source);
        EXPECT_GE(packGridLines(source, mayHold, lines, -3, 2, room), 0.0);
        EXPECT_EQ(lines.size(), 2u);
        std::size_t gathered = 0;
        for (const GridLinesPart& part : lines) gathered += part.gatheredBytes;
        return gathered;
    };
    ChunkBits mayHold;
    GridLines lines;
    const std::size_t all = pack(bytes, mayHold, lines);
    ASSERT_GT(all, bytes / 8);
    for (std::size_t room : {all, all / 2}) {
        SCOPED_TRACE(room);
        const std::size_t gathered = pack(room, mayHold, lines);
        EXPECT_EQ(gathered == all, room == all);
        EXPECT_LE(gathered, room);
        ASSERT_TRUE(compressGridLines(lines, -3));
        ASSERT_TRUE(unpackGridLines(target, mayHold, lines, everyChunk(target)));
        EXPECT_EQ(std::memcmp(target.cells, source.cells, bytes), 0);
    }
    releaseFastGrid(source);
    releaseFastGrid(target);
}

// Pages written or read count as touched (a read maps the zero page there); pages never touched
// do not, and neither do bytes that lie on them alone.
TEST(TouchedPages, OnlyPagesNeverTouchedAreUntouched) {
    const std::size_t page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    const std::size_t bytes = 16 * page;
    void* mapped = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(mapped, MAP_FAILED);
    madvise(mapped, bytes, MADV_NOHUGEPAGE);  // a huge page would touch its neighbours too
    auto* block = static_cast<uint8_t*>(mapped);
    block[3 * page + 100] = 1;
    EXPECT_EQ(*static_cast<volatile uint8_t*>(block + 5 * page), 0);
    const TouchedPages pages(block + 10, bytes - 20);
    if (!pages.known()) {
        munmap(mapped, bytes);
        GTEST_SKIP() << "no page map here";
    }
    // Which bytes of a span lie on touched pages, as [from, to) from its start.
    auto part = [&pages](const uint8_t* at, std::size_t size) {
        const TouchedPages::Part p = pages.touchedPart(at, size);
        return std::pair{p.from, p.to};
    };
    using Bytes = std::pair<std::size_t, std::size_t>;
    EXPECT_EQ(part(block + 3 * page, 64), Bytes(0, 64));
    EXPECT_EQ(part(block + 5 * page + page - 64, 64), Bytes(0, 64));
    EXPECT_EQ(part(block + 4 * page - 32, 64), Bytes(0, 32));   // reaches onto a page never touched
    EXPECT_EQ(part(block + 5 * page - 32, 64), Bytes(32, 64));  // begins on one never touched
    const Bytes acrossUntouched = part(block + 7 * page - 32, 64);
    EXPECT_EQ(acrossUntouched.first, acrossUntouched.second);  // none
    EXPECT_EQ(part(block + 15 * page, page - 10).second, 0u);
    munmap(mapped, bytes);
}

// A grid of a memory choice's own size (the window's runs have no other): going back reads the
// checkpoint's grid as that choice's, whatever the run's mode; the stop's checkpoint, its lines
// compressed on a thread of their own, takes the run on again.
TEST(TimelineGrids, RunsOnAMemoryChoicesGridGoBack) {
    for (RunMode mode : {RunMode::Indexed15, RunMode::Indexed65535, RunMode::BlackWhite, RunMode::Generalized}) {
        SCOPED_TRACE(runModeName(mode));
        const AntMaxChoice choice = mode == RunMode::Indexed15     ? AntMaxChoice::Ants15
                                    : mode == RunMode::Indexed65535 ? AntMaxChoice::Ants65535
                                    : mode == RunMode::BlackWhite   ? AntMaxChoice::BlackWhite
                                                                    : AntMaxChoice::Ants255;
        TestWorld t(mode, computeHalfSizes(choice)[0], antsFor(mode), false, 3);
        Timeline timeline(uint64_t{1} << 30);
        timeline.checkpoints().setLeastBytesApart(0);
        timeline.start(t.w, 0.0);
        t.w.limits.userMaxSteps = 300;
        t.run();
        t.w.idle = 1;
        timeline.atStop(t.w, 1.5);
        for (int64_t k : {120, 300}) {
            const JumpResult jump = timeline.goTo(t.w, k);
            EXPECT_EQ(jump.message, "");
            EXPECT_TRUE(jump.reached);
            TestWorld stopped(mode, computeHalfSizes(choice)[0], antsFor(mode), false, 3);
            stopped.w.limits.userMaxSteps = k;
            stopped.run();
            expectSameRun(stopped.w, t.w);
        }
        EXPECT_EQ(timeline.checkpoints().all().back().steps, 300);
    }
}

// What checkpoints may cost is a share of the computing time since recording began, and one that
// could not be kept counts too: neither an opened world's earlier time nor a budget too small for
// any checkpoint lets the run try one at every step.
TEST(Checkpoints, TheirShareCountsFromTheStartAndCountsTheOnesNotKept) {
    auto t = makeWorld(Case{RunMode::BlackWhite, true});
    World& w = t->w;
    const uint64_t large = uint64_t{1} << 30;  // a checkpoint's reading of it is expected to take 0.86 s
    auto at = [&w](int64_t step) {
        WorldPoint point = WorldPoint::of(w);
        point.counters.stepCount = step;
        return point;
    };
    ChunkBits mayHold = everyChunk(w.grid);

    Checkpoints opened(large);
    ASSERT_EQ(opened.take(w, at(0), 500.0, mayHold, 0), "");  // a world opened after 500 s
    EXPECT_FALSE(opened.due(1, 500.6, large));
    EXPECT_TRUE(opened.due(1, 560.0, large));

    Checkpoints tooSmall(1);
    ASSERT_EQ(tooSmall.take(w, at(0), 0.0, mayHold, 0), "");
    ASSERT_EQ(tooSmall.take(w, at(10), 1.0, mayHold, 0), "");
    EXPECT_TRUE(tooSmall.all().empty());
    EXPECT_FALSE(tooSmall.due(11, 1.001, large));
    EXPECT_TRUE(tooSmall.due(11, 1000.0, large));
}

// A checkpoint's store in blocks: squares changed in one place repack only the blocks there, the
// rest are the previous checkpoint's own, and the blocks give back exactly the store.
TEST(StoreBlocks, ALocalChangeRepacksOnlyItsBlocksAndUnpacksExactly) {
    auto t = makeWorld(Case{RunMode::BlackWhite, true});
    World& w = t->w;
    auto toggle = [&](int32_t x, int32_t y) {
        w.searchBW = BlackSquare{x, y};
        ASSERT_GE(w.storeBW->Toggle(), 0);
    };
    for (int32_t x = 100; x < 300; ++x)
        for (int32_t y = 0; y < 200; y += 1 + (x % 3)) toggle(x, y);
    StoreBlocks first, second;
    ASSERT_TRUE(packStoreBlocks(w, {}, first));
    ASSERT_GE(first.size(), 4u);
    // A highway's end: new squares before every other key, one taken away among the first.
    for (int32_t y = 0; y < 30; ++y) toggle(60, y);
    toggle(100, 0);
    ASSERT_TRUE(packStoreBlocks(w, first, second));
    std::size_t shared = 0;
    for (const auto& block : second)
        for (const auto& before : first) shared += block == before;
    EXPECT_GE(shared + 2, first.size());

    auto back = makeWorld(Case{RunMode::BlackWhite, true});
    ASSERT_TRUE(unpackStoreBlocks(back->w, second));

    std::vector<std::pair<int32_t, int32_t>> expected, actual;
    w.storeBW->ForEach([&](const BlackSquare& e) { expected.emplace_back(e.X, e.Y); });
    back->w.storeBW->ForEach([&](const BlackSquare& e) { actual.emplace_back(e.X, e.Y); });
    EXPECT_EQ(actual, expected);

    // Checkpoints of the two share those blocks, counted once, until one of them goes.
    Checkpoints checkpoints(uint64_t{1} << 30);
    ChunkBits mayHold = everyChunk(w.grid);
    for (int64_t step : {1, 2}) {
        WorldPoint point = WorldPoint::of(w);
        point.counters.stepCount = step;
        ASSERT_EQ(checkpoints.take(w, point, static_cast<double>(step), mayHold, 0), "");
        if (step == 1) toggle(61, 5);
    }
    EXPECT_EQ(checkpoints.bytes(), heldBytes(checkpoints));
    std::size_t kept = 0;
    for (const auto& block : checkpoints.all()[1].store)
        for (const auto& before : checkpoints.all()[0].store) kept += block == before;
    EXPECT_GE(kept + 2, checkpoints.all()[0].store.size());
    checkpoints.setBudget(checkpoints.bytes() - 1);
    ASSERT_EQ(checkpoints.all().size(), 1u);
    EXPECT_EQ(checkpoints.bytes(), heldBytes(checkpoints));
}

// With the store's record of its leaves, a block is taken again unread when its leaves did not
// change, and a node's blocks when none of its leaves did: rounds of changes in one place
// (squares added, taken away, states changed in place, leaves split, shifted, merged and
// dropped, nodes split and merged) must still unpack to exactly the store, and a round without
// changes must take every block again.
TEST(StoreBlocks, BlocksTakenByTheLeafRecordUnpackExactly) {
    // Blocks of about 4096 squares, and of one leaf each (every node's split point starts one).
    for (auto [mode, blockBits] : {std::pair{RunMode::BlackWhite, DefaultBlockBits}, std::pair{RunMode::Generalized, DefaultBlockBits},
                                   std::pair{RunMode::BlackWhite, 0}}) {
        SCOPED_TRACE(runModeName(mode));
        SCOPED_TRACE(blockBits);
        auto t = makeWorld(Case{mode, true});
        World& w = t->w;
        uint32_t seed = 7;
        auto next = [&seed](uint32_t n) {
            seed = seed * 1664525u + 1013904223u;
            return (seed >> 8) % n;
        };
        // A square toggled (black and white) or given the next state, its element taken away
        // after the last (generalized squares stay, as the run keeps them).
        auto change = [&](int32_t x, int32_t y) {
            if (mode == RunMode::BlackWhite) {
                w.searchBW = BlackSquare{x, y};
                ASSERT_GE(w.storeBW->Toggle(), 0);
            } else {
                w.searchMulti = GeneralizedSquare{x, y, 1};
                GeneralizedSquare* e = w.storeMulti->FindOrAddElement();
                ASSERT_NE(e, nullptr);
                e->state = static_cast<uint8_t>(e->state % 3 + 1);
            }
        };
        auto squaresOf = [&](const World& world) {
            std::vector<std::tuple<int32_t, int32_t, int>> squares;
            // By value: the stores' squares are packed, and a reference to a member may be misaligned.
            if (world.storeBW)
                world.storeBW->ForEach([&](const BlackSquare& e) { squares.emplace_back(int32_t{e.X}, int32_t{e.Y}, 0); });
            if (world.storeMulti)
                world.storeMulti->ForEach([&](const GeneralizedSquare& e) {
                    squares.emplace_back(int32_t{e.X}, int32_t{e.Y}, int{e.state});
                });
            return squares;
        };
        for (int32_t x = 100; x < 1000; ++x)
            for (int32_t y = 0; y < 120; y += 1 + (x % 3)) change(x, y);
        StoreLayout layout;
        StoreBlocks before;
        ASSERT_TRUE(packStoreBlocks(w, {}, before, blockBits, &layout));
        for (int round = 0; round < 12; ++round) {
            SCOPED_TRACE(round);
            // Rounds 3 and 7 change nothing; the others add squares over a window of a few
            // columns after changing some anywhere (nodes split with leaves changed before), or
            // change a few squares that are there (removed, or a state changed in place: nothing
            // else in their leaves moves), or many of them in one window.
            const bool still = round == 3 || round == 7;
            const int32_t from = 90 + static_cast<int32_t>(next(300));
            const auto present = squaresOf(w);
            if (!still && round % 3 == 0) {
                for (int i = 0; i < 40; ++i) {
                    const auto& square = present[next(static_cast<uint32_t>(present.size()))];
                    change(std::get<0>(square), std::get<1>(square));
                }
                for (int i = 0; i < 4000; ++i)
                    change(from + static_cast<int32_t>(next(40)), 120 + static_cast<int32_t>(next(150)));
            }
            // Rounds 5 and 10 take away every square of 200 columns (black and white): nodes
            // left sparse merge with their neighbours.
            if ((round == 5 || round == 10) && mode == RunMode::BlackWhite) {
                for (const auto& square : present)
                    if (std::get<0>(square) >= from && std::get<0>(square) < from + 200)
                        change(std::get<0>(square), std::get<1>(square));
            } else if (!still && round % 3 != 0) {
                const auto first = next(static_cast<uint32_t>(present.size()) - 400);
                for (int i = 0, count = round % 3 == 1 ? 3 : 200; i < count; ++i) {
                    const auto& square = present[round % 3 == 1 ? next(static_cast<uint32_t>(present.size())) : first + next(400)];
                    change(std::get<0>(square), std::get<1>(square));
                }
            }
            StoreBlocks now;
            ASSERT_TRUE(packStoreBlocks(w, before, now, blockBits, &layout));
            if (still) {
                EXPECT_EQ(now, before);
            }
            auto back = makeWorld(Case{mode, true});
            ASSERT_TRUE(unpackStoreBlocks(back->w, now));
            EXPECT_EQ(squaresOf(back->w), squaresOf(w));
            before = std::move(now);
        }
    }
}
