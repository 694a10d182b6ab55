#include "view/SquarePainters.h"

#include <algorithm>

#include "app/MainForm/MainForm.h"
#include "view/Colours.h"
#include "view/EyeWindow.h"
#include "view/ImageSurface.h"
#include "view/MainView.h"

namespace qm {

PixelTarget::PixelTarget(QImage& image, const MainView& view)
    : bits_(image.bits()),
      bytesPerLine_(image.bytesPerLine()),
      width_(image.width()),
      height_(image.height()),
      originX_(static_cast<int64_t>(view.viewCentreX) +
               static_cast<int64_t>(view.viewOffsetX) * view.squareSize),
      originY_(static_cast<int64_t>(image.height()) - view.viewCentreY -
               static_cast<int64_t>(view.viewOffsetY) * view.squareSize),
      size_(view.squareSize < 1 ? 1 : view.squareSize),
      lead_(view.squareSize <= 1 ? 0 : view.halfSquare) {}

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
inline TForm1& formOf(void* context) { return *static_cast<TForm1*>(context); }

// The square the current ant stands on: the one its square update has just rewritten.
inline AntPos currentSquare(const World& w) { return w.antPos[w.counters.currentAnt]; }

// Cell value of the square just updated, wherever the square update left it.
inline uint8_t currentCellValue(const World& w) {
    return w.squareStateFromStore ? w.currentSquareState : w.grid.cells[w.currentCellIndex];
}

inline uint32_t stateArgb(const TForm1& form, uint32_t cellValue) {
    return toArgb(form.stateColours[std::min<uint32_t>(cellValue, 64u)]);
}

// Size 0 stands for "the view's square size, whatever it is".
template <int Size>
inline void fillSquare(TForm1& form, AntPos p, uint32_t argb) {
    MainView& view = *form.mainView;
    view.noteVisited(p.x, p.y);
    const PixelTarget target(form.PaintBox1->image(), view);
    if constexpr (Size == 0) target.fill(p.x, p.y, argb);
    else target.fillFixed<Size>(p.x, p.y, argb);
}

template <int Size>
void paintAntColour(void* context) {
    TForm1& form = formOf(context);
    const World& w = form.world;
    fillSquare<Size>(form, currentSquare(w), toArgb(colourOf(w.antColour[w.counters.currentAnt])));
    form.eyeWindow->paintedSquare();
}

template <int Size>
void paintBlack(void* context) {
    TForm1& form = formOf(context);
    fillSquare<Size>(form, currentSquare(form.world), toArgb(Black));
    form.eyeWindow->paintedSquare();
}

// A square an ant has just cleared shows pure white until the next full repaint.
template <int Size>
void eraseWhite(void* context) {
    TForm1& form = formOf(context);
    fillSquare<Size>(form, currentSquare(form.world), toArgb(White));
    form.eyeWindow->clearedSquare();
}

template <int Size>
void paintState(void* context) {
    TForm1& form = formOf(context);
    const World& w = form.world;
    fillSquare<Size>(form, currentSquare(w), stateArgb(form, currentCellValue(w)));
    form.eyeWindow->paintedSquare();
}

// Item "0": nothing drawn, but the eye window and the repaint's extent still follow the run.
void notePainted(void* context) {
    TForm1& form = formOf(context);
    const AntPos p = currentSquare(form.world);
    form.mainView->noteVisited(p.x, p.y);
    form.eyeWindow->paintedSquare();
}

void noteCleared(void* context) {
    TForm1& form = formOf(context);
    const AntPos p = currentSquare(form.world);
    form.mainView->noteVisited(p.x, p.y);
    form.eyeWindow->clearedSquare();
}

template <int Size>
SquarePainterSet paintersOfSize(bool blackWhite) {
    return {blackWhite ? &paintBlack<Size> : &paintAntColour<Size>, &eraseWhite<Size>, &paintState<Size>};
}

}  // namespace

SquarePainterSet squarePaintersFor(bool itemZero, int32_t size, bool blackWhite) {
    if (itemZero) return {&notePainted, &noteCleared, &notePainted};
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
