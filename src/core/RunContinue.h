#pragma once
// Continuing a run that stopped: ended by "Break", by "Max steps:", by a limit, or opened from a
// world file. The loop itself resumes at World::resumeAnt; this decides whether it may.

#include "core/World.h"

namespace qm {

// True when the last run can go on now: it exists, it is not running, "Max steps:" lies beyond
// its step count, and neither a limit nor the failure that ended it still holds.
bool canContinue(const World& w);

// The limit that stops the run now, checked in the loop's order (filled squares, axis bound,
// step maximum); None when none does.
StopReason limitThatHolds(const World& w);

// Computing time: taken up again from where the run stopped, and recorded when it stops.
void resumeClock(World& w, double nowDays);
void stopClock(World& w, double nowDays);

}  // namespace qm
