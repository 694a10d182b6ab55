#include "core/PaintedArea.h"

#include <algorithm>

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

namespace {

// Anything stored in the grid on the square line from (x0, y0) to (x1, y1) (one axis fixed)?
bool lineHoldsSomething(const World& w, int32_t x0, int32_t x1, int32_t y0, int32_t y1) {
    for (int32_t x = x0; x <= x1; ++x)
        for (int32_t y = y0; y <= y1; ++y)
            if (gridSquareCode(w, x, y) != 0) return true;
    return false;
}

SquareBox clampedToGrid(SquareBox box, int32_t r) {
    box.minX = std::max(box.minX, -r);
    box.maxX = std::min(box.maxX, r);
    box.minY = std::max(box.minY, -r);
    box.maxY = std::min(box.maxY, r);
    return box;
}

SquareBox widened(SquareBox box) {
    if (box.empty()) return box;
    auto out = [](int32_t v, int step) {
        const int64_t moved = int64_t{v} + step;
        return static_cast<int32_t>(std::clamp<int64_t>(moved, INT32_MIN, INT32_MAX));
    };
    return {out(box.minX, -1), out(box.maxX, 1), out(box.minY, -1), out(box.maxY, 1)};
}

// Widens `e` (inside the grid) while a line just outside it holds something, then narrows it
// to the lines that do.
SquareBox gridExtent(const World& w, SquareBox e) {
    const int32_t r = w.grid.halfSize;
    for (bool grew = true; grew;) {
        grew = false;
        if (e.minX > -r && lineHoldsSomething(w, e.minX - 1, e.minX - 1, e.minY, e.maxY)) --e.minX, grew = true;
        if (e.maxX < r && lineHoldsSomething(w, e.maxX + 1, e.maxX + 1, e.minY, e.maxY)) ++e.maxX, grew = true;
        if (e.minY > -r && lineHoldsSomething(w, e.minX, e.maxX, e.minY - 1, e.minY - 1)) --e.minY, grew = true;
        if (e.maxY < r && lineHoldsSomething(w, e.minX, e.maxX, e.maxY + 1, e.maxY + 1)) ++e.maxY, grew = true;
    }
    while (e.minX <= e.maxX && !lineHoldsSomething(w, e.minX, e.minX, e.minY, e.maxY)) ++e.minX;
    while (e.minX <= e.maxX && !lineHoldsSomething(w, e.maxX, e.maxX, e.minY, e.maxY)) --e.maxX;
    if (e.empty()) return {};
    while (e.minY <= e.maxY && !lineHoldsSomething(w, e.minX, e.maxX, e.minY, e.minY)) ++e.minY;
    while (e.minY <= e.maxY && !lineHoldsSomething(w, e.minX, e.maxX, e.maxY, e.maxY)) --e.maxY;
    return e.empty() ? SquareBox{} : e;
}

}  // namespace

SquareBox paintedArea(const World& w, const SquareBox* visited) {
    const RunCounters& c = w.counters;
    SquareBox area{c.minX, c.maxX, c.minY, c.maxY};
    if (w.grid.exists()) {
        SquareBox seed = widened(area);
        if (visited) seed.include(*visited);
        if (w.antPos && c.antCount <= w.antPosCapacity)
            for (int32_t i = 0; i < c.antCount; ++i) seed.include(w.antPos[i].x, w.antPos[i].y);
        seed = clampedToGrid(widened(seed), w.grid.halfSize);
        if (!seed.empty()) area.include(gridExtent(w, seed));
    }
    forEachStoredSquare(w, [&](int32_t x, int32_t y, uint32_t) { area.include(x, y); });
    return area;
}

}  // namespace qm
