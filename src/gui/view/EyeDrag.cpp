// Re-centring the main view from the eye window: a left-button drag shows the square under the
// mouse, the release centres the main view on it. At the largest scales the squares lie far
// beyond 32 bits, so they are computed in 64 bits and clamped where they meet the view offset
// and the labels.

#include <algorithm>

#include <QLabel>
#include <QMouseEvent>

#include "gui/window/MainWindow.h"
#include "gui/view/EyeWindow.h"
#include "gui/view/ImageSurface.h"
#include "gui/view/MainView.h"

namespace {

// Symmetric, so that the negated value (the view offset) fits as well.
constexpr int64_t OffsetLimit = 2147483647;

int64_t clampToOffset(int64_t value) { return std::clamp(value, -OffsetLimit, OffsetLimit); }

QPoint mousePosition(const QMouseEvent* event) { return event->position().toPoint(); }

}  // namespace

int64_t EyeWindow::squareXAt(int64_t mouseX) const { return (mouseX - eyeCentreX) * std::max(eyeScale, 1); }

int64_t EyeWindow::squareYAt(int64_t mouseY) const {
    return (int64_t{form_.ui_.eye.eyeSurface->height()} - eyeCentreY - mouseY) * std::max(eyeScale, 1);
}

void EyeWindow::showMoveLabels(int64_t x, int64_t y) {
    form_.ui_.navigation.moveXValue->setText(QString::number(clampToOffset(x)));
    form_.ui_.navigation.moveYValue->setText(QString::number(clampToOffset(y)));
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
        form_.mainView->viewOffsetX = static_cast<int32_t>(-x);
        form_.mainView->viewOffsetY = static_cast<int32_t>(-y);
        showMoveLabels(x, y);
        toggleViewCentreMarker();
        form_.ui_.view.viewSurface->render();  // the main view's paint handler
    }
    dragging_ = false;
    dragX = NoDrag;
}
