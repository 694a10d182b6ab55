#include "core/RunContinue.h"

namespace qm {
namespace {

bool antArraysPresent(const World& w) {
    if (!w.antPos || w.antPosCapacity < w.counters.antCount) return false;
    switch (w.mode()) {
        case RunMode::BlackWhite: return w.antDir != nullptr;
        case RunMode::Generalized: return w.antDir != nullptr && w.antProgram != nullptr;
        default: return w.antColour != nullptr;
    }
}

bool storeOfModePresent(const World& w) {
    switch (w.mode()) {
        case RunMode::BlackWhite: return w.storeBW != nullptr;
        case RunMode::Generalized: return w.storeMulti != nullptr;
        default: return w.storeIndexed != nullptr;
    }
}

// A failed square update holds while the ant that moves next stands where no square can be kept.
bool failureHolds(const World& w) {
    if (w.lastStop != StopReason::InvalidStart && w.lastStop != StopReason::CannotSet) return false;
    const int32_t next = w.resumeAnt < w.counters.antCount ? w.resumeAnt : 0;
    const AntPos p = w.antPos[next];
    return !w.grid.inside(p.x, p.y) && !storeOfModePresent(w);
}

}  // namespace

StopReason limitThatHolds(const World& w) {
    const RunCounters& c = w.counters;
    const RunLimits& l = w.limits;
    if (c.filled >= l.filledMax) return StopReason::Filled;
    if (c.maxX >= l.axisBound || c.maxY >= l.axisBound || c.minX <= l.axisBoundNeg || c.minY <= l.axisBoundNeg)
        return StopReason::Axis;
    if (c.stepCount >= l.stepMax) return StopReason::StepMax;
    return StopReason::None;
}

bool canContinue(const World& w) {
    switch (w.lastStop) {
        case StopReason::None:
        case StopReason::NoAnts:
        case StopReason::Error: return false;
        default: break;
    }
    if (!w.idle || !w.grid.exists() || w.counters.antCount <= 0 || !antArraysPresent(w)) return false;
    if (w.counters.stepCount >= w.limits.userMaxSteps) return false;
    return limitThatHolds(w) == StopReason::None && !failureHolds(w);
}

void resumeClock(World& w, double nowDays) { w.counters.runStartDays = nowDays - w.counters.elapsedDays; }

void stopClock(World& w, double nowDays) { w.counters.elapsedDays = nowDays - w.counters.runStartDays; }

}  // namespace qm
