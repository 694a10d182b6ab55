#include "core/RunPausePoints.h"

#include <chrono>

#include "core/StepLoops.h"

namespace qm {

void RunPausePoints::lower(World& w) {
    userMax_ = w.limits.userMaxSteps;
    lowered_ = -1;
    if (!next_) return;
    const int64_t pause = next_(w.counters.stepCount);
    if (pause > w.counters.stepCount && pause < userMax_) {
        lowered_ = pause;
        w.limits.userMaxSteps = pause;
    }
}

void RunPausePoints::restore(World& w) {
    // "Max steps:" edited while the loop ran is the user's own and stands.
    if (lowered_ >= 0 && w.limits.userMaxSteps == lowered_) w.limits.userMaxSteps = userMax_;
    lowered_ = -1;
}

double RunPausePoints::run(World& w) {
    using Clock = std::chrono::steady_clock;
    seconds_ = 0.0;
    running_ = true;
    for (;;) {
        lower(w);
        const auto start = Clock::now();
        runStepLoop(w);
        seconds_ += std::chrono::duration<double>(Clock::now() - start).count();
        const bool paused = lowered_ >= 0 && w.limits.userMaxSteps == lowered_ &&
                            w.lastStop == StopReason::MaxSteps && w.counters.stepCount == lowered_;
        restore(w);
        if (!paused) break;
        // A copy: the pause may drop the request (a recording that fails stops).
        if (const Reached reached = reached_) reached();
        if (w.idle) break;  // broken while the pause was served
    }
    running_ = false;
    return seconds_;
}

void RunPausePoints::request(World& w, NextPause next, Reached reached) {
    if (running_) restore(w);
    next_ = std::move(next);
    reached_ = std::move(reached);
    if (running_) lower(w);
}

void RunPausePoints::clear(World& w) {
    if (running_) restore(w);
    next_ = {};
    reached_ = {};
}

}  // namespace qm
