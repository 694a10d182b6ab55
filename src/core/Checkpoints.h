#pragma once
// Whole runs kept in memory at points of their history, in the world file's compressed form, so
// that any earlier step is a restore and a short replay away. They are taken by computing time:
// at least half a second apart, and only while all of them together, with the next one (its cost
// expected from the last one's, grown as the squares to read have grown), cost at most a set
// share of the computing time. They are thinned evenly
// to stay within a byte budget.

#include <cstdint>
#include <future>
#include <optional>
#include <string>
#include <vector>

#include "core/GridLines.h"
#include "core/StoreBlocks.h"
#include "core/World.h"
#include "core/WorldFile.h"

namespace qm {

struct Checkpoint {
    int64_t steps = 0;     // the run stands stopped at this step
    double seconds = 0.0;  // its computing time there
    std::string bytes;     // a world file, its grid and store empty
    GridLines grid;        // the grid's squares
    StoreBlocks store;     // the store's squares, blocks shared with the checkpoints around it
    ChunkBits painted;     // the chunks of its grid that hold squares
};

// The share of the run's memory that checkpoints may take: an eighth of the memory choice's
// block, or, for a run that goes on beyond the grid (its store may grow into all the memory that
// is free), an eighth of the memory free when it starts if that is more.
uint64_t checkpointBudgetBytes(int memoryItem, bool beyondGrid, uint64_t availableBytes);

class Checkpoints {
public:
    // Computing time between two checkpoints, at least.
    static constexpr double MinimumInterval = 0.5;
    // The share of the computing time since the first that taking checkpoints may cost: with
    // the samples, and a first one that cost more than expected, recording stays within 2% of a
    // run's time.
    static constexpr double CostShare = 0.018;

    explicit Checkpoints(uint64_t budgetBytes) : budget_(budgetBytes) {}

    void clear();
    void setBudget(uint64_t bytes);
    // Smaller store blocks (tests: many blocks on a small store).
    void setStoreBlockBits(int bits) { storeBlockBits_ = bits; }
    // Grid lines of fewer bytes than this are compressed at once: a thread for them would cost
    // more than it saves (tests: 0, so that small grids go apart too).
    static constexpr uint64_t LeastBytesApart = uint64_t{1} << 20;
    void setLeastBytesApart(uint64_t bytes) { leastBytesApart_ = bytes; }
    // True when a run at `steps` with `seconds` of computing time should keep itself now;
    // `contentBytes`: what taking it would read (grid chunks that may hold squares, stored squares).
    bool due(int64_t steps, double seconds, uint64_t contentBytes) const;
    // True when no checkpoint can be due at `steps` and `seconds` whatever it would read: the
    // last one stands there or less than the interval ago. Cheap, unlike measuring the content.
    bool tooSoon(int64_t steps, double seconds) const;
    // Keeps the world as standing at `point` (steps = point.counters.stepCount). `mayHold`: the
    // chunks of the grid that may hold squares, narrowed to those that do. Empty on success,
    // else the reason (nothing kept).
    // `duringRun`: its cost counts against the run's share (not for one taken during a jump).
    std::string take(const World& w, const WorldPoint& point, double seconds, ChunkBits& mayHold,
                     uint64_t contentBytes, bool duringRun = true);

    // Waits for the grid lines being compressed apart and keeps them; a checkpoint whose
    // compression failed goes. Before a checkpoint's grid is read.
    void settle();

    // The latest checkpoint at or below `steps`; null when none. Its grid may still be being
    // compressed: settle() first to read it.
    const Checkpoint* atOrBelow(int64_t steps) const;
    // Settled.
    const std::vector<Checkpoint>& all() {
        settle();
        return points_;
    }
    uint64_t bytes() {
        settle();
        return bytes_;
    }
    double spentSeconds() const { return spent_; }

private:
    // What packing the grid held the caller up: its own computing time, and its wait for the
    // grid's other parts.
    struct GridCost {
        double own = 0.0;
        double waited = 0.0;
    };
    // Takes the checkpoint: empty, or why not (as take()).
    std::string keep(const World& w, const WorldPoint& point, double seconds, ChunkBits& mayHold, GridCost& gridCost);
    // Counts a checkpoint taken during the run against its share: `cost` all of it, `gridCost`
    // the grid's part.
    void account(double seconds, uint64_t contentBytes, double cost, double gridCost);
    void thin();
    void forget(std::size_t index);
    // Compresses the grid lines `c` left uncompressed on a thread of their own; here when they
    // are fewer than leastBytesApart_ bytes or no thread can be had. False when compression
    // failed here.
    bool compressApart(Checkpoint& c);
    std::vector<Checkpoint> points_;  // by steps
    uint64_t bytes_ = 0;
    uint64_t budget_;
    int storeBlockBits_ = DefaultBlockBits;
    uint64_t leastBytesApart_ = LeastBytesApart;
    StoreLayout layout_;  // the store's leaves at the last checkpoint taken
    double spent_ = 0.0;       // taking every checkpoint since clear()
    double lastCost_ = 0.0;
    double lastGridCost_ = 0.0;  // of that, the grid's
    uint64_t lastContent_ = 0;  // what the last one taken read
    double lastSeconds_ = 0.0;   // when it was taken
    double lastInterval_ = 0.0;  // the computing time from the one before to it
    bool tried_ = false;        // one was taken during the run, kept or not
    double startSeconds_ = 0.0;  // the computing time of the first
    // The checkpoint whose grid lines are being compressed apart: its own are empty meanwhile,
    // and the byte count and thinning take them in once settled (the lines waiting uncompressed
    // take at most the byte budget, for a few hundredths of a second).
    struct Compressing {
        int64_t steps = -1;
        std::future<std::optional<GridLines>> lines;  // none: compression failed
    };
    Compressing compressing_;
};

}  // namespace qm
