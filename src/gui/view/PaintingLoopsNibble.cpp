#include "gui/view/PaintingLoops.h"
#include "gui/view/PaintingLoopTable.h"

namespace qm {

StepLoopEntry paintingLoopNibble(int size, bool lone, bool eyeFollows) {
    return langtonPaintingLoop<steps::IndexedUpdate<CellWidth::Nibble>, AntColour>(size, lone, eyeFollows);
}

StepLoopEntry replayingLoopNibble(int size) {
    return langtonReplayingLoop<steps::IndexedUpdate<CellWidth::Nibble>>(size);
}

}  // namespace qm
