#pragma once
// Instances of the Langton loop for each painter size, eye state and lone-ant case of one mode:
// each mode's file instantiates its own, so they compile side by side.

#include "core/StepLoopBodies.h"
#include "gui/view/WindowPainters.h"

namespace qm {

template <class Update, class Colour, int Size>
StepLoopEntry langtonPaintingLoopOfSize(bool lone, bool eyeFollows) {
    using steps::langtonLoop;
    if (lone)
        return eyeFollows ? &langtonLoop<Update, true, WindowPainter<Colour, Size, true>>
                          : &langtonLoop<Update, true, WindowPainter<Colour, Size, false>>;
    return eyeFollows ? &langtonLoop<Update, false, WindowPainter<Colour, Size, true>>
                      : &langtonLoop<Update, false, WindowPainter<Colour, Size, false>>;
}

template <class Update, class Colour>
StepLoopEntry langtonPaintingLoop(int size, bool lone, bool eyeFollows) {
    switch (size) {
        case ExtentOnly: return langtonPaintingLoopOfSize<Update, Colour, ExtentOnly>(lone, eyeFollows);
        case 1: return langtonPaintingLoopOfSize<Update, Colour, 1>(lone, eyeFollows);
        case 2: return langtonPaintingLoopOfSize<Update, Colour, 2>(lone, eyeFollows);
        case 4: return langtonPaintingLoopOfSize<Update, Colour, 4>(lone, eyeFollows);
        case 6: return langtonPaintingLoopOfSize<Update, Colour, 6>(lone, eyeFollows);
        case 8: return langtonPaintingLoopOfSize<Update, Colour, 8>(lone, eyeFollows);
        default: return langtonPaintingLoopOfSize<Update, Colour, GenericSize>(lone, eyeFollows);
    }
}

// The instances that hand their moves to the replay thread: indexed modes, many ants, the marks
// of sizes 2 to 8 or, at item "0", the eye. None for the rest.
template <class Update, int Size>
StepLoopEntry langtonReplayingLoopOfSize(bool eyeFollows) {
    using steps::langtonLoop;
    return eyeFollows ? &langtonLoop<Update, false, WindowPainter<AntColour, Size, true, true>>
                      : &langtonLoop<Update, false, WindowPainter<AntColour, Size, false, true>>;
}

template <class Update>
StepLoopEntry langtonReplayingLoop(int size, bool eyeFollows) {
    switch (size) {
        case ExtentOnly:
            return eyeFollows ? &steps::langtonLoop<Update, false, WindowPainter<AntColour, ExtentOnly, true, true>>
                              : nullptr;
        case 2: return langtonReplayingLoopOfSize<Update, 2>(eyeFollows);
        case 4: return langtonReplayingLoopOfSize<Update, 4>(eyeFollows);
        case 6: return langtonReplayingLoopOfSize<Update, 6>(eyeFollows);
        case 8: return langtonReplayingLoopOfSize<Update, 8>(eyeFollows);
        default: return nullptr;
    }
}

}  // namespace qm
