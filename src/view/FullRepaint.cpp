// The full repaint of the main view: every stored square of the visible part of the fast grid,
// then every element of the sparse stores. It reads the grid and the stores, never writes them.

#include <algorithm>
#include <cstdint>

#include "app/MainForm/MainForm.h"
#include "view/ImageSurface.h"
#include "view/MainView.h"
#include "view/SquarePainters.h"
#include "view/WaitCursor.h"

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
SquareRange repaintRange(const MainView& view, const qm::World& w, int64_t width, int64_t height) {
    const int64_t s = view.squareSize;
    const int64_t left = ((0 - width / 2) - 1) / s - view.viewOffsetX - 1;
    const int64_t right = (width + 1) / s - view.viewOffsetX + 1;
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

uint32_t stateArgb(const TForm1& form, uint32_t cellValue) {
    return qm::toArgb(form.stateColours[std::min<uint32_t>(cellValue, 64u)]);
}

void repaintGrid(const TForm1& form, const qm::PixelTarget& target, const SquareRange& range) {
    const qm::World& w = form.world;
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

// Stores are drawn whole, in the order indexed, black-and-white, generalized; what misses the
// surface is clipped.
void repaintStores(const TForm1& form, const qm::PixelTarget& target) {
    const qm::World& w = form.world;
    if (const qm::TSS_SortAddArray* store = w.storeIndexed) {
        for (int32_t i = 0, n = store->Count(); i < n; ++i) {
            const qm::TMyixUI16& e = (*store)[i];
            uint32_t argb = 0;
            if (antArgb(w, e.ant, argb)) target.fill(e.X, e.Y, argb);
        }
    }
    if (const qm::TSS_SortAddArrayBW* store = w.storeBW) {
        const uint32_t black = qm::toArgb(qm::Black);
        for (int32_t i = 0, n = store->Count(); i < n; ++i) target.fill((*store)[i].X, (*store)[i].Y, black);
    }
    if (const qm::TSS_SortAddArrayMulti* store = w.storeMulti) {
        for (int32_t i = 0, n = store->Count(); i < n; ++i) {
            const qm::TMyMulti& e = (*store)[i];
            target.fill(e.X, e.Y, stateArgb(form, e.state));
        }
    }
}

}  // namespace

void MainView::fullRepaint() {
    if (drawsNothing) return;
    qm::WaitCursor hourglass;
    QImage& image = form_.PaintBox1->image();
    const qm::PixelTarget target(image, *this);
    if (form_.world.grid.exists()) {
        const SquareRange range = repaintRange(*this, form_.world, image.width(), image.height());
        if (!range.empty()) repaintGrid(form_, target, range);
    }
    repaintStores(form_, target);
    form_.PaintBox1->update();
}
