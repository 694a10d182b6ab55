// quillmarch-bench: real runs, headless or through the window, one line per run.

#include <algorithm>
#include <cstdio>
#include <vector>
#include <string>

#include "Baseline.h"
#include "headless/RunOptions.h"
#include "headless/HeadlessRun.h"
#include "TimelineBench.h"
#if QM_BENCH_GUI
#include "GuiRun.h"
#endif

int main(int argc, char** argv) {
    std::string error;
    const auto options = qmheadless::parseRunOptions(argc, argv, error);
    if (!options) {
        std::fprintf(stderr, "%s\n%s\n", error.c_str(), qmheadless::benchUsage());
        return 2;
    }
    if (options->help) {
        std::printf("%s\n", qmheadless::benchUsage());
        return 0;
    }
#if !QM_BENCH_GUI
    if (options->gui) {
        std::fprintf(stderr, "this build has no window\n%s\n", qmheadless::benchUsage());
        return 2;
    }
#endif
#if QM_BENCH_GUI
    int appArgc = 1;
    const auto application = options->gui ? qmbench::startApplication(appArgc, argv) : nullptr;
    if (options->eyePairs > 0 || options->chartPairs > 0) {
        const bool eye = options->eyePairs > 0;
        std::vector<double> ratios = eye ? qmbench::eyeRatiosInOneWindow(*options, options->eyePairs)
                                         : qmbench::chartRatiosInOneWindow(*options, options->chartPairs);
        if (ratios.empty()) return 1;
        std::sort(ratios.begin(), ratios.end());
        const size_t n = ratios.size();
        std::printf("%s_ratio=%.4f (quartiles %.4f .. %.4f, %zu rounds)\n", eye ? "eye" : "chart", ratios[(n - 1) / 2],
                    ratios[n / 4], ratios[3 * n / 4], n);
        return 0;
    }
#endif
    for (int i = 0; i < options->repeat; ++i) {
        qmheadless::RunReport report;
        if (options->baseline) report = qmbench::runBaseline(*options);
#if QM_BENCH_GUI
        else if (options->gui) report = qmbench::runThroughWindow(*options);
#endif
        else if (options->timeline) report = qmbench::runWithTimeline(*options);
        else report = qmheadless::runHeadless(*options);
        std::printf("%s\n", qmheadless::formatReport(report).c_str());
        std::fflush(stdout);
    }
    return 0;
}
