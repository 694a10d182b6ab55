#pragma once
// What a Langton square holds now, wherever it lies: the fast grid's cell or the run's sparse
// store. For painters that note which squares the moves touched and draw them from the world
// afterwards; the last move on a square left exactly this. Squares are read a grid line at a
// time, along the grid's own order: a column of an indexed grid, a row of a black-and-white one.

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

// The squares of column x of an indexed run: valueAt(y) is the index of the ant that painted
// square (x, y), or the all-ones value of the cell width for an empty square.
template <CellWidth Width>
class IndexedColumn {
public:
    IndexedColumn(const World& w, int32_t x)
        : w_(w), x_(x), cells_(w.grid.cells), halfSize_(static_cast<uint32_t>(w.grid.halfSize)),
          maxCell_(static_cast<uint32_t>(w.grid.maxCell)) {
        const FastGrid& g = w.grid;
        inside_ = g.exists() && g.shifted(x) <= maxCell_;
        first_ = inside_ ? uint64_t{g.shifted(x)} * static_cast<uint32_t>(g.side) : 0;
    }

    // The grid's fields are held here: a caller that writes pixels between two squares would
    // otherwise have them read again from the world after every write.
    [[gnu::always_inline]] uint32_t valueAt(int32_t y) const {
        const uint32_t v = static_cast<uint32_t>(y) + halfSize_;
        if (!inside_ || v > maxCell_) [[unlikely]] {
            const int32_t stored = storedPaintingAnt(w_, x_, y);
            return stored < 0 ? indexedEmpty(Width) : static_cast<uint32_t>(stored);
        }
        return indexedCellValue<Width>(cells_, first_ + v);
    }

private:
    const World& w_;
    int32_t x_;
    const uint8_t* cells_;
    uint32_t halfSize_, maxCell_;
    bool inside_;
    uint64_t first_;  // cell number of (x, -R)
};

// The squares of row y of a black-and-white run: blackAt(x) says whether square (x, y) is black.
class BlackRow {
public:
    BlackRow(const World& w, int32_t y) : w_(w), y_(y) {
        const FastGrid& g = w.grid;
        inside_ = g.exists() && g.shifted(y) <= static_cast<uint32_t>(g.maxCell);
        first_ = inside_ ? uint64_t{g.shifted(y)} * 8u * static_cast<uint32_t>(g.rowBytes) : 0;
    }

    [[gnu::always_inline]] bool blackAt(int32_t x) const {
        const FastGrid& g = w_.grid;
        const uint32_t u = g.shifted(x);
        if (!inside_ || u > static_cast<uint32_t>(g.maxCell)) [[unlikely]] return storedBlackSquare(w_, x, y_);
        return bwBitBlack(g, first_ + u) != 0;
    }

private:
    const World& w_;
    int32_t y_;
    bool inside_;
    uint64_t first_;  // bit number of (-R, y)
};

}  // namespace qm
