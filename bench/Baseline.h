#pragma once
// The plainest loop over a grid of the same side and cell width as the program's run:
// read the cell, toggle, turn, move, count. It stops at "Max steps:" or at the grid's edge;
// with --continue it keeps the squares beyond the grid in a hash map and goes on.

#include "headless/RunOptions.h"
#include "headless/RunReport.h"

namespace qmbench {

using qmheadless::RunOptions;
using qmheadless::RunReport;

RunReport runBaseline(const RunOptions& options);

}  // namespace qmbench
