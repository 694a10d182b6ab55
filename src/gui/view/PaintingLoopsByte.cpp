#include "gui/view/PaintingLoops.h"
#include "gui/view/PaintingLoopTable.h"

namespace qm {

StepLoopEntry paintingLoopByte(int size, bool lone, bool eyeFollows) {
    return langtonPaintingLoop<steps::IndexedUpdate<CellWidth::Byte>, AntColour>(size, lone, eyeFollows);
}

StepLoopEntry replayingLoopByte(int size) {
    return langtonReplayingLoop<steps::IndexedUpdate<CellWidth::Byte>>(size);
}

}  // namespace qm
