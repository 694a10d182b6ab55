#include "core/GridExtent.h"

#include <algorithm>
#include <cstring>

namespace qm {
namespace {

// The block seen as a row of equal cells, numbered as FastGrid numbers them: S lines of
// `lineStride` cells, of which the first S are squares (bit rows carry padding after them).
// X-major cells: line = X + R, position = Y + R; bit rows: line = Y + R, position = X + R.
// In every mode an empty square is a zero cell.
struct CellRow {
    const uint8_t* bytes;
    int bitsPerCell;     // 1, 4, 8 or 16
    int64_t lineStride;

    bool filled(int64_t cell) const {
        switch (bitsPerCell) {
            case 1: return (bytes[cell >> 3] >> (cell & 7)) & 1u;
            case 4: return (bytes[cell >> 1] & ((cell & 1) ? 0x0Fu : 0xF0u)) != 0;
            case 8: return bytes[cell] != 0;
            default: return bytes[2 * cell] != 0 || bytes[2 * cell + 1] != 0;
        }
    }
    int64_t cellsPerWord() const { return 64 / bitsPerCell; }
    bool wordEmpty(int64_t firstCell) const {  // firstCell: a multiple of cellsPerWord()
        uint64_t word;
        std::memcpy(&word, bytes + firstCell * bitsPerCell / 8, sizeof word);
        return word == 0;
    }
    bool wordAligned(int64_t cell) const { return cell % cellsPerWord() == 0; }

    // First filled cell of [begin, end), or end.
    int64_t firstFilled(int64_t begin, int64_t end) const {
        const int64_t step = cellsPerWord();
        int64_t c = begin;
        while (c < end) {
            if (wordAligned(c) && end - c >= step) {
                if (wordEmpty(c)) {
                    c += step;
                    continue;
                }
                for (const int64_t stop = c + step; c < stop; ++c)
                    if (filled(c)) return c;
                continue;
            }
            if (filled(c)) return c;
            ++c;
        }
        return end;
    }
    // Last filled cell of [begin, end), or begin - 1.
    int64_t lastFilled(int64_t begin, int64_t end) const {
        const int64_t step = cellsPerWord();
        int64_t c = end;  // cells below c remain
        while (c > begin) {
            if (wordAligned(c) && c - begin >= step) {
                if (wordEmpty(c - step)) {
                    c -= step;
                    continue;
                }
                for (const int64_t stop = c - step; c > stop; --c)
                    if (filled(c - 1)) return c - 1;
                continue;
            }
            if (filled(c - 1)) return c - 1;
            --c;
        }
        return begin - 1;
    }
};

struct LineExtent {
    int64_t firstLine = 0, lastLine = -1, firstPos = 0, lastPos = -1;
};

// Lines first, then in each line only the stretches outside the positions already found: every
// cell is read at most once.
LineExtent scan(const CellRow& row, int64_t side) {
    LineExtent e;
    auto lineStart = [&](int64_t line) { return line * row.lineStride; };
    auto lineFilled = [&](int64_t line) { return row.firstFilled(lineStart(line), lineStart(line) + side) < lineStart(line) + side; };
    int64_t first = 0;
    while (first < side && !lineFilled(first)) ++first;
    if (first == side) return e;
    int64_t last = side - 1;
    while (!lineFilled(last)) --last;
    e.firstLine = first;
    e.lastLine = last;
    e.firstPos = side;
    for (int64_t line = first; line <= last; ++line) {
        const int64_t start = lineStart(line);
        const int64_t lo = row.firstFilled(start, start + e.firstPos);
        if (lo < start + e.firstPos) e.firstPos = lo - start;
        const int64_t hi = row.lastFilled(start + std::max(e.lastPos + 1, int64_t{0}), start + side);
        if (hi >= start + std::max(e.lastPos + 1, int64_t{0})) e.lastPos = hi - start;
    }
    return e;
}

}  // namespace

SquareBox gridExtent(const FastGrid& grid) {
    if (!grid.exists()) return {};
    const int64_t side = grid.side;
    CellRow row{grid.cells, 8, side};
    switch (grid.width) {
        case CellWidth::Bit: row = {grid.cells, 1, 8 * int64_t{grid.rowBytes}}; break;
        case CellWidth::Nibble: row.bitsPerCell = 4; break;
        case CellWidth::Word: row.bitsPerCell = 16; break;
        case CellWidth::Byte: break;
    }
    const LineExtent e = scan(row, side);
    if (e.lastLine < e.firstLine) return {};
    const auto square = [&](int64_t v) { return static_cast<int32_t>(v - grid.halfSize); };
    if (grid.width == CellWidth::Bit)
        return {square(e.firstPos), square(e.lastPos), square(e.firstLine), square(e.lastLine)};
    return {square(e.firstLine), square(e.lastLine), square(e.firstPos), square(e.lastPos)};
}

}  // namespace qm
