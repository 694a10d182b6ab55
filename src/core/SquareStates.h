#pragma once
// What a Langton square holds now, wherever it lies: the fast grid's cell or the run's sparse
// store. For painters that note which squares the moves touched and draw them from the world
// afterwards; the last move on a square left exactly this.

#include <cstdint>

#include "core/SparseStores.h"
#include "core/SquareUpdate.h"
#include "core/World.h"

namespace qm {

// Squares outside the fast grid, out of the readers' line: few squares lie there.
[[gnu::noinline]] inline int32_t storedPaintingAnt(const World& w, int32_t x, int32_t y) {
    const IndexedSquare* stored = w.storeIndexed ? w.storeIndexed->Find(x, y) : nullptr;
    return stored ? stored->ant : -1;
}
[[gnu::noinline]] inline bool storedBlackSquare(const World& w, int32_t x, int32_t y) {
    return w.storeBW && w.storeBW->Find(x, y);
}

// The index of the ant that painted square (x, y) of an indexed run, or -1 for an empty square.
// Inlined: a painter reads a frame's squares through it.
template <CellWidth Width>
[[gnu::always_inline]] inline int32_t paintingAnt(const World& w, int32_t x, int32_t y) {
    const FastGrid& g = w.grid;
    if (g.exists() && g.inside(x, y)) {
        // Cells hold the complement of the ant index, zero for an empty square (FastGrid.h).
        const uint64_t cell = g.cellNumber(x, y);
        uint32_t code;
        if constexpr (Width == CellWidth::Nibble)
            code = (g.cells[cell >> 1] >> ((cell & 1) ? 0 : 4)) & 0x0Fu;  // even cells high
        else if constexpr (Width == CellWidth::Byte)
            code = g.cells[cell];
        else
            code = reinterpret_cast<const uint16_t*>(g.cells)[cell];
        constexpr uint32_t mask = Width == CellWidth::Nibble ? 0x0Fu : Width == CellWidth::Byte ? 0xFFu : 0xFFFFu;
        return code == 0 ? -1 : static_cast<int32_t>(~code & mask);
    }
    return storedPaintingAnt(w, x, y);
}

// Whether square (x, y) of a black-and-white run is black.
[[gnu::always_inline]] inline bool blackSquare(const World& w, int32_t x, int32_t y) {
    const FastGrid& g = w.grid;
    if (g.exists() && g.inside(x, y)) return bwBitBlack(g, g.bitNumber(x, y)) != 0;
    return storedBlackSquare(w, x, y);
}

}  // namespace qm
