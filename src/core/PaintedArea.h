#pragma once
// What a run left on the grid, read the same way in every mode: one code per square, the
// stored squares in key order, and the area a whole picture or pattern must cover.

#include <cstdint>

#include "core/World.h"

namespace qm {

// Inclusive square bounds; empty when min > max.
struct SquareBox {
    int32_t minX = 0, maxX = -1, minY = 0, maxY = -1;
    bool empty() const { return minX > maxX || minY > maxY; }
    int64_t width() const { return empty() ? 0 : int64_t{maxX} - minX + 1; }
    int64_t height() const { return empty() ? 0 : int64_t{maxY} - minY + 1; }
    void include(int32_t x, int32_t y);
    void include(const SquareBox& other);
};

// One code per square for every mode: 0 = empty, white or never visited; indexed: ant index + 1;
// black-and-white: 1; generalized: the cell value (state + 1).
uint32_t gridSquareCode(const World& w, int32_t x, int32_t y);  // an inside square of the grid

// Every element of the run's store, in key order, as (x, y, code).
template <class Visit>
void forEachStoredSquare(const World& w, Visit&& visit) {
    if (w.storeIndexed)
        w.storeIndexed->ForEach([&](const IndexedSquare& e) { visit(int32_t{e.X}, int32_t{e.Y}, uint32_t{e.ant} + 1u); });
    if (w.storeBW) w.storeBW->ForEach([&](const BlackSquare& e) { visit(int32_t{e.X}, int32_t{e.Y}, 1u); });
    if (w.storeMulti)
        w.storeMulti->ForEach([&](const GeneralizedSquare& e) { visit(int32_t{e.X}, int32_t{e.Y}, uint32_t{e.state}); });
}

// The run's bounding box joined with every painted (or, generalized, visited) square of the grid
// and the store. Painted squares can lie beyond the box (start squares, left turns onto fresh
// squares), so the grid is scanned for them.
SquareBox paintedArea(const World& w);

}  // namespace qm
