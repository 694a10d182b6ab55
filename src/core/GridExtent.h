#pragma once
// The exact extent of what the fast grid holds, found by scanning the block itself.

#include "core/FastGrid.h"
#include "core/PaintedArea.h"

namespace qm {

// Every square of the grid that is not empty, which in every mode is a cell that is not zero
// (indexed: painted; black-and-white: black; generalized: visited). Reads the block a machine word at a time where the squares lie
// in a row of bytes, so a mostly empty 1 GB block takes a fraction of a second.
SquareBox gridExtent(const FastGrid& grid);

}  // namespace qm
