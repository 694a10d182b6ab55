#include "gui/view/PaintingLoops.h"
#include "gui/view/PaintingLoopTable.h"

namespace qm {

StepLoopEntry paintingLoopWord(int size, bool lone, bool eyeFollows, bool replays) {
    return langtonPaintingLoop<steps::IndexedUpdate<CellWidth::Word>, AntColour>(size, lone, eyeFollows, replays);
}

}  // namespace qm
