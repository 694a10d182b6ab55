// The eye window's full repaint: the background, the fast grid at the eye scale, every element
// of the sparse stores, then the view-centre marker. It reads the grid and the stores only.

#include <algorithm>
#include <cstdint>
#include <vector>

#include <QLabel>

#include "core/IntegerDivision.h"
#include "gui/view/EyeWindow.h"
#include "gui/view/ImageSurface.h"
#include "gui/view/MainView.h"
#include "gui/view/WaitCursor.h"
#include "gui/window/MainWindowWidgets.h"

namespace {

// Squares first..last, both included.
struct Span {
    int64_t first;
    int64_t last;
    bool empty() const { return first > last; }
};

// At coarse scales the black-and-white scan tests whole bytes of eight squares, visits every
// few columns only and skips one row after each run of empty rows.
struct Sampling {
    int64_t columnStep;
    int64_t runLength;
};

constexpr int32_t FirstSampledScale = 16;

Sampling samplingFor(int32_t scale) {
    struct Row {
        int32_t fromScale;
        Sampling sampling;
    };
    static constexpr Row Table[] = {{5120, {512, 4096}}, {3072, {256, 2048}}, {1536, {128, 1024}},
                                    {768, {64, 512}},    {328, {32, 256}},    {196, {16, 128}},
                                    {96, {8, 64}},       {48, {4, 32}},       {24, {2, 16}}};
    for (const Row& row : Table)
        if (scale >= row.fromScale) return row.sampling;
    return {1, 8};
}

// Where the squares of a run can be: the bounding box widened by one square (a square reached by
// a left turn lies just outside it), joined with every square the painters were handed.
struct PaintedExtent {
    Span x;
    Span y;
};

// Squares whose pixel column lies on an image `width` pixels wide.
Span visibleColumns(const qm::EyeMapping& mapping, int64_t width) {
    return {qm::firstWithQuotientAtLeast(-int64_t{mapping.centreX}, mapping.scale),
            qm::lastWithQuotientAtMost(width - 1 - mapping.centreX, mapping.scale)};
}

PaintedExtent paintedExtent(const qm::World& w, const MainView& view) {
    const qm::RunCounters& c = w.counters;
    PaintedExtent e{{int64_t{c.minX} - 1, int64_t{c.maxX} + 1}, {int64_t{c.minY} - 1, int64_t{c.maxY} + 1}};
    if (view.anyVisited()) {
        e.x = {std::min<int64_t>(e.x.first, view.visitedMinX), std::max<int64_t>(e.x.last, view.visitedMaxX)};
        e.y = {std::min<int64_t>(e.y.first, view.visitedMinY), std::max<int64_t>(e.y.last, view.visitedMaxY)};
    }
    return e;
}

// What the scans need to know, gathered once per repaint.
struct ScanContext {
    const qm::World& world;
    const qm::StateColourTable& stateColours;
    qm::EyeMapping mapping;
    qm::PixelCanvas& canvas;
    Span visibleX;  // squares whose pixel column lies in the image
    Span visibleY;  // squares whose pixel row lies in the image

