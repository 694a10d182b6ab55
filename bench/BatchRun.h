#pragma once
// "quillmarch --batch": one run without any window, its result line on standard output.

namespace qmbench {

// argv[0] is the "--batch" that chose the batch run. Exit status: 0 when the run ended by
// "Max steps:" or a limit, 1 when it failed or its world could not be saved, 2 for bad options
// or input (one line on standard error, nothing written).
int runBatch(int argc, char** argv);

}  // namespace qmbench
