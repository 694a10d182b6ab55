#include "core/FastGrid.h"

#include <cmath>
#include <cstring>

#include "core/Platform.h"

namespace qm {

int32_t fastGridByteSize(int32_t halfSize, CellWidth width) {
    const int32_t side = 2 * halfSize + 1;
    if (width == CellWidth::Bit) {
        // Rows of bits, with the generous block the program has always allocated for them.
        const int32_t rowBytes = side / 8 + (side % 8 != 0 ? 1 : 0);
        const int64_t generous = 9ll * rowBytes * (side / 8) + 4;
        // The generous block always covers the rows for the half sizes in use; a tiny grid
        // (tests, future tables) must still hold every row.
        const int64_t rows = static_cast<int64_t>(side) * rowBytes;
        return static_cast<int32_t>(generous > rows ? generous : rows);
    }
    const double bytesPerCell = width == CellWidth::Nibble ? 0.5 : width == CellWidth::Byte ? 1.0 : 2.0;
    return static_cast<int32_t>(static_cast<double>(side) * side * bytesPerCell + 1.0);
}

bool allocateFastGrid(FastGrid& grid, int32_t halfSize, CellWidth width, uint8_t fill) {
    releaseFastGrid(grid);
    grid.halfSize = halfSize;
    grid.side = 2 * halfSize + 1;
    grid.maxCell = 2 * halfSize;
    grid.halfSide = grid.side * 0.5;
    grid.rowBytes = width == CellWidth::Bit ? grid.side / 8 + (grid.side % 8 != 0 ? 1 : 0) : 0;
    grid.width = width;
    grid.byteSize = fastGridByteSize(halfSize, width);
    const auto bytes = static_cast<std::size_t>(grid.byteSize);
    if (fill == 0) {  // zero pages: a start costs nothing until the ants reach a page
        grid.cells = static_cast<uint8_t*>(allocator().allocateZeroed(bytes));
        return grid.cells != nullptr;
    }
    grid.cells = static_cast<uint8_t*>(allocator().allocate(bytes));
    if (!grid.cells) return false;
    std::memset(grid.cells, fill, bytes);
    return true;
}

void releaseFastGrid(FastGrid& grid) {
    if (grid.cells) allocator().release(grid.cells);
    grid.cells = nullptr;
}

uint32_t FastGrid::indexedValue(int32_t x, int32_t y) const {
    const int64_t cell = cellIndex(x, y);
    switch (width) {
        case CellWidth::Nibble: {
            const uint8_t b = cells[cell >> 1];
            return (cell & 1) ? (b & 0x0Fu) : (b >> 4);
        }
        case CellWidth::Word: return reinterpret_cast<const uint16_t*>(cells)[cell];
        default: return cells[cell];
    }
}

bool FastGrid::blackAt(int32_t x, int32_t y) const {
    return (cells[bitByte(x, y)] & bitMask(x, halfSize)) != 0;
}

uint8_t FastGrid::generalizedValue(int32_t x, int32_t y) const { return cells[cellIndex(x, y)]; }

}  // namespace qm
