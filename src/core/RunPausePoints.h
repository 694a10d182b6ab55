#pragma once
// The window's step loop with pauses at requested step counts (an animation's frames every N
// steps): the loop runs to the earliest requested step, the pause is served, and the run goes on
// unless it was broken. "Max steps:" stays the run's own end; a request may come or go while the
// loop runs, from the window's events.

#include <cstdint>
#include <functional>

#include "core/World.h"

namespace qm {

class RunPausePoints {
public:
    // The step count of the next pause after `stepCount`.
    using NextPause = std::function<int64_t(int64_t stepCount)>;
    // Called at the pause, with the world's counters at exactly that step.
    using Reached = std::function<void()>;

    // Runs the world's step loop until it ends by itself or by a break.
    void run(World& w);
    // Installs (or replaces) the request; a loop that runs now stops at its next pause.
    void request(World& w, NextPause next, Reached reached);
    // Drops the request; a loop that runs now goes on to "Max steps:".
    void clear(World& w);
    bool requested() const { return static_cast<bool>(next_); }

private:
    void lower(World& w);
    void restore(World& w);

    NextPause next_;
    Reached reached_;
    bool running_ = false;
    int64_t lowered_ = -1;  // the pause "Max steps:" was lowered to, or -1
    int64_t userMax_ = 0;   // "Max steps:" as the user set it
};

}  // namespace qm
