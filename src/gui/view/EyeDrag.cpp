// Re-centring the main view from the eye window: a left-button drag shows the square under the
// mouse, the release centres the main view on it. At the largest scales the squares lie far
// beyond 32 bits, so they are computed in 64 bits and clamped where they meet the view offset
// and the labels.

#include <algorithm>

#include <QLabel>
#include <QMouseEvent>

#include "gui/view/EyeWindow.h"
#include "gui/view/ImageSurface.h"
#include "gui/view/MainView.h"
#include "gui/window/MainWindowWidgets.h"

namespace {

// Symmetric, so that the negated value (the view offset) fits as well.
constexpr int64_t OffsetLimit = 2147483647;

int64_t clampToOffset(int64_t value) { return std::clamp(value, -OffsetLimit, OffsetLimit); }

QPoint mousePosition(const QMouseEvent* event) { return event->position().toPoint(); }

}  // namespace

int64_t EyeWindow::squareXAt(int64_t mouseX) const { return (mouseX - eyeCentreX) * std::max(eyeScale, 1); }

int64_t EyeWindow::squareYAt(int64_t mouseY) const {
    return (int64_t{ui_.eyeSurface->height()} - eyeCentreY - mouseY) * std::max(eyeScale, 1);
}

void EyeWindow::showMoveLabels(int64_t x, int64_t y) {
    navigation_.moveXValue->setText(QString::number(clampToOffset(x)));
    navigation_.moveYValue->setText(QString::number(clampToOffset(y)));
}

void EyeWindow::mouseDown(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const QPoint at = mousePosition(event);
    dragging_ = true;
    dragX = squareXAt(at.x());
    dragY = squareYAt(at.y());
    toggleViewCentreMarker();
    if (drawCenterChecked()) {
        drawMarkerAtSquare(dragX, dragY);
        showMoveLabels(dragX, dragY);
    }
}

void EyeWindow::mouseMove(QMouseEvent* event) {
    if (!dragging_) return;
    const QPoint at = mousePosition(event);
    if (drawCenterChecked()) drawMarkerAtSquare(dragX, dragY);
    dragX = squareXAt(at.x());
    dragY = squareYAt(at.y());
    showMoveLabels(dragX, dragY);
    if (drawCenterChecked()) drawMarkerAtSquare(dragX, dragY);
}

void EyeWindow::mouseUp(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && dragging_) {
        const QPoint at = mousePosition(event);
        if (drawCenterChecked()) drawMarkerAtSquare(dragX, dragY);
        const int64_t x = clampToOffset(squareXAt(at.x()));
        const int64_t y = clampToOffset(squareYAt(at.y()));
        mainView_.viewOffsetX = static_cast<int32_t>(-x);
        mainView_.viewOffsetY = static_cast<int32_t>(-y);
        showMoveLabels(x, y);
        toggleViewCentreMarker();
        viewSurface_.render();  // the main view's paint handler
    }
    dragging_ = false;
    dragX = NoDrag;
}
