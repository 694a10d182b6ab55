#pragma once
// A run through the real main window: settings applied through the settings dialog's controls,
// the ants put into the editor, "Start" clicked, the line printed when the run has ended.

#include <memory>
#include <vector>

#include <QApplication>

#include "headless/RunOptions.h"
#include "headless/RunReport.h"

namespace qmbench {

using qmheadless::RunOptions;
using qmheadless::RunReport;

// The application object for the window runs (offscreen unless a display is set); the caller
// keeps it alive for the whole program.
std::unique_ptr<QApplication> startApplication(int& argc, char** argv);

RunReport runThroughWindow(const RunOptions& options);

// `rounds` rounds in one window, each running once with the eye window hidden and once shown
// (printing both lines): the speed with the eye shown over that with it hidden, per round. Pairs
// a few milliseconds apart see the same machine, where separate processes may not.
std::vector<double> eyeRatiosInOneWindow(const RunOptions& options, int rounds);
// The same with the "Growth" window hidden and shown.
std::vector<double> chartRatiosInOneWindow(const RunOptions& options, int rounds);

}  // namespace qmbench
