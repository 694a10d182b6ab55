#pragma once
// Whole runs kept in memory at points of their history, in the world file's compressed form, so
// that any earlier step is a restore and a short replay away. They are taken by computing time
// (often enough that a replay from the nearest costs about a second, seldom enough that taking
// them costs about 1% of the run) and thinned evenly to stay within a byte budget.

#include <cstdint>
#include <string>
#include <vector>

#include "core/World.h"
#include "core/WorldFile.h"

namespace qm {

struct Checkpoint {
    int64_t steps = 0;     // the run stands stopped at this step
    double seconds = 0.0;  // its computing time there
    std::string bytes;     // a world file
    ChunkBits painted;     // the chunks of its grid that hold squares
};

// The share of the run's memory that checkpoints may take: an eighth of the memory choice's
// block, or, for a run that goes on beyond the grid (its store may grow into all the memory that
// is free), an eighth of the memory free when it starts if that is more.
uint64_t checkpointBudgetBytes(int memoryItem, bool beyondGrid, uint64_t availableBytes);

class Checkpoints {
public:
    // Time between two checkpoints, at least, and the most replay they aim at.
    static constexpr double MinimumInterval = 0.5;
    // Taking one costs its own time this many times over in run time before the next.
    static constexpr double CostFactor = 100.0;

    explicit Checkpoints(uint64_t budgetBytes) : budget_(budgetBytes) {}

    void clear();
    void setBudget(uint64_t bytes);
    // True when a run at `steps` with `seconds` of computing time should keep itself now.
    bool due(int64_t steps, double seconds) const;
    // Keeps the world as standing at `point` (steps = point.counters.stepCount). `mayHold`: the
    // chunks of the grid that may hold squares, narrowed to those that do. Empty on success,
    // else the reason (nothing kept).
    std::string take(const World& w, const WorldPoint& point, double seconds, ChunkBits& mayHold);

    // The latest checkpoint at or below `steps`; null when none.
    const Checkpoint* atOrBelow(int64_t steps) const;
    const std::vector<Checkpoint>& all() const { return points_; }
    uint64_t bytes() const { return bytes_; }
    double interval() const;

private:
    void thin();
    std::vector<Checkpoint> points_;  // by steps
    uint64_t bytes_ = 0;
    uint64_t budget_;
    double lastCost_ = 0.0;
};

}  // namespace qm
