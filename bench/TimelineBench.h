#pragma once
// "--timeline": a headless run that records its timeline as the window does (a sample at every
// frame, checkpoints as they fall due), for the cost of recording; "--jumps N" then takes the
// run to N steps spread over it and reports the slowest and mean jump. "--frames": the same
// frames with nothing recorded, the run to compare with.

#include "BenchOptions.h"
#include "RunReport.h"

namespace qmbench {

RunReport runWithTimeline(const BenchOptions& options);

}  // namespace qmbench
