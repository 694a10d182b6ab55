#pragma once
// A run's timeline: the samples of its counters and the checkpoints that take it back to any
// earlier step. A run is exact, so going back is a restore of the nearest checkpoint at or below
// the step and a replay to it without hooks or events; what lay ahead stays valid and keeps
// serving later jumps.
//
// Use: start() when a run starts or a world is opened; atStepEnd() from the step hook (once per
// frame); atStop() when the loop has returned; goTo() for every jump.

#include <cstdint>
#include <string>

#include "core/Checkpoints.h"
#include "core/RunSamples.h"
#include "core/World.h"

namespace qm {

struct JumpResult {
    bool moved = false;         // the world changed (repaint it in full)
    bool reached = false;       // it stands stopped at the step asked for
    std::string message;        // the first message the replay met (a limit, a failure), if any
    BoxType messageType = BoxType::Warning;
};

class Timeline {
public:
    explicit Timeline(uint64_t checkpointBudgetBytes, std::size_t maximumSamples = RunSamples::DefaultMaximum);

    // Forgets the last run and begins with the world as it stands (a fresh start or an opened
    // world), which becomes the first checkpoint when it stands at a step end. `emptyGrid`: no
    // square of the grid is painted yet (a fresh start), so that checkpoint reads none of it.
    void start(const World& w, double seconds, bool emptyGrid = false);
    // The world as the step hook sees it: the step is complete but not yet counted. Records a
    // sample and, when one is due, a checkpoint.
    void atStepEnd(const World& w, double seconds);
    // The world after its loop returned (any stop).
    void atStop(const World& w, double seconds);

    // Takes the run to step `steps`: below where it stands by restoring a checkpoint and replaying,
    // above by replaying from where it stands or from a checkpoint ahead of it, whichever is
    // nearer. "Max steps:" does not hold it; the run's limits do. The world is left idle with its
    // hooks, pump, message sink, hand brake and "Max steps:" as they were, and its computing time
    // as the run had it at that step.
    JumpResult goTo(World& w, int64_t steps);
    // What goTo may do: the world holds a run to take back or forward.
    static bool canJump(const World& w);
    // True when the run stands stopped exactly at `steps` (not inside the step after it).
    static bool isAt(const World& w, int64_t steps) { return w.counters.stepCount == steps && w.resumeAnt == 0; }

    // Computing time from the last checkpoint beyond which a stop keeps one of its own.
    static constexpr double StopCheckpointGapSeconds = 1.0;

    const RunSamples& samples() const { return samples_; }
    const Checkpoints& checkpoints() const { return checkpoints_; }
    Checkpoints& checkpoints() { return checkpoints_; }

private:
    static bool canGoOn(World& w, int64_t steps);
    void markReached(const World& w, int64_t steps);
    uint64_t contentBytes(const World& w) const;
    double stepsPerSecond() const;
    bool restore(World& w, const Checkpoint& c, JumpResult& result);
    void replay(World& w, int64_t steps, JumpResult& result);
    RunSamples samples_;
    Checkpoints checkpoints_;
    // The grid's chunks that may hold squares: exact at a checkpoint, widened since by where the
    // ants can have been (each moves at most one square a step) up to markedStep_.
    ChunkBits mayHold_;
    int64_t markedStep_ = 0;
    // A fresh start's grid is read only on the pages the run has touched since, which the
    // process's resident memory grew by about as much as (when it can be read).
    bool freshGrid_ = false;
    uint64_t residentAtStart_ = 0;
};

// The state at a step end (the step hook) as the stopped run it equals: one more step counted,
// nothing of the next step begun, stopped by "Max steps:".
WorldPoint pointAtStepEnd(const World& w);

}  // namespace qm
