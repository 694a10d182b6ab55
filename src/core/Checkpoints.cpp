#include "core/Checkpoints.h"

#include <algorithm>
#include <chrono>
#include <new>

#include "core/MemoryBudget.h"

namespace qm {

namespace {

// zstd's fast levels: a checkpoint is taken often and kept a short while.
constexpr int CheckpointLevel = -3;

uint64_t sizeOf(const Checkpoint& c) { return c.bytes.size() + c.painted.size() * sizeof(uint64_t); }

// The memory choice whose grid the world has: the reader refuses a grid of another choice's size.
int memoryItemOf(const World& w) {
    AntMaxChoice choice = AntMaxChoice::Ants255;
    if (w.mode() == RunMode::Indexed15) choice = AntMaxChoice::Ants15;
    if (w.mode() == RunMode::Indexed65535) choice = AntMaxChoice::Ants65535;
    if (w.mode() == RunMode::BlackWhite) choice = AntMaxChoice::BlackWhite;
    const std::array<int32_t, MemoryChoiceCount> halfSizes = computeHalfSizes(choice);
    const auto at = std::find(halfSizes.begin(), halfSizes.end(), w.grid.halfSize);
    return at == halfSizes.end() ? 0 : static_cast<int>(at - halfSizes.begin());
}

}  // namespace

uint64_t checkpointBudgetBytes(int memoryItem, bool beyondGrid, uint64_t availableBytes) {
    const uint64_t block = memoryBlockBytes(memoryItem);
    return (beyondGrid ? std::max(block, availableBytes) : block) / 8;
}

void Checkpoints::clear() {
    points_.clear();
    bytes_ = 0;
    spent_ = 0.0;
    lastCost_ = 0.0;
    lastContent_ = 0;
}

void Checkpoints::setBudget(uint64_t bytes) {
    budget_ = bytes;
    thin();
}

bool Checkpoints::due(int64_t steps, double seconds, uint64_t contentBytes) const {
    const Checkpoint* before = atOrBelow(steps);
    if (!before) return true;
    if (before->steps >= steps || seconds - before->seconds < MinimumInterval) return false;
    const double growth = static_cast<double>(std::max(contentBytes, lastContent_)) /
                          static_cast<double>(std::max<uint64_t>(lastContent_, 65536));
    // Reading and packing take no less than this a byte, whatever a cheap last one suggests
    // (the run's first holds mostly empty chunks, which cost only their scan).
    constexpr double LeastSecondsPerByte = 2e-9;
    const double expected =
        std::max(lastCost_ * std::max(1.0, growth), static_cast<double>(contentBytes) * LeastSecondsPerByte);
    return spent_ + expected <= CostShare * seconds;
}

std::string Checkpoints::take(const World& w, const WorldPoint& point, double seconds, ChunkBits& mayHold,
                              uint64_t contentBytes, bool duringRun) {
    const auto start = std::chrono::steady_clock::now();
    Checkpoint c;
    c.steps = point.counters.stepCount;
    c.seconds = seconds;
    WorldDocument document;
    document.settings.mode = w.mode();
    document.settings.states = w.states;
    document.settings.memoryItem = memoryItemOf(w);
    try {
        const std::string reason = encodeWorld(w, document, point, c.bytes, &mayHold, CheckpointLevel);
        if (!reason.empty()) return reason;
        c.bytes.shrink_to_fit();
        c.painted = mayHold;
        auto at = std::lower_bound(points_.begin(), points_.end(), c.steps,
                                   [](const Checkpoint& p, int64_t k) { return p.steps < k; });
        if (at != points_.end() && at->steps == c.steps) {
            bytes_ -= sizeOf(*at);
            *at = std::move(c);
            bytes_ += sizeOf(*at);
        } else {
            bytes_ += sizeOf(c);
            points_.insert(at, std::move(c));
        }
    } catch (const std::bad_alloc&) {
        return "not enough memory";
    }
    thin();
    const double cost = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (!duringRun) return {};
    lastCost_ = cost;
    lastContent_ = contentBytes;
    if (seconds > 0.0) spent_ += lastCost_;  // the one a run starts with costs it nothing
    return {};
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
        bytes_ -= sizeOf(points_[drop]);
        points_.erase(points_.begin() + static_cast<std::ptrdiff_t>(drop));
    }
}

}  // namespace qm
