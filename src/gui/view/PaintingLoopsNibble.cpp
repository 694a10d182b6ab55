#include "gui/view/PaintingLoops.h"
#include "gui/view/PaintingLoopTable.h"

namespace qm {

StepLoopEntry paintingLoopNibble(int size, bool lone, bool eyeFollows, bool replays) {
    return langtonPaintingLoop<steps::IndexedUpdate<CellWidth::Nibble>, AntColour>(size, lone, eyeFollows, replays);
}

}  // namespace qm
