#include "gui/view/SquarePainters.h"

#include <algorithm>

#include "gui/view/EyeWindow.h"
#include "gui/view/MainView.h"
#include "gui/view/PaintContext.h"
#include "core/IntegerDivision.h"
#include "display/Colours.h"
#include "gui/view/EyeWindow.h"
#include "gui/view/ImageSurface.h"
#include "gui/view/MovePaint.h"
#include "gui/view/PaintingLoops.h"

namespace qm {

PixelTarget::PixelTarget(QImage& image, const MainView& view) {
    // The view's numbers are in widget pixels; an image at ratio k holds k x k pixels for each.
    const int64_t k = ImageSurface::ratioOf(image);
    bits_ = image.bits();
    bytesPerLine_ = image.bytesPerLine();
    width_ = image.width();
    height_ = image.height();
    originX_ = (static_cast<int64_t>(view.viewCentreX) + static_cast<int64_t>(view.viewOffsetX) * view.squareSize) * k;
    originY_ = static_cast<int64_t>(image.height()) -
               (static_cast<int64_t>(view.viewCentreY) + static_cast<int64_t>(view.viewOffsetY) * view.squareSize) * k;
    size_ = static_cast<int32_t>((view.squareSize < 1 ? 1 : view.squareSize) * k);
    lead_ = static_cast<int32_t>((view.squareSize <= 1 ? 0 : view.halfSquare) * k);
    // Square X covers columns left .. left + size - 1 with left = originX + X * size - lead;
    // square Y rows top .. top + size - 1 with top = originY - Y * size - lead.
    const int64_t s = size_;
    const int64_t left0 = originX_ - lead_;  // left of square 0
    const int64_t top0 = originY_ - lead_;   // top of square 0
    whole_ = {SquareRange::of(ceilDiv(-left0, s), floorDiv(width_ - s - left0, s)),
              SquareRange::of(ceilDiv(top0 + s - height_, s), floorDiv(top0, s))};
    touching_ = {SquareRange::of(floorDiv(-s - left0, s) + 1, ceilDiv(width_ - left0, s) - 1),
                 SquareRange::of(floorDiv(top0 - height_, s) + 1, ceilDiv(top0 + s, s) - 1)};
    squareOrigin_ = reinterpret_cast<uintptr_t>(bits_) + static_cast<uint64_t>(top0 * bytesPerLine_) +
                    static_cast<uint64_t>(left0 * 4);
    rowStep_ = s * bytesPerLine_;
}

PixelTarget::SquareRange PixelTarget::SquareRange::of(int64_t first, int64_t last) {
    // Only the part within the 32-bit coordinates, which may be nothing.
    first = std::max<int64_t>(first, INT32_MIN);
    last = std::min<int64_t>(last, INT32_MAX);
    if (first > last) return {};
    return {static_cast<uint32_t>(static_cast<int32_t>(first)), static_cast<uint64_t>(last - first + 1)};
}

void PixelTarget::fillClipped(int64_t left, int64_t top, int64_t size, uint32_t argb) const {
    const int64_t x0 = std::max<int64_t>(left, 0);
    const int64_t y0 = std::max<int64_t>(top, 0);
    const int64_t x1 = std::min<int64_t>(left + size, width_);
    const int64_t y1 = std::min<int64_t>(top + size, height_);
    for (int64_t y = y0; y < y1; ++y) {
        uint32_t* row = reinterpret_cast<uint32_t*>(bits_ + y * bytesPerLine_);
        for (int64_t x = x0; x < x1; ++x) row[x] = argb;
    }
}

namespace {

// Every hook gets the main window as its context.
inline PaintContext& formOf(void* context) { return *static_cast<PaintContext*>(context); }

inline uint32_t stateArgbOf(const PaintContext& form, uint32_t cellValue) {
    return stateArgb(*form.stateColours, cellValue);
}

// The square the current ant stands on: the one its square update has just rewritten.
inline AntPos currentSquare(const World& w) { return w.antPos[w.counters.currentAnt]; }

// Size 0 stands for "the view's square size, whatever it is".
template <int Size>
inline void fillSquare(PaintContext& form, uint64_t outsideCalls, AntPos p, uint32_t argb) {
    MainView& view = *form.mainView;
    view.noteVisited(p.x, p.y);
    const PixelTarget& target = view.pixelTarget(outsideCalls);
    if constexpr (Size == 0) target.fill(p.x, p.y, argb);
    else target.fillFixed<Size>(p.x, p.y, argb);
}

// Installed as both the paint and the erase hook: the loop calls one target whatever the turn,
// which the processor predicts, and the painter reads the turn from the world.
template <class Painted, int Size>
void paintMove(void* context) {
    PaintContext& form = formOf(context);
    const World& w = *form.world;
    const AntPos p = currentSquare(w);
    const uint32_t painted = Painted::argb(w, w.counters.currentAnt);
    const uint8_t cleared = w.lastTurn;
    const uint64_t outsideCalls = w.outsideCalls;
    fillSquare<Size>(form, outsideCalls, p, paintedOrWhite(cleared, painted));
    Painted::tellEye(*form.eyeWindow, outsideCalls, p, [painted] { return painted; }, cleared);
}

template <int Size>
void paintState(void* context) {
    PaintContext& form = formOf(context);
    const World& w = *form.world;
    const AntPos p = currentSquare(w);
    const uint32_t argb = stateArgbOf(form, currentCellValue(w));
    const uint64_t outsideCalls = w.outsideCalls;
    fillSquare<Size>(form, outsideCalls, p, argb);
    form.eyeWindow->stateMove(outsideCalls, p, [argb] { return argb; });
}

// Item "0": nothing drawn, but the eye window and the repaint's extent still follow the run.
// Installed as both the paint and the erase hook, like paintMove.
template <class Painted>
void noteMove(void* context) {
    PaintContext& form = formOf(context);
    const World& w = *form.world;
    const AntPos p = currentSquare(w);
    form.mainView->noteVisited(p.x, p.y);
    // The colour only matters to an eye that draws: it is read then.
    Painted::tellEye(
        *form.eyeWindow, w.outsideCalls, p, [&w] { return Painted::argb(w, w.counters.currentAnt); }, w.lastTurn);
}

void noteStateSquare(void* context) {
    PaintContext& form = formOf(context);
    const World& w = *form.world;
    const AntPos p = currentSquare(w);
    form.mainView->noteVisited(p.x, p.y);
    form.eyeWindow->stateMove(w.outsideCalls, p, [&] { return stateArgbOf(form, currentCellValue(w)); });
}

// Size 0 here is the generic painter, which the loops know as GenericSize.
template <int Size>
SquarePainterSet paintersOfSize(bool blackWhite) {
    const Hook move = blackWhite ? &paintMove<BlackSquares, Size> : &paintMove<AntColour, Size>;
    return {move, move, &paintState<Size>, &chooseWindowLoop<Size == 0 ? GenericSize : Size>};
}

}  // namespace

SquarePainterSet squarePaintersFor(bool itemZero, int32_t size, bool blackWhite) {
    if (itemZero) {
        const Hook move = blackWhite ? &noteMove<BlackSquares> : &noteMove<AntColour>;
        return {move, move, &noteStateSquare, &chooseWindowLoop<ExtentOnly>};
    }
    switch (size) {
        case 1: return paintersOfSize<1>(blackWhite);
        case 2: return paintersOfSize<2>(blackWhite);
        case 4: return paintersOfSize<4>(blackWhite);
        case 6: return paintersOfSize<6>(blackWhite);
        case 8: return paintersOfSize<8>(blackWhite);
        default: return paintersOfSize<0>(blackWhite);
    }
}

}  // namespace qm
