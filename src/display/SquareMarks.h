#pragma once
// A bit per square of the main view, set where a move landed since the view last drew them:
// `columns` x `rows` squares from (firstX, firstY), in lines of `wordsPerLine` words, a line per
// row (`RowMajor`) or per column, so that drawing them reads the grid along its own lines.

#include <cstddef>
#include <cstdint>

#include "core/World.h"

namespace qm {

struct SquareMarks {
    uint64_t* words = nullptr;
    uint32_t firstX = 0, firstY = 0, columns = 0, rows = 0;  // coordinates as unsigned numbers
    uint32_t wordsPerLine = 0;

    // Squares off the surface are passed by a branch, though it predicts badly: on the long
    // 1000-ant workload 47% of the moves fall in the default view's rows, 29% in the view, and
    // two moves in a row agree only 60% of the time. On a second machine every other form was
    // slower still: a bit per ant for each group of 64 ants, set without a branch and marked
    // once the group has moved, 11%; a spare word chosen by a conditional move, 16%; one branch
    // on both tests, 8%; the replay thread without the eye, 11%.
    // Earlier, on the first machine: a branchless mark into a spare word cost the loop a tenth more
    // with a third of the moves on the view, a spare word per ant 14% more, and a bit per square
    // of the whole fast grid (no test at all) 4% more: a store on every move costs more than the
    // branch. Marking once per step from the ants' places, vectorised, let the loop run as fast
    // as without marks, but the pass itself cost as much as the marks it replaced. Also slower:
    // a list of the moves in the view's rows, marked after each step (9%: its count could not
    // stay in a register), a byte per square instead of a bit (2%: it leaves the nearest cache),
    // and a column outside the view led to a spare line instead of a branch (4%). A byte per
    // square stored without any branch (a spare byte off the view) cost 12%: the byte marks of a
    // view leave the nearer caches, and every move stores.
    // The row is tested alone first: most moves miss the view's rows (a view is wider than it
    // is tall), and they then cost one subtraction and one comparison. Measured on the default
    // display against both at once: 1.6% with the column first, 2-3% with the row first.
    template <bool RowMajor>
    [[gnu::always_inline]] void mark(AntPos at) const {
        const uint32_t row = static_cast<uint32_t>(at.y) - firstY;
        if (row >= rows) return;
        const uint32_t column = static_cast<uint32_t>(at.x) - firstX;
        if (column < columns) {
            const uint32_t line = RowMajor ? row : column;
            const uint32_t along = RowMajor ? column : row;
            words[std::size_t{line} * wordsPerLine + (along >> 6)] |= uint64_t{1} << (along & 63);
        }
    }
};

}  // namespace qm
