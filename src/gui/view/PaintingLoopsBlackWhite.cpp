#include "gui/view/PaintingLoops.h"
#include "gui/view/PaintingLoopTable.h"

namespace qm {

StepLoopEntry paintingLoopBlackWhite(int size, bool lone, bool eyeFollows) {
    return langtonPaintingLoop<steps::BWUpdate, BlackSquares>(size, lone, eyeFollows);
}

}  // namespace qm
