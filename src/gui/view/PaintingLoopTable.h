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

// The instances that hand their moves to the replay thread: indexed modes, many ants, the eye
// shown, with the marks of sizes 2 to 8 or, at item "0", the eye alone. None for the rest.
template <class Update>
StepLoopEntry langtonReplayingLoop(int size) {
    using steps::langtonLoop;
    switch (size) {
        case ExtentOnly: return &langtonLoop<Update, false, WindowPainter<AntColour, ExtentOnly, true, true>>;
        case 2: return &langtonLoop<Update, false, WindowPainter<AntColour, 2, true, true>>;
        case 4: return &langtonLoop<Update, false, WindowPainter<AntColour, 4, true, true>>;
        case 6: return &langtonLoop<Update, false, WindowPainter<AntColour, 6, true, true>>;
        case 8: return &langtonLoop<Update, false, WindowPainter<AntColour, 8, true, true>>;
        default: return nullptr;
    }
}

// `replays`: a run that may hand its moves to the replay thread (many ants, the eye shown), which
// an indexed mode's size with a replaying instance does.
template <class Update, class Colour>
StepLoopEntry langtonPaintingLoop(int size, bool lone, bool eyeFollows, bool replays) {
    if constexpr (!Colour::blackSquares)
        if (replays)
            if (const StepLoopEntry replaying = langtonReplayingLoop<Update>(size)) return replaying;
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

}  // namespace qm
