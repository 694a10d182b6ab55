#include "gui/view/PaintingLoops.h"
#include "gui/view/PaintingLoopTable.h"

namespace qm {

StepLoopEntry paintingLoopWord(int size, bool lone, bool eyeFollows) {
    return langtonPaintingLoop<steps::IndexedUpdate<CellWidth::Word>, AntColour>(size, lone, eyeFollows);
}

StepLoopEntry replayingLoopWord(int size) {
    return langtonReplayingLoop<steps::IndexedUpdate<CellWidth::Word>>(size);
}

}  // namespace qm
