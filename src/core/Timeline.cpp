#include "core/Timeline.h"

#include <algorithm>
#include <bit>
#include <chrono>

#include "core/GridLines.h"
#include "core/MemoryBudget.h"
#include "core/RunContinue.h"
#include "core/StepLoops.h"
#include "core/WorldFileFormat.h"

namespace qm {
namespace {

// A replay shows nothing and serves no events.
class QuietPump final : public EventPump {
public:
    void processEvents() override {}
    bool frameDue() override { return false; }
};

// Keeps the first message of a replay for the caller to show.
class KeptMessage final : public MessageSink {
public:
    BoxResult showMessage(const std::string& text, BoxType type, BoxButtons) override {
        if (text_.empty()) {
            text_ = text;
            type_ = type;
        }
        return BoxResult::Ok;
    }
    std::string text_;
    BoxType type_ = BoxType::Warning;
};

}  // namespace

WorldPoint pointAtStepEnd(const World& w) {
    WorldPoint point{w.counters, 0, StopReason::MaxSteps};
    point.counters.stepCount += 1;
    point.counters.currentAnt = w.counters.antCount - 1;
    return point;
}

Timeline::Timeline(uint64_t checkpointBudgetBytes, std::size_t maximumSamples)
    : samples_(maximumSamples), checkpoints_(checkpointBudgetBytes) {}

void Timeline::start(const World& w, double seconds, bool emptyGrid) {
    samples_.clear();
    checkpoints_.clear();
    mayHold_.clear();
    if (emptyGrid && w.grid.exists()) mayHold_.assign((gridChunkCount(w.grid) + 63) / 64, 0);
    freshGrid_ = emptyGrid;
    residentAtStart_ = residentBytes();
    markedStep_ = w.counters.stepCount;
    atStop(w, seconds);
}

// Past a few thousand ants, or with a reach across the grid, every chunk counts: marking stays a
// small cost per frame.
void Timeline::markReached(const World& w, int64_t steps) {
    if (!w.grid.exists()) return;
    const std::size_t words = (gridChunkCount(w.grid) + 63) / 64;
    const int64_t reach = steps - markedStep_ + 1;
    markedStep_ = std::max(markedStep_, steps);
    if (mayHold_.size() != words) {
        mayHold_ = everyChunk(w.grid);
        return;
    }
    constexpr int32_t MostAntsMarked = 4096;
    if (w.counters.antCount > MostAntsMarked || reach < 0 || reach >= w.grid.side) {
        mayHold_ = everyChunk(w.grid);
        return;
    }
    for (int32_t i = 0; i < w.counters.antCount; ++i) markChunksAround(mayHold_, w.grid, w.antPos[i].x, w.antPos[i].y, reach);
}

void Timeline::atStepEnd(const World& w, double seconds) {
    const WorldPoint point = pointAtStepEnd(w);
    markReached(w, point.counters.stepCount);
    samples_.record(sampleOf(w.counters, point.counters.stepCount, seconds));
    // Measuring the content reads the process's resident size from the system: not every frame.
    if (checkpoints_.tooSoon(point.counters.stepCount, seconds)) return;
    const uint64_t content = contentBytes(w);
    // A checkpoint that cannot be kept (no memory) only makes later jumps replay longer.
    if (checkpoints_.due(point.counters.stepCount, seconds, content))
        checkpoints_.take(w, point, seconds, mayHold_, content);
}

void Timeline::atStop(const World& w, double seconds) {
    if (!w.grid.exists() || w.counters.antCount <= 0) return;
    samples_.record(sampleOf(w.counters, w.counters.stepCount, seconds));
    markReached(w, w.counters.stepCount + 1);
    // A step broken off in its middle is no place to come back to: only step boundaries are kept.
    if (w.resumeAnt != 0) return;
    const uint64_t content = contentBytes(w);
    const bool due = checkpoints_.due(w.counters.stepCount, seconds, content);
    // Steps back from where a run stopped are the likeliest jumps: a stop far from the last
    // checkpoint keeps one, its cost falling on the stop rather than on the run's speed.
    const Checkpoint* before = checkpoints_.atOrBelow(w.counters.stepCount);
    const bool farFromLast = before && before->steps < w.counters.stepCount &&
                             seconds - before->seconds > StopCheckpointGapSeconds;
    if (!due && !farFromLast) return;
    WorldPoint point = WorldPoint::of(w);
    // Kept as a run stopped by "Max steps:" there, whatever stopped it or whether it began:
    // a replay to this step ends so, and a limit that holds here holds again on going on.
    point.lastStop = StopReason::MaxSteps;
    checkpoints_.take(w, point, seconds, mayHold_, content, due);
}

// What a checkpoint would read now, in bytes read on one core: the chunks that may hold squares
// (on a fresh start's grid, no more than the memory the run has made resident since), shared by
// the cores that pack them (two already take most of the memory's speed), and the
// stored squares (it copies the leaves changed since the last one and reads the others' headers:
// the first one after opening a world of 17 million stored squares cost as much as reading their
// bytes at the grid's rate).
uint64_t Timeline::contentBytes(const World& w) const {
    uint64_t chunks = 0;
    for (uint64_t word : mayHold_) chunks += static_cast<uint64_t>(std::popcount(word));
    uint64_t stored = 0;
    if (w.storeIndexed) stored = uint64_t{static_cast<uint32_t>(w.storeIndexed->Count())} * sizeof(IndexedSquare);
    if (w.storeBW) stored = uint64_t{static_cast<uint32_t>(w.storeBW->Count())} * sizeof(BlackSquare);
    if (w.storeMulti) stored = uint64_t{static_cast<uint32_t>(w.storeMulti->Count())} * sizeof(GeneralizedSquare);
    uint64_t gridBytes = chunks * worldformat::GridChunkBytes;
    if (freshGrid_)
        if (const uint64_t resident = residentBytes(); resident > 0)
            gridBytes = std::min(gridBytes, resident - std::min(resident, residentAtStart_));
    return gridBytes / static_cast<uint64_t>(std::min(gridLinesParts(), 2)) + stored;
}

// The run may go on towards `steps` as "Continue run" would, "Max steps:" aside.
bool Timeline::canGoOn(World& w, int64_t steps) {
    const int64_t userMaxSteps = w.limits.userMaxSteps;
    w.limits.userMaxSteps = steps;
    const bool can = canContinue(w);
    w.limits.userMaxSteps = userMaxSteps;
    return can;
}

// The run's speed in steps per second of its computing time, from its samples (0: unknown).
double Timeline::stepsPerSecond() const {
    if (samples_.size() < 2 || samples_.last().seconds <= samples_.all().front().seconds) return 0.0;
    const RunSample& first = samples_.all().front();
    const RunSample& last = samples_.last();
    return static_cast<double>(last.steps - first.steps) / (last.seconds - first.seconds);
}

bool Timeline::canJump(const World& w) {
    return w.idle && w.grid.exists() && w.antPos && w.counters.antCount > 0;
}

JumpResult Timeline::goTo(World& w, int64_t steps) {
    JumpResult result;
    if (!canJump(w) || steps < 0) return result;
    if (isAt(w, steps)) {
        result.reached = true;
        return result;
    }
    const bool back = steps < w.counters.stepCount || (steps == w.counters.stepCount && w.resumeAnt != 0);
    checkpoints_.settle();
    const Checkpoint* from = checkpoints_.atOrBelow(steps);
    if (back && !from) return result;  // no way back (nothing was kept)
    if (from && (back || from->steps > w.counters.stepCount)) {
        if (!restore(w, *from, result)) return result;
    } else if (!canGoOn(w, steps)) {
        return result;  // a limit or a failure still holds: the run cannot go on from here
    }
    replay(w, steps, result);
    // The run's computing time at that step, as its samples tell it; past them, the replay's.
    if (!samples_.empty() && steps <= samples_.last().steps)
        w.counters.elapsedDays = samples_.secondsAt(steps) / 86400.0;
    return result;
}

bool Timeline::restore(World& w, const Checkpoint& c, JumpResult& result) {
    std::string error;
    // The grid is refilled where it lies: a new block would cost a page fault per page.
    if (mayHold_.size() != c.painted.size()) mayHold_ = everyChunk(w.grid);
    // Its bytes list no grid squares: the grid is left as it stands, for its lines to be put back.
    auto loaded = parseWorld(reinterpret_cast<const uint8_t*>(c.bytes.data()), c.bytes.size(), w, error, &w.grid);
    if (!loaded) {
        // Only memory can fail here; a grid taken over is gone with it and the run cannot go on.
        if (!w.grid.exists()) {
            w.lastStop = StopReason::Error;
            result.moved = true;
        }
        result.message = "ERROR: Cannot go back: " + error;
        result.messageType = BoxType::Error;
        return false;
    }
    // A grid of another size (none of the run's own) comes new and empty.
    const ChunkBits held = w.grid.exists() ? ChunkBits(c.painted.size(), 0) : mayHold_;
    const int32_t antMax = w.antMax;
    installWorld(w, *loaded);
    if (!unpackGridLines(w.grid, c.painted, c.grid, held) || !unpackStoreBlocks(w, c.store)) {
        // Its squares are partly back: the run cannot go on from there.
        w.lastStop = StopReason::Error;
        result.moved = true;
        result.message = "ERROR: Cannot go back: not enough memory";
        result.messageType = BoxType::Error;
        return false;
    }
    // Indexed ant arrays are sized by the settings' ant maximum, as before the restore.
    if (!w.generalized && w.antMaxMode != AntMaxMode::BlackWhite) w.antMax = antMax;
    mayHold_ = c.painted;
    markedStep_ = c.steps;
    w.counters.elapsedDays = c.seconds / 86400.0;
    ++w.outsideCalls;
    result.moved = true;
    return true;
}

void Timeline::replay(World& w, int64_t steps, JumpResult& result) {
    const DisplayHooks hooks = w.hooks;
    EventPump* const pump = w.pump;
    MessageSink* const messages = w.messages;
    const int64_t userMaxSteps = w.limits.userMaxSteps;
    const uint32_t handBrake = w.handBrakeCount;
    QuietPump quiet;
    KeptMessage kept;
    w.hooks = DisplayHooks{};
    w.pump = &quiet;
    w.messages = &kept;
    w.handBrakeCount = 0;
    const double elapsedDays = w.counters.elapsedDays;
    double replaySeconds = 0.0;
    // A long replay goes in pieces of about a second of the run's computing time and keeps a
    // checkpoint after each (its cost falls on the jump, not on the run): the next jump nearby,
    // as steps back one after the other are, replays a second at most.
    const int64_t piece = stepsPerSecond() > 0.0 ? std::max<int64_t>(1, static_cast<int64_t>(stepsPerSecond())) : 0;
    while (steps > w.counters.stepCount || w.resumeAnt != 0) {
        const bool last = piece == 0 || steps - w.counters.stepCount <= 2 * piece;
        w.limits.userMaxSteps = last ? steps : w.counters.stepCount + piece;
        const auto start = std::chrono::steady_clock::now();
        w.idle = 0;
        runStepLoop(w);
        replaySeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        result.moved = true;
        markReached(w, w.counters.stepCount + 1);
        if (last || !isAt(w, w.limits.userMaxSteps)) break;
        const double seconds = samples_.empty() || w.counters.stepCount > samples_.last().steps
                                   ? (elapsedDays * 86400.0 + replaySeconds)
                                   : samples_.secondsAt(w.counters.stepCount);
        w.idle = 1;
        if (!checkpoints_.atOrBelow(w.counters.stepCount) ||
            checkpoints_.atOrBelow(w.counters.stepCount)->steps + piece / 2 < w.counters.stepCount)
            checkpoints_.take(w, WorldPoint::of(w), seconds, mayHold_, contentBytes(w), false);
    }
    w.counters.elapsedDays = elapsedDays + replaySeconds / 86400.0;
    w.idle = 1;
    w.hooks = hooks;
    w.pump = pump;
    w.messages = messages;
    w.handBrakeCount = handBrake;
    w.limits.userMaxSteps = userMaxSteps;
    ++w.outsideCalls;
    result.reached = isAt(w, steps);
    result.message = kept.text_;
    result.messageType = kept.type_;
}

}  // namespace qm