    bool antArgb(uint32_t ant, uint32_t& argb) const {
        if (!world.antColour || ant >= static_cast<uint32_t>(world.antPosCapacity)) return false;
        argb = qm::toArgb(world.antColour[ant]);
        return true;
    }
    uint32_t stateArgb(uint32_t cellValue) const { return qm::toArgb(stateColours[std::min<uint32_t>(cellValue, 64u)]); }
};

// Every square of the range, column by column (the cell layouts other than black-and-white
// keep a column's squares together). Within one pixel the square scanned last wins, so each
// pixel's block is searched from its end and the search stops at the first stored square.
template <class CellArgb>
void scanColumns(const ScanContext& sc, const Span& xs, const Span& ys, CellArgb cellArgb) {
    const qm::FastGrid& g = sc.world.grid;
    const int64_t s = sc.mapping.scale;
    for (int64_t x = xs.first; x <= xs.last; ++x) {
        const int64_t px = sc.mapping.column(static_cast<int32_t>(x));
        const int64_t columnBase = (x + g.halfSize) * g.side + g.halfSize;  // cell index of (x, 0)
        for (int64_t y = ys.first; y <= ys.last;) {
            const int64_t quotient = y / s;
            const int64_t blockLast = std::min(qm::lastWithQuotientAtMost(quotient, s), ys.last);
            for (int64_t yy = blockLast; yy >= y; --yy) {
                uint32_t argb = 0;
                if (cellArgb(columnBase + yy, argb)) {
                    sc.canvas.plot(px, sc.mapping.originY - quotient, argb);
                    break;
                }
            }
            y = blockLast + 1;
        }
    }
}

// Any black square among bits first..last (both included) of one row of the bit grid.
bool anyBlack(const uint8_t* row, int64_t first, int64_t last) {
    const int64_t firstByte = first >> 3, lastByte = last >> 3;
    const uint32_t headMask = (0xFFu << (first & 7)) & 0xFFu;
    const uint32_t tailMask = 0xFFu >> (7 - (last & 7));
    if (firstByte == lastByte) return (row[firstByte] & headMask & tailMask) != 0;
    if (row[firstByte] & headMask) return true;
    for (int64_t b = firstByte + 1; b < lastByte; ++b)
        if (row[b]) return true;
    return (row[lastByte] & tailMask) != 0;
}

// Black-and-white below the sampling scales: every square tested. The bits lie in rows, so the
// scan goes pixel row by pixel row and tests each pixel's block a row of squares at a time.
void scanBitsExactly(const ScanContext& sc, const Span& xs, const Span& ys) {
    const qm::FastGrid& g = sc.world.grid;
    const int64_t s = sc.mapping.scale;
    const uint32_t black = qm::toArgb(qm::Black);
    for (int64_t y = ys.first; y <= ys.last;) {
        const int64_t yQuotient = y / s;
        const int64_t yLast = std::min(qm::lastWithQuotientAtMost(yQuotient, s), ys.last);
        const int64_t py = sc.mapping.originY - yQuotient;
        for (int64_t x = xs.first; x <= xs.last;) {
            const int64_t xQuotient = x / s;
            const int64_t xLast = std::min(qm::lastWithQuotientAtMost(xQuotient, s), xs.last);
            for (int64_t yy = y; yy <= yLast; ++yy) {
                const uint8_t* row = g.cells + (yy + g.halfSize) * g.rowBytes;
                if (anyBlack(row, x + g.halfSize, xLast + g.halfSize)) {
                    sc.canvas.plot(sc.mapping.centreX + xQuotient, py, black);
                    break;
                }
            }
            x = xLast + 1;
        }
        y = yLast + 1;
    }
}

// Black-and-white at the sampling scales. Columns from xlo in steps of the column step; in each
// column, runs of up to `runLength` tests, each of the byte one row above the current square
// (b): a byte with any black square paints the pixel of (x, b) and ends the run, an empty one
// moves b up a row; after a run b moves up one more row. The columns are independent, so they
// are stepped together row by row (the bytes of a grid row lie side by side in memory), their
// states kept in flat arrays and updated without branches; columns that share a pixel column
// are grouped, so a row paints each pixel once at most.
void scanBitsSampled(const ScanContext& sc, int64_t xlo, int64_t xhi, int64_t ylo, int64_t yhi) {
    const qm::FastGrid& g = sc.world.grid;
    const Sampling sampling = samplingFor(sc.mapping.scale);
    const uint32_t runLength = static_cast<uint32_t>(sampling.runLength);
    const uint32_t black = qm::toArgb(qm::Black);

    struct PixelColumn {
        size_t firstColumn;
        size_t endColumn;
        int64_t px;
    };
    std::vector<uint32_t> byteInRow;  // per sampled column
    std::vector<PixelColumn> pixelColumns;
    for (int64_t x = xlo; x < xhi; x += sampling.columnStep) {
        const int64_t px = sc.mapping.column(static_cast<int32_t>(x));
        if (px < 0) continue;  // left of the image: its pixels would all be clipped
        if (pixelColumns.empty() || pixelColumns.back().px != px)
            pixelColumns.push_back({byteInRow.size(), byteInRow.size(), px});
        byteInRow.push_back(static_cast<uint32_t>((x + g.halfSize) >> 3));
        pixelColumns.back().endColumn = byteInRow.size();
    }
    if (byteInRow.empty()) return;
    std::vector<uint32_t> testsInRun(byteInRow.size(), 0);
    std::vector<uint8_t> skipRow(byteInRow.size(), 0);

    for (int64_t t = ylo + 1; t <= yhi; ++t) {  // t = b + 1, the row tested
        const uint8_t* row = g.cells + (t + g.halfSize) * g.rowBytes;
        const int64_t py = sc.mapping.originY - (t - 1) / sc.mapping.scale;
        for (const PixelColumn& pixel : pixelColumns) {
            uint32_t anyHit = 0;
            for (size_t j = pixel.firstColumn; j < pixel.endColumn; ++j) {
                const uint32_t tested = skipRow[j] ^ 1u;
                const uint32_t black8 = row[byteInRow[j]] != 0;
                const uint32_t hit = tested & black8;
                // A hit starts a new run; an empty test counts; a skipped row changes nothing.
                const uint32_t count = (testsInRun[j] + (tested & (black8 ^ 1u))) & (hit - 1u);
                const uint32_t runOver = count == runLength;
                skipRow[j] = static_cast<uint8_t>(runOver);
                testsInRun[j] = runOver ? 0 : count;
                anyHit |= hit;
            }
            if (anyHit) sc.canvas.plot(pixel.px, py, black);
        }
    }
}

}  // namespace

