#pragma once
// A run through the real main window: settings applied through the settings dialog's controls,
// the ants put into the editor, "Start" clicked, the line printed when the run has ended.

#include "BenchOptions.h"
#include "RunReport.h"

namespace qmbench {

RunReport runThroughWindow(const BenchOptions& options, int argc, char** argv);

}  // namespace qmbench
