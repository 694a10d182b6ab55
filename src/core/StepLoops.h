#pragma once
// The three step loops. Each advances the run until "Max steps:" is reached, a limit or a
// failure stops it (after its message) or the idle flag is set from outside.

#include "core/World.h"

namespace qm {

// Messages the loops show.
inline constexpr const char* MsgMaxFilled = "Max filled square rached, breaked ... sorry";
inline constexpr const char* MsgAxis = "Some axis boundary reached, breaked ... sorry";
inline constexpr const char* MsgStepMax = "Max steps rached, breaked ... sorry";
inline constexpr const char* MsgInvalidStart = "ERROR: Invalid start position, breaked";
inline constexpr const char* MsgCannotSet =
    "ERROR: Can not set new possition, breaked (not enought memory etc.)";

// Runs the loop of the world's mode: generalized, else black-and-white, else indexed.
// Sets w.lastStop. Requires w.pump and w.messages. Starts at w.resumeAnt of the uncounted step
// and leaves there the place where a continued run picks up.
void runStepLoop(World& w);
int32_t resumePointAfterStop(const World& w);

void runIndexedLoop(World& w);
void runBlackWhiteLoop(World& w);
void runGeneralizedLoop(World& w);

}  // namespace qm
