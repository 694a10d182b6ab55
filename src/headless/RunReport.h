#pragma once
// One line per run, in the benchmark's fixed format.

#include <cstdint>
#include <string>

#include "core/World.h"

namespace qmheadless {

struct RunReport {
    qm::RunMode mode = qm::RunMode::Indexed255;
    int32_t ants = 0;
    int64_t steps = 0;
    int64_t moves = 0;
    int64_t filled = 0;
    int64_t peak = 0;
    int32_t minX = 0, maxX = 0, minY = 0, maxY = 0;
    qm::StopReason stop = qm::StopReason::None;
    double seconds = 0.0;
    int64_t movesBefore = 0;  // moves of an opened world before this run: not in the rate
    int64_t storeBytes = 0;  // bytes the squares beyond the block take at the end
};

// Ant moves a finished run performed: whole steps, plus the ants of the step it stopped in.
int64_t movesOf(const qm::World& w);
RunReport reportOf(const qm::World& w, double seconds);
std::string formatReport(const RunReport& r);

}  // namespace qmheadless
