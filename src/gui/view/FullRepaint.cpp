// The full repaint of the main view: every stored square of the visible part of the fast grid,
// then the sparse stores' squares in the visible columns. It reads the grid and the stores, never writes them.

#include <algorithm>
#include <cstdint>

#include "core/World.h"
#include "gui/view/ImageSurface.h"
#include "gui/view/MainView.h"
#include "gui/view/PaintContext.h"
#include "gui/view/SquarePainters.h"
#include "gui/view/WaitCursor.h"

namespace {

struct SquareRange {
    int32_t firstX, lastX, firstY, lastY;
    bool empty() const { return firstX > lastX || firstY > lastY; }
};

// Columns and rows of the grid that can reach the surface, clamped to the grid and to where
// painted squares can be: the bounding box widened by one, joined with every square the
// painters were handed (start squares and generalized left turns on fresh squares lie outside
// the box). Divisions truncate toward zero. Each side reaches one square further than the
// quotients alone: at sizes 6 and 8 a square half on the surface at the left or bottom edge
// lies just beyond them, and the painters draw it.
struct ColumnSpan {
    int64_t left, right;
};

ColumnSpan visibleColumns(const MainView& view, int64_t width) {
    const int64_t s = view.squareSize;
    return {((0 - width / 2) - 1) / s - view.viewOffsetX - 1, (width + 1) / s - view.viewOffsetX + 1};
}

SquareRange repaintRange(const MainView& view, const qm::World& w, int64_t width, int64_t height) {
    const int64_t s = view.squareSize;
    const auto [left, right] = visibleColumns(view, width);
    const int64_t bottom = ((0 - height / 2) - 1) / s - view.viewOffsetY - 1;
    const int64_t top = (height + 1) / s - view.viewOffsetY + 1;

    const qm::RunCounters& c = w.counters;
    int64_t paintedMinX = static_cast<int64_t>(c.minX) - 1, paintedMaxX = static_cast<int64_t>(c.maxX) + 1;
    int64_t paintedMinY = static_cast<int64_t>(c.minY) - 1, paintedMaxY = static_cast<int64_t>(c.maxY) + 1;
    if (view.anyVisited()) {
        paintedMinX = std::min<int64_t>(paintedMinX, view.visitedMinX);
        paintedMaxX = std::max<int64_t>(paintedMaxX, view.visitedMaxX);
        paintedMinY = std::min<int64_t>(paintedMinY, view.visitedMinY);
        paintedMaxY = std::max<int64_t>(paintedMaxY, view.visitedMaxY);
    }
    const int64_t r = w.grid.halfSize;
    // Every bound is clamped into [-R, R], so the range fits 32 bits.
    return {static_cast<int32_t>(std::max({left, -r, paintedMinX})),
            static_cast<int32_t>(std::min({right, r, paintedMaxX})),
            static_cast<int32_t>(std::max({bottom, -r, paintedMinY})),
            static_cast<int32_t>(std::min({top, r, paintedMaxY}))};
}

// Colour of the ant whose index a square holds; false for an index the arrays do not hold.
bool antArgb(const qm::World& w, uint32_t ant, uint32_t& argb) {
    if (!w.antColour || ant >= static_cast<uint32_t>(w.antPosCapacity)) return false;
    argb = qm::toArgb(qm::colourOf(w.antColour[ant]));
    return true;
}

uint32_t stateArgb(const PaintContext& form, uint32_t cellValue) {
    return qm::toArgb((*form.stateColours)[std::min<uint32_t>(cellValue, 64u)]);
}

void repaintGrid(const PaintContext& form, const qm::PixelTarget& target, const SquareRange& range) {
    const qm::World& w = *form.world;
    const qm::FastGrid& grid = w.grid;
    const uint32_t black = qm::toArgb(qm::Black);
    for (int32_t x = range.firstX; x <= range.lastX; ++x) {
        for (int32_t y = range.firstY; y <= range.lastY; ++y) {
            switch (grid.width) {
                case qm::CellWidth::Bit:
                    if (grid.blackAt(x, y)) target.fill(x, y, black);
                    break;
                case qm::CellWidth::Byte:
                    if (w.generalized) {
                        const uint8_t value = grid.generalizedValue(x, y);
                        if (value != 0) target.fill(x, y, stateArgb(form, value));
                        break;
                    }
                    [[fallthrough]];
                default: {
                    const uint32_t ant = grid.indexedValue(x, y);
                    const uint32_t empty = grid.width == qm::CellWidth::Nibble ? 0xFu
                                           : grid.width == qm::CellWidth::Word ? 0xFFFFu
                                                                               : 0xFFu;
                    uint32_t argb = 0;
                    if (ant != empty && antArgb(w, ant, argb)) target.fill(x, y, argb);
                    break;
                }
            }
        }
    }
}

// Store squares in the visible columns, in the order indexed, black-and-white, generalized;
// what misses the surface vertically is clipped. A store is found at its first visible column,
// so a view of a small part of a long highway reads only that part.
void repaintStores(const PaintContext& form, const qm::PixelTarget& target, const ColumnSpan& columns) {
    const qm::World& w = *form.world;
    if (columns.left > columns.right || columns.right < INT32_MIN || columns.left > INT32_MAX) return;
    const auto firstX = static_cast<int32_t>(std::max<int64_t>(columns.left, INT32_MIN));
    const int64_t lastX = columns.right;
    if (const qm::IndexedSquareStore* store = w.storeIndexed) {
        store->ForEachFromX(firstX, [&](const qm::IndexedSquare& e) {
            if (e.X > lastX) return false;
            uint32_t argb = 0;
            if (antArgb(w, e.ant, argb)) target.fill(e.X, e.Y, argb);
            return true;
        });
    }
    if (const qm::BlackSquareStore* store = w.storeBW) {
        const uint32_t black = qm::toArgb(qm::Black);
        store->ForEachFromX(firstX, [&](const qm::BlackSquare& e) {
            if (e.X > lastX) return false;
            target.fill(e.X, e.Y, black);
            return true;
        });
    }
    if (const qm::GeneralizedSquareStore* store = w.storeMulti) {
        store->ForEachFromX(firstX, [&](const qm::GeneralizedSquare& e) {
            if (e.X > lastX) return false;
            target.fill(e.X, e.Y, stateArgb(form, e.state));
            return true;
        });
    }
}

}  // namespace

void MainView::fullRepaint() {
    if (drawsNothing) return;
    qm::WaitCursor hourglass;
    QImage& image = surface_.image();
    const qm::PixelTarget target(image, *this);
    // The ranges are in widget pixels, as the view's numbers are.
    const int ratio = qm::ImageSurface::ratioOf(image);
    const int width = image.width() / ratio, height = image.height() / ratio;
    if (world_.grid.exists()) {
        const SquareRange range = repaintRange(*this, world_, width, height);
        if (!range.empty()) repaintGrid(paintContext_, target, range);
    }
    repaintStores(paintContext_, target, visibleColumns(*this, width));
    surface_.update();
}
