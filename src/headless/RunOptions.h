#pragma once
// Command line of quillmarch-bench.

#include <cstdint>
#include <optional>
#include <string>

#include "core/World.h"

namespace qmheadless {

struct RunOptions {
    bool help = false;                 // --help: the usage, and nothing else is done
    std::string antsFile;              // empty: the one line "0,0,1"
    qm::RunMode mode = qm::RunMode::Indexed255;
    int32_t states = 2;
    int memoryItem = 1;
    bool continueCompute = false;
    std::optional<int64_t> maxSteps;   // default: the step maximum
    bool baseline = false;
    int repeat = 1;
    // Runs through the real window.
    bool gui = false;
    int squareSizeItem = 2;            // squareSizeCombo item: "0","1","2","4","6","8"
    int showItem = 1;                  // displayModeCombo item
    bool eye = false;
    bool repaints = false;             // after the run: time the full repaints of view and eye
    int eyePairs = 0;                  // > 0: rounds of eye hidden / shown in one window
    bool chart = false;                // --gui: the "Growth" window shown during the run
    int chartPairs = 0;                // > 0: rounds of the chart hidden / shown in one window
    bool timeline = false;             // record the run's timeline as the window does
    bool framesOnly = false;           // the window's frames and nothing recorded (to compare)
    int jumps = 0;                     // then jump this many times and time the jumps
    std::string gifRecordFile;         // --gui: "Record animation..." of every displayed frame
    // Worlds: the run continues an opened world, and the world it ends with is saved.
    std::string openWorld;
    std::string saveWorld;
    // Batch runs: the whole picture (PNG) and the pattern (RLE) written after the run.
    std::string pngFile;
    int32_t pngScale = 0;  // squares per pixel side; 0: the smallest scale that fits
    std::string rleFile;
    // Batch runs: an animation of the whole painted area, a frame every `gifEvery` steps.
    std::string gifFile;
    int64_t gifEvery = 0;
    int32_t gifScale = 0;  // 0: the smallest scale that fits the final area in 1,024 pixels
    int32_t gifDelayMs = 50;
    // Batch runs: the samples of the run as CSV ("-": standard output, after the result line),
    // a line every `traceEvery` steps (0: at every power of two).
    std::string traceFile;
    int64_t traceEvery = 0;
};

// Which program reads the command line: the batch run of the main program takes the run options
// only, the benchmark takes its own as well.
enum class OptionsFor { Bench, Batch };

// Parses argv; on a bad option returns nothing and fills `error`.
// argv[0] is the program (or the "--batch" that selected the batch run) and is not read.
std::optional<RunOptions> parseRunOptions(int argc, char** argv, std::string& error,
                                              OptionsFor program = OptionsFor::Bench);
const char* benchUsage();
const char* batchUsage();
// One line or more per batch option, as --help lists them.
const char* batchOptionsHelp();

}  // namespace qmheadless