void EyeWindow::paint() {
    qm::WaitCursor busy;
    attachCanvas();
    canvas_.fill(qm::toArgb(eyeBackground));
    if (world_.grid.exists()) scanFastGrid();
    paintStores();
    toggleViewCentreMarker();
    if (world_.idle == 0) ui_.eyeChangedLabel->show();
    ui_.eyeSurface->update();
}

void EyeWindow::scanFastGrid() {
    qm::World& w = world_;
    const qm::FastGrid& g = w.grid;
    const int64_t s = mapping_.scale;
    const int64_t r = g.halfSize;
    w.squareStateFromStore = 0;

    ScanContext sc{w, stateColours_, mapping_, canvas_, {}, {}};
    sc.visibleX = visibleColumns(mapping_, canvas_.width());
    sc.visibleY = {qm::firstWithQuotientAtLeast(int64_t{mapping_.originY} - (canvas_.height() - 1), s),
                   qm::lastWithQuotientAtMost(mapping_.originY, s)};

    if (g.width == qm::CellWidth::Bit && s >= FirstSampledScale) {
        // The sampled columns and rows start where the eye's area, the grid and the bounding
        // box (widened by one) begin; where they end beyond the image changes no pixel.
        const int64_t halfW = ui_.eyeSurface->width() / 2, halfH = ui_.eyeSurface->height() / 2;
        const qm::RunCounters& c = w.counters;
        const int64_t xlo = std::max({(-halfW - 1) * s, -r, int64_t{c.minX} - 1});
        const int64_t ylo = std::max({(-halfH - 1) * s, -r, int64_t{c.minY} - 1});
        const int64_t xhi = std::min({(int64_t{ui_.eyeSurface->width()} + 1) * s, r, int64_t{c.maxX} + 1,
                                      sc.visibleX.last + 1});
        const int64_t yhi = std::min({(int64_t{ui_.eyeSurface->height()} + 1) * s, r, int64_t{c.maxY} + 1,
                                      sc.visibleY.last + 1});
        scanBitsSampled(sc, xlo, xhi, ylo, yhi);
        return;
    }

    // Every square that can be painted and can reach the image.
    const PaintedExtent painted = paintedExtent(w, mainView_);
    const Span xs{std::max({sc.visibleX.first, -r, painted.x.first}), std::min({sc.visibleX.last, r, painted.x.last})};
    const Span ys{std::max({sc.visibleY.first, -r, painted.y.first}), std::min({sc.visibleY.last, r, painted.y.last})};
    if (xs.empty() || ys.empty()) return;

    const uint8_t* cells = g.cells;
    switch (g.width) {
        case qm::CellWidth::Bit:
            scanBitsExactly(sc, xs, ys);
            break;
        case qm::CellWidth::Nibble:
            scanColumns(sc, xs, ys, [&](int64_t cell, uint32_t& argb) {
                const uint32_t ant = qm::indexedCellValue<qm::CellWidth::Nibble>(cells, cell);
                return ant != 0x0Fu && sc.antArgb(ant, argb);
            });
            break;
        case qm::CellWidth::Word:
            scanColumns(sc, xs, ys, [&](int64_t cell, uint32_t& argb) {
                const uint32_t ant = qm::indexedCellValue<qm::CellWidth::Word>(cells, cell);
                return ant != 0xFFFFu && sc.antArgb(ant, argb);
            });
            break;
        case qm::CellWidth::Byte:
            if (w.generalized) {
                scanColumns(sc, xs, ys, [&](int64_t cell, uint32_t& argb) {
                    const uint32_t value = cells[cell];  // 0: never visited, else state + 1
                    if (value == 0) return false;
                    argb = sc.stateArgb(value);
                    return true;
                });
            } else {
                scanColumns(sc, xs, ys, [&](int64_t cell, uint32_t& argb) {
                    const uint32_t ant = qm::indexedCellValue<qm::CellWidth::Byte>(cells, cell);
                    return ant != 0xFFu && sc.antArgb(ant, argb);
                });
            }
            break;
    }
}

