#pragma once
// The step loop instances with the window's painters inlined, and the choice among them.

#include "core/World.h"

namespace qm {

// The instance for the window's painters as they stand (square size, ant-maximum mode, lone ant,
// eye), or null when the installed hooks are not the window's own or the view asks for the
// hook path. Installed as the world's loop chooser by the square size selection.
StepLoopEntry chooseWindowLoop(const World& w);

// The instances of one mode, by painter size (ExtentOnly, 1, 2, 4, 6, 8, GenericSize for the rest).
StepLoopEntry paintingLoopNibble(int size, bool lone, bool eyeFollows);
StepLoopEntry paintingLoopByte(int size, bool lone, bool eyeFollows);
StepLoopEntry paintingLoopWord(int size, bool lone, bool eyeFollows);
StepLoopEntry paintingLoopBlackWhite(int size, bool lone, bool eyeFollows);
StepLoopEntry paintingLoopGeneralized(int size, bool eyeFollows);

}  // namespace qm
