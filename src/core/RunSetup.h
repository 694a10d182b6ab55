#pragma once
// Building blocks of a run's preparation, shared by the window's "Start" and the benchmark.

#include <cstdint>

#include "core/World.h"

namespace qm {

inline constexpr const char* MsgGridMemory =
    "ERROR 10: not enought memory.\nDecrease value in setting dialog.\n  (Setting -> Max. size mem...)";
inline constexpr const char* MsgStoreMemory =
    "ERROR 20: not enought memory.\nDecrease value in setting dialog.\n  (Setting -> Max. size mem...)";
inline constexpr const char* MsgBWAntsMemory = "ERROR 30: not enought memory.";
inline constexpr const char* MsgGenAntsMemory = "ERROR 50: not enought memory.";
inline constexpr const char* MsgNoAnts = "ERROR: NO ant-s.)";

// Releases the previous grid, then sizes, obtains and fills the block for the world's mode.
bool prepareFastGrid(World& w, int32_t halfSize);

// Creates the sparse store of the world's mode with initial capacity and grow delta d.
// On failure no store exists. The generalized search element gets the state byte 1.
bool createSparseStore(World& w, int32_t delta);

// Indexed mode: position and colour arrays for the ant maximum (replaced by the settings).
bool allocateIndexedAntArrays(World& w, int32_t antMax);

// Black-and-white and generalized mode: positions and directions (and programs) for `count`
// ants, sized at every run. On failure the arrays of the run are absent.
bool allocateRunAntArrays(World& w, int32_t count);

// Counters of a fresh run.
void resetCounters(World& w, int32_t antCount, double startDays);

}  // namespace qm
