#pragma once
// The step loop with pauses at requested step counts (an animation's frames every N steps, a
// trace's lines): the loop runs to the earliest requested step, the pause is served, and the run
// goes on unless it was broken. "Max steps:" stays the run's own end: no pause is served there.
// A request may come or go while the loop runs, from the window's events. The window and the
// batch runs share this one loop.

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

    // Runs the world's step loop until it ends by itself or by a break; returns the seconds spent
    // in the loop itself, the pauses left out.
    double run(World& w);
    // The loop's seconds of the run going on, up to the pause being served.
    double secondsSoFar() const { return seconds_; }
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
    double seconds_ = 0.0;
    int64_t lowered_ = -1;  // the pause "Max steps:" was lowered to, or -1
    int64_t userMax_ = 0;   // "Max steps:" as the user set it
};

}  // namespace qm
