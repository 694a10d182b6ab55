#pragma once
// The dense tier of the world: one block holding every square with |X| <= R and |Y| <= R.

#include <cstdint>

namespace qm {

enum class CellWidth { Nibble, Byte, Word, Bit };

// Indexed cells hold the complement of the ant index within their width, so that the empty
// square (the all-ones index) is a zero cell: a block starts as zero pages, and what the ants
// never reach costs neither time nor memory. Complementing is its own inverse, and complementing
// every byte converts all cells of any indexed width at once.
constexpr uint32_t indexedEmpty(CellWidth width) {
    return width == CellWidth::Nibble ? 0xFu : width == CellWidth::Byte ? 0xFFu : 0xFFFFu;
}
constexpr uint32_t encodeIndexedCell(uint32_t value, CellWidth width) { return ~value & indexedEmpty(width); }
constexpr uint32_t decodeIndexedCell(uint32_t code, CellWidth width) { return ~code & indexedEmpty(width); }

// The ant index of indexed cell `cell` (its cell number), or the all-ones value when empty.
template <CellWidth Width>
inline uint32_t indexedCellValue(const uint8_t* cells, uint64_t cell) {
    uint32_t code;
    if constexpr (Width == CellWidth::Nibble) {  // even cells in the high nibble, odd ones in the low
        const uint8_t pair = cells[cell >> 1];
        code = (cell & 1) ? (pair & 0x0Fu) : (pair >> 4u);
    } else if constexpr (Width == CellWidth::Byte) {
        code = cells[cell];
    } else {
        code = reinterpret_cast<const uint16_t*>(cells)[cell];
    }
    return decodeIndexedCell(code, Width);
}

struct FastGrid {
    int32_t halfSize = 0;      // R
    int32_t side = 0;          // S = 2R + 1
    int32_t maxCell = 0;       // 2R
    double halfSide = 0.0;     // S * 0.5, the byte stride of one column of 4-bit cells
    int32_t rowBytes = 0;      // black-and-white only: ceil(S / 8)
    int32_t byteSize = 0;      // bytes allocated; upper bound of any byte or word index
    CellWidth width = CellWidth::Byte;
    uint8_t* cells = nullptr;  // none when no grid exists

    bool exists() const { return cells != nullptr; }

    // Well-defined form of "0 <= X + R <= 2R": one unsigned comparison, no signed overflow.
    bool inside(int32_t x, int32_t y) const {
        const uint32_t u = static_cast<uint32_t>(x) + static_cast<uint32_t>(halfSize);
        const uint32_t v = static_cast<uint32_t>(y) + static_cast<uint32_t>(halfSize);
        return u <= static_cast<uint32_t>(maxCell) && v <= static_cast<uint32_t>(maxCell);
    }
    // Linear index of a square: the cell number u * S + v (X-major) or, in black-and-white mode,
    // the bit number v * 8 * rowBytes + u (Y-major rows of bits), with u = X + R and v = Y + R.
    // In 64 bits: the largest bit grid holds more than 2^32 bits. Taken modulo 2^64, so it is
    // exact for every inside square and moves by a fixed amount per direction wherever the square
    // is: a loop can carry it from move to move.
    uint64_t cellNumber(int32_t x, int32_t y) const {
        return uint64_t{shifted(x)} * static_cast<uint32_t>(side) + shifted(y);
    }
    uint64_t bitNumber(int32_t x, int32_t y) const {
        return uint64_t{shifted(y)} * 8u * static_cast<uint32_t>(rowBytes) + shifted(x);
    }
    // The same for an inside square, as the readers use them.
    int64_t cellIndex(int32_t x, int32_t y) const { return static_cast<int64_t>(cellNumber(x, y)); }
    int64_t bitByte(int32_t x, int32_t y) const { return static_cast<int64_t>(bitNumber(x, y) >> 3); }
    uint32_t shifted(int32_t v) const { return static_cast<uint32_t>(v) + static_cast<uint32_t>(halfSize); }
    static uint8_t bitMask(int32_t x, int32_t halfSize) {
        return static_cast<uint8_t>(1u << ((x + halfSize) & 7));
    }

    // Readers' decoding of one inside square.
    // Indexed: the ant index, or the all-ones value of the width when empty.
    uint32_t indexedValue(int32_t x, int32_t y) const;
    void setIndexedValue(int32_t x, int32_t y, uint32_t value);  // the ant index, or all ones: empty
    bool blackAt(int32_t x, int32_t y) const;               // black-and-white
    uint8_t generalizedValue(int32_t x, int32_t y) const;   // cell value, 0 = never visited
};

// Byte size of the block for the given half size and cell width (the documented formulas).
int32_t fastGridByteSize(int32_t halfSize, CellWidth width);

// Releases any previous block, sizes and obtains a new one of zero pages: every square empty,
// white or never visited. False when the block cannot be obtained.
bool allocateFastGrid(FastGrid& grid, int32_t halfSize, CellWidth width);
void releaseFastGrid(FastGrid& grid);

}  // namespace qm
