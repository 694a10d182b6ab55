#include "gui/view/PaintingLoops.h"

#include "core/StepLoopBodies.h"
#include "gui/view/WindowPainters.h"

namespace qm {
namespace {

template <int Size>
StepLoopEntry generalizedOfSize(bool eyeFollows) {
    using steps::generalizedLoop;
    return eyeFollows ? &generalizedLoop<WindowPainter<AntColour, Size, true>>
                      : &generalizedLoop<WindowPainter<AntColour, Size, false>>;
}

}  // namespace

StepLoopEntry paintingLoopGeneralized(int size, bool eyeFollows) {
    switch (size) {
        case ExtentOnly: return generalizedOfSize<ExtentOnly>(eyeFollows);
        case 1: return generalizedOfSize<1>(eyeFollows);
        case 2: return generalizedOfSize<2>(eyeFollows);
        case 4: return generalizedOfSize<4>(eyeFollows);
        case 6: return generalizedOfSize<6>(eyeFollows);
        case 8: return generalizedOfSize<8>(eyeFollows);
        default: return generalizedOfSize<GenericSize>(eyeFollows);
    }
}

template <int Size>
StepLoopEntry chooseWindowLoop(const World& w) {
    const auto* form = static_cast<const PaintContext*>(w.hooks.context);
    if (!form || !form->mainView || !form->eyeWindow || !form->stateColours) return nullptr;
    if (!form->mainView->specialisedLoops) return nullptr;
    // Only the painters of this size are inlined: any other hook keeps its call. Every size
    // without painters of its own takes the generic ones, 3 among them.
    const bool blackWhite = w.antMaxMode == AntMaxMode::BlackWhite;
    const SquarePainterSet own = squarePaintersFor(Size == ExtentOnly, Size == GenericSize ? 3 : Size, blackWhite);
    if (w.hooks.paint != own.paint || w.hooks.erase != own.erase || w.hooks.genSquare != own.genSquare)
        return nullptr;
    const EyeWindow& eye = *form->eyeWindow;
    const bool eyeFollows = eye.paintedOp != noHook || eye.clearedOp != noHook;
    if (w.generalized) return paintingLoopGeneralized(Size, eyeFollows);
    const bool lone = steps::loneAntInstance(w);
    // With the eye shown, many ants hand their moves to the replay thread: the eye's pixel test
    // per move is what the loop cannot hide. The marks alone cost the loop less than sharing the
    // machine with the thread does, so without the eye the loop keeps them.
    const bool replays = !lone && eyeFollows && w.handBrakeCount == 0 && form->mainView->replaysMoves;
    switch (w.antMaxMode) {
        case AntMaxMode::BlackWhite: return paintingLoopBlackWhite(Size, lone, eyeFollows, replays);
        case AntMaxMode::Ants15: return paintingLoopNibble(Size, lone, eyeFollows, replays);
        case AntMaxMode::Ants65535: return paintingLoopWord(Size, lone, eyeFollows, replays);
        default: return paintingLoopByte(Size, lone, eyeFollows, replays);
    }
}

template StepLoopEntry chooseWindowLoop<ExtentOnly>(const World&);
template StepLoopEntry chooseWindowLoop<1>(const World&);
template StepLoopEntry chooseWindowLoop<2>(const World&);
template StepLoopEntry chooseWindowLoop<4>(const World&);
template StepLoopEntry chooseWindowLoop<6>(const World&);
template StepLoopEntry chooseWindowLoop<8>(const World&);
template StepLoopEntry chooseWindowLoop<GenericSize>(const World&);

}  // namespace qm
