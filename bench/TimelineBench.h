#pragma once
// "--timeline": a headless run that records its timeline as the window does (a sample at every
// frame, checkpoints as they fall due), for the cost of recording; "--jumps N" then takes the
// run to N steps spread over it and reports the slowest and mean jump. "--frames": the same
// frames with nothing recorded, the run to compare with.

#include "headless/RunOptions.h"
#include "headless/RunReport.h"

namespace qmbench {

qmheadless::RunReport runWithTimeline(const qmheadless::RunOptions& options);

}  // namespace qmbench
