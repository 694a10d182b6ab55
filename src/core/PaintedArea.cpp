#include "core/PaintedArea.h"

#include <algorithm>

#include "core/GridExtent.h"

namespace qm {

void SquareBox::include(int32_t x, int32_t y) {
    if (empty()) {
        *this = {x, x, y, y};
        return;
    }
    minX = std::min(minX, x);
    maxX = std::max(maxX, x);
    minY = std::min(minY, y);
    maxY = std::max(maxY, y);
}

void SquareBox::include(const SquareBox& other) {
    if (other.empty()) return;
    include(other.minX, other.minY);
    include(other.maxX, other.maxY);
}

uint32_t gridSquareCode(const World& w, int32_t x, int32_t y) {
    const FastGrid& g = w.grid;
    switch (g.width) {
        case CellWidth::Bit: return g.blackAt(x, y) ? 1u : 0u;
        case CellWidth::Nibble: {
            const uint32_t ant = g.indexedValue(x, y);
            return ant == 0xFu ? 0u : ant + 1u;
        }
        case CellWidth::Word: {
            const uint32_t ant = g.indexedValue(x, y);
            return ant == 0xFFFFu ? 0u : ant + 1u;
        }
        case CellWidth::Byte:
            if (w.generalized) return g.generalizedValue(x, y);
            {
                const uint32_t ant = g.indexedValue(x, y);
                return ant == 0xFFu ? 0u : ant + 1u;
            }
    }
    return 0;
}

SquareBox paintedArea(const World& w) {
    const RunCounters& c = w.counters;
    SquareBox area{c.minX, c.maxX, c.minY, c.maxY};
    area.include(gridExtent(w.grid));
    forEachStoredSquare(w, [&](int32_t x, int32_t y, uint32_t) { area.include(x, y); });
    return area;
}

}  // namespace qm
