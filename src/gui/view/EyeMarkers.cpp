// The eye window's two markers, the view centre and the square under a dragging mouse: a small
// cross in a square outline, drawn with a not-xor pen so that drawing it again removes it.

#include <algorithm>

#include "gui/view/EyeWindow.h"
#include "gui/view/ImageSurface.h"
#include "gui/view/MainView.h"
#include "gui/window/MainWindowWidgets.h"

// The square shown at the main view's centre: the one "Move X:" and "Move Y:" name.
void EyeWindow::drawViewCentreMarker() {
    drawMarkerAtSquare(-int64_t{mainView_.viewOffsetX}, -int64_t{mainView_.viewOffsetY});
}

void EyeWindow::drawMarkerAtSquare(int64_t x, int64_t y) {
    refreshMapping();
    canvas_.ensureCurrent();
    drawMarker(mapping_.column64(x), mapping_.row64(y));
    ui_.eyeSurface->update();
}

// Each line is its own stroke, as the platform draws them: the cross's two strokes meet in the
// centre pixel, which they therefore leave as it was. On a high-density image the marker keeps
// its size in widget pixels, centred in the widget pixel (px, py), with lines one image pixel thin.
void EyeWindow::drawMarker(int64_t px, int64_t py) {
    const uint32_t pen = qm::toArgb(MarkerColour);
    const int64_t k = canvas_.ratio();
    const int64_t arm = MarkerArm * k, frame = MarkerFrame * k;
    px = px * k + k / 2;
    py = py * k + k / 2;
    notXorLine(px - arm, py, px + arm, py, pen);
    notXorLine(px, py - arm, px, py + arm, pen);
    const int64_t left = px - frame, right = px + frame;
    const int64_t top = py - frame, bottom = py + frame;
    notXorLine(left, top, left, bottom, pen);
    notXorLine(left, bottom, right, bottom, pen);
    notXorLine(right, bottom, right, top, pen);
    notXorLine(right, top, left, top, pen);
}

// A horizontal or vertical line from its start point up to, but not including, its end point.
void EyeWindow::notXorLine(int64_t x0, int64_t y0, int64_t x1, int64_t y1, uint32_t pen) {
    const int64_t dx = x1 > x0 ? 1 : x1 < x0 ? -1 : 0;
    const int64_t dy = y1 > y0 ? 1 : y1 < y0 ? -1 : 0;
    const int64_t length = std::max(x1 > x0 ? x1 - x0 : x0 - x1, y1 > y0 ? y1 - y0 : y0 - y1);
    for (int64_t i = 0; i < length; ++i) canvas_.notXor(x0 + i * dx, y0 + i * dy, pen);
}
