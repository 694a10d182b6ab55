#pragma once
// Command line of quillmarch-bench.

#include <cstdint>
#include <optional>
#include <string>

#include "core/World.h"

namespace qmbench {

struct BenchOptions {
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
    int squareSizeItem = 2;            // ComboBoxSize item: "0","1","2","4","6","8"
    int showItem = 1;                  // CBShow item
    bool eye = false;
    bool repaints = false;             // after the run: time the full repaints of view and eye
    int eyePairs = 0;                  // > 0: rounds of eye hidden / shown in one window
};

// Parses argv; on a bad option returns nothing and fills `error`.
std::optional<BenchOptions> parseBenchOptions(int argc, char** argv, std::string& error);
const char* benchUsage();

}  // namespace qmbench
