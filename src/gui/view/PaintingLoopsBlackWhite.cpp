#include "gui/view/PaintingLoops.h"
#include "gui/view/PaintingLoopTable.h"

namespace qm {

StepLoopEntry paintingLoopBlackWhite(int size, bool lone, bool eyeFollows, bool replays) {
    return langtonPaintingLoop<steps::BWUpdate, BlackSquares>(size, lone, eyeFollows, replays);
}

}  // namespace qm
