#pragma once
// The square updates of the three run modes: read and rewrite the square under an ant in one
// operation and return the turn result (0 right, 1 left, -1 failure). Inlined into the loops.

#include <cstdint>

#include "core/World.h"

namespace qm {

// Inside square `cell` (its cell number) of an indexed grid, read and written without
// data-dependent branches: whether a square is painted is a coin toss for the processor's
// predictor. Reading and writing are apart so that a loop can look at a square before it decides
// to take the move.
template <CellWidth Width>
inline int32_t indexedCellPainted(const FastGrid& g, uint64_t cell) {
    // Cells hold the complement of the ant index: zero is empty (FastGrid.h).
    if constexpr (Width == CellWidth::Nibble) {
        // Even cells live in the high nibble, odd cells in the low one.
        const uint32_t mask = (cell & 1) ? 0x0Fu : 0xF0u;
        return (g.cells[cell >> 1] & mask) != 0;
    } else if constexpr (Width == CellWidth::Byte) {
        return g.cells[cell] != 0;
    } else {
        return reinterpret_cast<const uint16_t*>(g.cells)[cell] != 0;
    }
}

// A painted square becomes empty (zero), an empty one takes the complement of the ant's index.
// The new value is made from the turn result without a conditional, which may become a branch.
template <CellWidth Width>
inline void indexedCellToggle(const FastGrid& g, uint64_t cell, int32_t painted, int32_t ant) {
    const uint32_t allOnesIfPainted = 0u - static_cast<uint32_t>(painted);
    const uint32_t code = ~(static_cast<uint32_t>(ant) | allOnesIfPainted);
    if constexpr (Width == CellWidth::Nibble) {
        uint8_t& b = g.cells[cell >> 1];
        const int shift = (cell & 1) ? 0 : 4;
        const uint32_t mask = 0x0Fu << shift;
        b = static_cast<uint8_t>((b & ~mask) | ((code << shift) & mask));
    } else if constexpr (Width == CellWidth::Byte) {
        g.cells[cell] = static_cast<uint8_t>(code);
    } else {
        reinterpret_cast<uint16_t*>(g.cells)[cell] = static_cast<uint16_t>(code);
    }
}

template <CellWidth Width>
inline int32_t indexedCellUpdate(const FastGrid& g, int32_t ant, uint64_t cell) {
    const int32_t painted = indexedCellPainted<Width>(g, cell);
    indexedCellToggle<Width>(g, cell, painted, ant);
    return painted;
}

inline int32_t bwBitBlack(const FastGrid& g, uint64_t bit) { return (g.cells[bit >> 3] >> (bit & 7)) & 1; }
inline void bwBitFlip(const FastGrid& g, uint64_t bit) {
    g.cells[bit >> 3] = static_cast<uint8_t>(g.cells[bit >> 3] ^ (1u << (bit & 7)));
}
inline int32_t bwBitUpdate(const FastGrid& g, uint64_t bit) {
    const int32_t wasBlack = bwBitBlack(g, bit);
    bwBitFlip(g, bit);
    return wasBlack;
}

// Squares beyond the fast grid: the sparse store of the run, or a failure without one. Out of
// line and cold: inlined, the compiler laid the loops out with the grid's square as the jump away
// and back, two taken branches on every move.
[[gnu::noinline, gnu::cold]] inline int32_t storeUpdateIndexed(World& w, int32_t ant, int32_t x, int32_t y) {
    w.searchIndexed.X = x;
    w.searchIndexed.Y = y;
    w.searchIndexed.ant = static_cast<uint16_t>(ant);
    return w.storeIndexed ? w.storeIndexed->Toggle() : -1;
}
[[gnu::noinline, gnu::cold]] inline int32_t storeUpdateBW(World& w, int32_t x, int32_t y) {
    w.searchBW.X = x;
    w.searchBW.Y = y;
    return w.storeBW ? w.storeBW->Toggle() : -1;
}

// `g` is the world's grid; the loops pass a local copy, which no hook can change behind their back.
// Always inlined: a loop instance with a painter might otherwise call it, one call per move.
template <CellWidth Width>
[[gnu::always_inline]] inline int32_t squareUpdateIndexed(World& w, const FastGrid& g, int32_t ant, int32_t x, int32_t y) {
    if (!g.inside(x, y)) [[unlikely]] return storeUpdateIndexed(w, ant, x, y);
    return indexedCellUpdate<Width>(g, ant, g.cellNumber(x, y));
}

[[gnu::always_inline]] inline int32_t squareUpdateBW(World& w, const FastGrid& g, int32_t x, int32_t y) {
    if (!g.inside(x, y)) [[unlikely]] return storeUpdateBW(w, x, y);
    return bwBitUpdate(g, g.bitNumber(x, y));
}

// Bit s of the program; a cell left above a lowered state count can reach s >= 64 once,
// and the shift then uses s modulo 64 as the processor does.
inline int32_t programBit(uint64_t program, uint32_t state) {
    return static_cast<int32_t>((program >> (state & 63u)) & 1u);
}

// Beyond the fast grid, out of line and cold as the other modes' store paths.
[[gnu::noinline, gnu::cold]] inline int32_t storeUpdateGeneralized(World& w, uint64_t program, int32_t x, int32_t y) {
    w.searchMulti.X = x;
    w.searchMulti.Y = y;
    w.squareStateFromStore = 1;
    if (!w.storeMulti) return -1;
    GeneralizedSquare* found = w.storeMulti->FindOrAddElement();
    if (!found) return -1;
    GeneralizedSquare& e = *found;
    const int32_t turn = programBit(program, static_cast<uint32_t>(e.state) - 1u);
    e.state = static_cast<uint8_t>(e.state + 1);
    if (e.state > w.states) {
        e.state = 1;
        ++w.counters.peakFilled;
    }
    w.currentSquareState = e.state;
    return turn;
}

inline int32_t squareUpdateGeneralized(World& w, uint64_t program, int32_t x, int32_t y) {
    const FastGrid& g = w.grid;
    const int32_t states = w.states;
    if (!g.inside(x, y)) [[unlikely]] return storeUpdateGeneralized(w, program, x, y);
    w.squareStateFromStore = 0;
    const int64_t cell = g.cellIndex(x, y);
    w.currentCellIndex = cell;
    uint8_t& b = g.cells[cell];
    if (b == 0) {
        b = 1;
        ++w.counters.filled;
    }
    const int32_t turn = programBit(program, static_cast<uint32_t>(b) - 1u);
    b = static_cast<uint8_t>(b + 1);
    if (b > states) {
        b = 1;
        ++w.counters.peakFilled;
    }
    return turn;
}

}  // namespace qm
