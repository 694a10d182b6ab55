#include "core/Checkpoints.h"

#include <algorithm>
#include <chrono>
#include <new>
#include <system_error>

#include "core/MemoryBudget.h"
#include "core/RunSettings.h"
#include "core/ThreadClock.h"

namespace qm {

namespace {

// zstd's fast levels: a checkpoint is taken often and kept a short while.
constexpr int CheckpointLevel = -3;

uint64_t sizeOf(const Checkpoint& c) {
    return c.bytes.size() + gridLinesBytes(c.grid) + c.painted.size() * sizeof(uint64_t) + c.store.size() * sizeof(c.store[0]);
}

// The bytes of its store blocks that no other checkpoint holds (each block counts once).
uint64_t ownBlockBytes(const Checkpoint& c) {
    uint64_t bytes = 0;
    for (const auto& block : c.store)
        if (block.use_count() == 1) bytes += block->bytes.size() + sizeof(StoreBlock);
    return bytes;
}

// The memory choice whose grid the run has: a reader takes only that choice's size as a grid of
// that size (0 for the small grids of tools and tests, which any choice takes).
int32_t memoryItemOf(const World& w) {
    const auto halfSizes = computeHalfSizes(antMaxChoiceOf(w.mode()));
    for (std::size_t item = 0; item < halfSizes.size(); ++item)
        if (halfSizes[item] == w.grid.halfSize) return static_cast<int32_t>(item);
    return 0;
}

// The checkpoint `before` (the latest at or below `steps`, if any) stands at `steps` or less than
// the interval ago.
bool tooSoonAfter(const Checkpoint* before, int64_t steps, double seconds) {
    return before && (before->steps >= steps || seconds - before->seconds < Checkpoints::MinimumInterval);
}

}  // namespace

uint64_t checkpointBudgetBytes(int memoryItem, bool beyondGrid, uint64_t availableBytes) {
    const uint64_t block = memoryBlockBytes(memoryItem);
    return (beyondGrid ? std::max(block, availableBytes) : block) / 8;
}

void Checkpoints::clear() {
    settle();
    points_.clear();
    bytes_ = 0;
    spent_ = 0.0;
    lastCost_ = lastGridCost_ = 0.0;
    lastContent_ = 0;
    lastSeconds_ = lastInterval_ = 0.0;
    tried_ = false;
    startSeconds_ = 0.0;
    layout_ = StoreLayout{};
}

void Checkpoints::setBudget(uint64_t bytes) {
    settle();
    budget_ = bytes;
    thin();
}

bool Checkpoints::tooSoon(int64_t steps, double seconds) const {
    return tooSoonAfter(atOrBelow(steps), steps, seconds);
}

bool Checkpoints::due(int64_t steps, double seconds, uint64_t contentBytes) const {
    const Checkpoint* before = atOrBelow(steps);
    // The first is due at once; after one that could not be kept (over the budget, or no
    // memory), only as the share allows, or every step would try again at full cost.
    if (!before && !tried_) return true;
    if (tooSoonAfter(before, steps, seconds)) return false;
    const double growth = static_cast<double>(std::max(contentBytes, lastContent_)) /
                          static_cast<double>(std::max<uint64_t>(lastContent_, 65536));
    // Reading takes no less than this a byte, whatever a cheap last one suggests (the run's first
    // holds mostly empty chunks and an empty store): pages never touched are passed over, the
    // lines of the others read at memory speed, and compressing them costs the run nothing.
    constexpr double LeastSecondsPerByte = 1e-10;
    // A store's checkpoint copies what changed since the last one, which grows with the time
    // between them, besides what it costs whatever the time (the grid, the store's index): half
    // the last one's cost as it was, half grown with the time since, when that says less than
    // growth would. Taken wholly by time, one that cost more than the share of its interval
    // would put every later one off until growth allowed it.
    const double sinceLast = std::max(0.0, seconds - lastSeconds_);
    const double byTime = lastInterval_ > 0.0 ? lastCost_ * (0.5 + 0.5 * sinceLast / lastInterval_) : lastCost_;
    // The grid's part grows with the squares to read, whatever the time: never less than that.
    const double expected = std::max({std::min(lastCost_ * std::max(1.0, growth), byTime),
                                      lastGridCost_ * std::max(1.0, growth),
                                      static_cast<double>(contentBytes) * LeastSecondsPerByte});
    // The share of the computing time since recording began: an opened world's earlier time
    // paid for no checkpoint.
    return spent_ + expected <= CostShare * (seconds - startSeconds_);
}

std::string Checkpoints::take(const World& w, const WorldPoint& point, double seconds, ChunkBits& mayHold,
                              uint64_t contentBytes, bool duringRun) {
    const double start = threadSeconds();
    // A compression still going holds the run up as long as it waits for it.
    const auto settling = std::chrono::steady_clock::now();
    settle();
    const double waited = std::chrono::duration<double>(std::chrono::steady_clock::now() - settling).count();
    GridCost grid;
    const std::string reason = keep(w, point, seconds, mayHold, grid);
    // Whether kept or not, what it cost counts against the run's share.
    if (duringRun) account(seconds, contentBytes, threadSeconds() - start + waited + grid.waited, grid.own + grid.waited);
    return reason;
}

std::string Checkpoints::keep(const World& w, const WorldPoint& point, double seconds, ChunkBits& mayHold,
                              GridCost& gridCost) {
    Checkpoint c;
    c.steps = point.counters.stepCount;
    c.seconds = seconds;
    WorldDocument document;
    document.settings.mode = w.mode();
    document.settings.states = w.states;
    document.settings.memoryItem = memoryItemOf(w);
    try {
        const std::string reason = encodeWorld(w, document, point, c.bytes, CheckpointLevel, false);
        if (!reason.empty()) return reason;
        c.bytes.shrink_to_fit();
        const double gridStart = threadSeconds();
        // The lines waiting uncompressed while the run goes on take no more than the checkpoints
        // may keep: beyond that, a part is compressed at once.
        const double gridWait = packGridLines(w.grid, mayHold, c.grid, CheckpointLevel, gridLinesParts(),
                                              static_cast<std::size_t>(budget_));
        if (gridWait < 0.0) return "compression failed";
        gridCost = {threadSeconds() - gridStart, gridWait};
        const Checkpoint* before = atOrBelow(c.steps);
        if (!packStoreBlocks(w, before ? before->store : StoreBlocks{}, c.store, storeBlockBits_, &layout_))
            return "compression failed";
        c.painted = mayHold;
        if (!compressApart(c)) return "compression failed";
        bytes_ += sizeOf(c) + ownBlockBytes(c);
        auto at = std::lower_bound(points_.begin(), points_.end(), c.steps,
                                   [](const Checkpoint& p, int64_t k) { return p.steps < k; });
        if (at != points_.end() && at->steps == c.steps) {
            forget(static_cast<std::size_t>(at - points_.begin()));
            at = std::lower_bound(points_.begin(), points_.end(), c.steps,
                                  [](const Checkpoint& p, int64_t k) { return p.steps < k; });
        }
        points_.insert(at, std::move(c));
    } catch (const std::bad_alloc&) {
        return "not enough memory";
    }
    thin();
    return {};
}

bool Checkpoints::compressApart(Checkpoint& c) {
    // A part left uncompressed holds at least a byte (packGridLines compresses an empty one).
    uint64_t gathered = 0;
    for (const GridLinesPart& part : c.grid) gathered += part.gatheredBytes;
    if (gathered == 0) return true;
    if (gathered < leastBytesApart_) return compressGridLines(c.grid, CheckpointLevel);
    try {
        compressing_.lines = std::async(std::launch::async, [lines = std::move(c.grid)]() mutable {
            try {
                if (compressGridLines(lines, CheckpointLevel)) return std::optional<GridLines>(std::move(lines));
            } catch (const std::bad_alloc&) {
            }
            return std::optional<GridLines>();
        });
    } catch (const std::system_error&) {
        return compressGridLines(c.grid, CheckpointLevel);
    }
    c.grid.clear();
    compressing_.steps = c.steps;
    return true;
}

void Checkpoints::settle() {
    if (!compressing_.lines.valid()) return;
    std::optional<GridLines> lines = compressing_.lines.get();
    const int64_t steps = compressing_.steps;
    compressing_ = Compressing{};
    auto at = std::find_if(points_.begin(), points_.end(), [steps](const Checkpoint& p) { return p.steps == steps; });
    if (at == points_.end()) return;  // thinned meanwhile
    if (!lines) {
        forget(static_cast<std::size_t>(at - points_.begin()));
        return;
    }
    bytes_ -= sizeOf(*at);
    at->grid = std::move(*lines);
    bytes_ += sizeOf(*at);
    thin();
}

void Checkpoints::account(double seconds, uint64_t contentBytes, double cost, double gridCost) {
    // The one a run starts with costs its speed nothing, and says nothing of the next: it reads
    // everything (an opened world's store), the next what changed since.
    if (!tried_) {
        tried_ = true;
        startSeconds_ = lastSeconds_ = seconds;
        return;
    }
    lastInterval_ = seconds - lastSeconds_;
    lastSeconds_ = seconds;
    lastCost_ = cost;
    lastGridCost_ = gridCost;
    lastContent_ = contentBytes;
    spent_ += cost;
}

const Checkpoint* Checkpoints::atOrBelow(int64_t steps) const {
    auto after = std::upper_bound(points_.begin(), points_.end(), steps,
                                  [](int64_t k, const Checkpoint& p) { return k < p.steps; });
    return after == points_.begin() ? nullptr : &*(after - 1);
}

// Over budget, the checkpoint whose neighbours lie closest together in computing time goes, so
// the ones left stay evenly spread; the first (the run's start) goes last, as the replay from it
// is the only way back to the earliest steps. A single checkpoint over budget is not kept.
void Checkpoints::thin() {
    while (bytes_ > budget_ && !points_.empty()) {
        std::size_t drop = points_.size() - 1;
        if (points_.size() > 2) {
            double narrowest = 0.0;
            for (std::size_t i = 1; i + 1 < points_.size(); ++i) {
                const double gap = points_[i + 1].seconds - points_[i - 1].seconds;
                if (i == 1 || gap < narrowest) {
                    narrowest = gap;
                    drop = i;
                }
            }
        } else if (points_.size() == 2) {
            drop = 1;
        }
        forget(drop);
    }
}

void Checkpoints::forget(std::size_t index) {
    bytes_ -= sizeOf(points_[index]) + ownBlockBytes(points_[index]);
    points_.erase(points_.begin() + static_cast<std::ptrdiff_t>(index));
}

}  // namespace qm
