#pragma once
// A run through the program's own core, reader and limits, with no-op display hooks.

#include "BenchOptions.h"
#include "RunReport.h"

namespace qmbench {

RunReport runHeadless(const BenchOptions& options);

}  // namespace qmbench
