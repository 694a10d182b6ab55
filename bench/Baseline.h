#pragma once
// The plainest loop over a grid of the same side and cell width as the program's run:
// read the cell, toggle, turn, move, count. It stops at "Max steps:" or at the grid's edge;
// with --continue it keeps the squares beyond the grid in a hash map and goes on.

#include "BenchOptions.h"
#include "RunReport.h"

namespace qmbench {

RunReport runBaseline(const BenchOptions& options);

}  // namespace qmbench
