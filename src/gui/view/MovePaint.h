#pragma once
// What one move paints, shared by the world's per-move hooks and the loops that inline the
// painters: the colour of an indexed or black-and-white move, a cleared square's white, a
// generalized square's state colour, and the way the eye window learns of the move.

#include <algorithm>
#include <cstdint>

#include "core/World.h"
#include "display/Colours.h"
#include "gui/view/EyeWindow.h"

namespace qm {

// Cell value of the generalized square just updated, wherever the square update left it.
inline uint8_t currentCellValue(const World& w) {
    return w.squareStateFromStore ? w.currentSquareState : w.grid.cells[w.currentCellIndex];
}

inline uint32_t stateArgb(const StateColourTable& colours, uint32_t cellValue) {
    return toArgb(colours[std::min<uint32_t>(cellValue, 64u)]);
}

// A square an ant has just cleared shows pure white until the next full repaint. Chosen without
// a branch: with many ants, painting and clearing follow each other in no predictable order.
inline uint32_t paintedOrWhite(uint8_t cleared, uint32_t paintedArgb) {
    const uint32_t clearedMask = 0u - cleared;  // the loop's turn result is 0 or 1
    return (paintedArgb & ~clearedMask) | (toArgb(White) & clearedMask);
}

// What an indexed or a black-and-white move paints, and how the eye window learns of it.
struct AntColour {
    static constexpr bool blackSquares = false;
    static uint32_t argb(const World& w, int32_t ant) { return argbOf(w.antColour, ant); }
    // The same from the colour words themselves, for a caller that holds them; the index stays
    // of the caller's type, as a conversion cost the step loops an instruction.
    template <class Index>
    static uint32_t argbOf(const uint32_t* antWords, Index ant) { return toArgb(colourOf(antWords[ant])); }
    template <class Colour>
    [[gnu::always_inline]] static void tellEye(EyeWindow& eye, uint64_t outsideCalls, AntPos p, Colour argb,
                                               uint8_t cleared) {
        eye.antColourMove(outsideCalls, p, argb, cleared);
    }
};
struct BlackSquares {
    static constexpr bool blackSquares = true;
    static uint32_t argb(const World&, int32_t) { return toArgb(Black); }
    template <class Colour>
    [[gnu::always_inline]] static void tellEye(EyeWindow& eye, uint64_t outsideCalls, AntPos p, Colour,
                                               uint8_t cleared) {
        eye.blackMove(outsideCalls, p, cleared);
    }
};

}  // namespace qm
