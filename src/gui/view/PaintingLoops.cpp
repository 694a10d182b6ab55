#include "gui/view/PaintingLoops.h"

#include "core/StepLoopBodies.h"
#include "gui/view/WindowPainters.h"

namespace qm {
namespace {

// The painter size of the view's selection.
int painterSize(const MainView& view) {
    if (view.drawsNothing) return ExtentOnly;
    switch (view.squareSize) {
        case 1: case 2: case 4: case 6: case 8: return view.squareSize;
        default: return GenericSize;
    }
}

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

StepLoopEntry chooseWindowLoop(const World& w) {
    const auto* form = static_cast<const PaintContext*>(w.hooks.context);
    if (!form || !form->mainView || !form->eyeWindow || !form->stateColours) return nullptr;
    const MainView& view = *form->mainView;
    if (!view.specialisedLoops) return nullptr;
    // Only the painters the selection installs are inlined: any other hook keeps its call.
    const bool blackWhite = w.antMaxMode == AntMaxMode::BlackWhite;
    const SquarePainterSet own = squarePaintersFor(view.drawsNothing, view.squareSize, blackWhite);
    if (w.hooks.paint != own.paint || w.hooks.erase != own.erase || w.hooks.genSquare != own.genSquare)
        return nullptr;
    const EyeWindow& eye = *form->eyeWindow;
    const bool eyeFollows = eye.paintedOp != noHook || eye.clearedOp != noHook;
    const int size = painterSize(view);
    if (w.generalized) return paintingLoopGeneralized(size, eyeFollows);
    const bool lone = steps::loneAntInstance(w);
    switch (w.antMaxMode) {
        case AntMaxMode::BlackWhite: return paintingLoopBlackWhite(size, lone, eyeFollows);
        case AntMaxMode::Ants15: return paintingLoopNibble(size, lone, eyeFollows);
        case AntMaxMode::Ants65535: return paintingLoopWord(size, lone, eyeFollows);
        default: return paintingLoopByte(size, lone, eyeFollows);
    }
}

}  // namespace qm
