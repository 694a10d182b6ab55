#pragma once
// Reading back what a run left behind: every painted square of the fast grid and the sparse store.

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <utility>

#include "core/World.h"

namespace qmtest {

using Square = std::pair<int32_t, int32_t>;
using Squares = std::map<Square, uint32_t>;  // non-empty squares and what they hold

bool isIndexed(qm::RunMode mode);
int32_t storeCount(const qm::World& w);
uint8_t antDirection(const qm::World& w, int32_t ant);

// Every non-empty square of the fast grid: ant index, 1 for black, or the generalized cell value.
Squares gridSquares(const qm::World& w);

// Grid plus store; fails when a store element lies inside the grid or the store is out of order.
::testing::AssertionResult allSquares(qm::World& w, Squares& squares);

}  // namespace qmtest
