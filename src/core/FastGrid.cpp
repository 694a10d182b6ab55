#include "core/FastGrid.h"

#include <cmath>

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

bool allocateFastGrid(FastGrid& grid, int32_t halfSize, CellWidth width) {
    releaseFastGrid(grid);
    grid.halfSize = halfSize;
    grid.side = 2 * halfSize + 1;
    grid.maxCell = 2 * halfSize;
    grid.halfSide = grid.side * 0.5;
    grid.rowBytes = width == CellWidth::Bit ? grid.side / 8 + (grid.side % 8 != 0 ? 1 : 0) : 0;
    grid.width = width;
    grid.byteSize = fastGridByteSize(halfSize, width);
    // Zero pages: a start costs nothing until the ants reach a page.
    grid.cells = static_cast<uint8_t*>(allocator().allocateZeroed(static_cast<std::size_t>(grid.byteSize)));
    return grid.cells != nullptr;
}

void releaseFastGrid(FastGrid& grid) {
    if (grid.cells) allocator().release(grid.cells);
    grid.cells = nullptr;
}

uint32_t FastGrid::indexedValue(int32_t x, int32_t y) const {
    const uint64_t cell = cellNumber(x, y);
    switch (width) {
        case CellWidth::Nibble: return indexedCellValue<CellWidth::Nibble>(cells, cell);
        case CellWidth::Word: return indexedCellValue<CellWidth::Word>(cells, cell);
        default: return indexedCellValue<CellWidth::Byte>(cells, cell);
    }
}

void FastGrid::setIndexedValue(int32_t x, int32_t y, uint32_t value) {
    const uint64_t cell = cellNumber(x, y);
    const uint32_t code = encodeIndexedCell(value, width);
    switch (width) {
        case CellWidth::Nibble: {
            uint8_t& pair = cells[cell >> 1];
            pair = (cell & 1) ? static_cast<uint8_t>((pair & 0xF0u) | code)
                              : static_cast<uint8_t>((pair & 0x0Fu) | code << 4u);
            break;
        }
        case CellWidth::Word: reinterpret_cast<uint16_t*>(cells)[cell] = static_cast<uint16_t>(code); break;
        default: cells[cell] = static_cast<uint8_t>(code); break;
    }
}

bool FastGrid::blackAt(int32_t x, int32_t y) const {
    return (cells[bitByte(x, y)] & bitMask(x, halfSize)) != 0;
}

uint8_t FastGrid::generalizedValue(int32_t x, int32_t y) const { return cells[cellIndex(x, y)]; }

}  // namespace qm
