#pragma once
// The step loop instances with the window's painters inlined, and the choice among them.

#include "core/World.h"

namespace qm {

// Square sizes of the painters: item "0" notes the extent only, GenericSize takes the view's
// size, whatever it is; the others are fixed at compile time.
inline constexpr int ExtentOnly = 0;
inline constexpr int GenericSize = -1;

// The instance for the window's painters of one painter size (ExtentOnly, 1, 2, 4, 6, 8,
// GenericSize for the rest) as the run stands (ant-maximum mode, lone ant, eye), or null when the
// installed hooks are not that size's own or the view asks for the hook path. Handed out with
// the painters by squarePaintersFor, so the size is whatever the selection chose them by.
template <int Size>
StepLoopEntry chooseWindowLoop(const World& w);

// The instances of one mode, by painter size; `replays`: the run may hand its moves to the
// replay thread, where the mode and the size have an instance for it.
StepLoopEntry paintingLoopNibble(int size, bool lone, bool eyeFollows, bool replays);
StepLoopEntry paintingLoopByte(int size, bool lone, bool eyeFollows, bool replays);
StepLoopEntry paintingLoopWord(int size, bool lone, bool eyeFollows, bool replays);
StepLoopEntry paintingLoopBlackWhite(int size, bool lone, bool eyeFollows, bool replays);
StepLoopEntry paintingLoopGeneralized(int size, bool eyeFollows);

}  // namespace qm
