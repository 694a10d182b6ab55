#pragma once
// "quillmarch --batch": one run without any window, its result line on standard output.

#include <cstdint>
#include <functional>
#include <string>

#include "core/World.h"
#include "core/WorldFile.h"

namespace qmheadless {

// Writes the whole picture of the world as a PNG file (`scale` squares per pixel side, 0: the
// smallest that fits); empty on success, else the reason. The program supplies it, so that this
// library needs no toolkit.
using PngWriter = std::function<std::string(const qm::World& world, const qm::WorldDocument& document,
                                            const std::string& path, int32_t scale)>;

// argv[0] is the "--batch" that chose the batch run. Exit status: 0 when the run ended by
// "Max steps:" or a limit, 1 when it failed or its world, picture or pattern could not be
// written, 2 for bad options or input (one line on standard error, nothing written).
// Without a PNG writer --png is refused as a bad option.
int runBatch(int argc, char** argv, const PngWriter& writePng = {});

}  // namespace qmheadless