// Store squares whose column lies on the image, in the order indexed, black-and-white,
// generalized; what misses it vertically is clipped. Each store is entered at the first such
// column, so a far zoom into a long highway reads only the part shown.
void EyeWindow::paintStores() {
    qm::World& w = world_;
    const ScanContext sc{w, stateColours_, mapping_, canvas_, {}, {}};
    const Span columns = visibleColumns(mapping_, canvas_.width());
    if (columns.empty() || columns.last < INT32_MIN || columns.first > INT32_MAX) return;
    const auto firstX = static_cast<int32_t>(std::max<int64_t>(columns.first, INT32_MIN));
    const int64_t lastX = columns.last;
    if (const qm::IndexedSquareStore* store = w.storeIndexed) {
        store->ForEachFromX(firstX, [&](const qm::IndexedSquare& e) {
            if (e.X > lastX) return false;
            uint32_t argb = 0;
            if (sc.antArgb(e.ant, argb)) canvas_.plot(mapping_.column(e.X), mapping_.row(e.Y), argb);
            return true;
        });
    }
    if (const qm::BlackSquareStore* store = w.storeBW) {
        const uint32_t black = qm::toArgb(qm::Black);
        store->ForEachFromX(firstX, [&](const qm::BlackSquare& e) {
            if (e.X > lastX) return false;
            canvas_.plot(mapping_.column(e.X), mapping_.row(e.Y), black);
            return true;
        });
    }
    if (const qm::GeneralizedSquareStore* store = w.storeMulti) {
        // The state of a stored square reaches the painters through the store hand-off.
        w.squareStateFromStore = 1;
        store->ForEachFromX(firstX, [&](const qm::GeneralizedSquare& e) {
            if (e.X > lastX) return false;
            w.currentSquareState = e.state;
            canvas_.plot(mapping_.column(e.X), mapping_.row(e.Y), sc.stateArgb(e.state));
            return true;
        });
    }
}
