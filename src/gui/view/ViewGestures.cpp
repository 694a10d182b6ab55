#include "gui/view/ViewGestures.h"

#include <algorithm>

#include <QComboBox>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

#include "gui/view/ImageSurface.h"
#include "gui/view/MainView.h"
#include "gui/view/Navigation.h"

namespace {

constexpr int WheelNotch = 120;  // one step of a common wheel

int64_t floorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

}  // namespace

ViewGestures::ViewGestures(QComboBox& squareSizeCombo, const qm::ImageSurface& viewSurface, MainView& mainView,
                           Navigation& navigation)
    : squareSizeCombo_(squareSizeCombo), viewSurface_(viewSurface), mainView_(mainView), navigation_(navigation) {}

// A square of size s >= 2 covers the columns from its centre pixel - s/2 to + s/2 - 1, and the
// same rows; at size 1 it is one pixel.
int64_t ViewGestures::columnUnder(int x, int32_t centreX, int32_t squareSize) {
    return floorDiv(int64_t{x} - centreX + squareSize / 2, squareSize);
}

int64_t ViewGestures::rowUnder(int y, int height, int32_t centreY, int32_t squareSize) {
    return floorDiv(int64_t{height} - centreY - y + (squareSize + 1) / 2 - 1, squareSize);
}

void ViewGestures::wheel(QWheelEvent* event) {
    event->accept();
    QComboBox* sizes = &squareSizeCombo_;
    if (!sizes->isEnabled()) return;
    wheelAngle_ += event->angleDelta().y();
    const int steps = wheelAngle_ / WheelNotch;
    wheelAngle_ -= steps * WheelNotch;
    const int item = std::clamp(sizes->currentIndex() + steps, 0, sizes->count() - 1);
    if (steps == 0 || item == sizes->currentIndex()) return;

    MainView& view = mainView_;
    const QPoint at = event->position().toPoint();
    const int height = viewSurface_.height();
    // The square under the pointer, in grid coordinates.
    const int64_t x = columnUnder(at.x(), view.viewCentreX, view.squareSize) - view.viewOffsetX;
    const int64_t y = rowUnder(at.y(), height, view.viewCentreY, view.squareSize) - view.viewOffsetY;
    sizes->setCurrentIndex(item);  // the size list's own handler: painters, clear, repaint
    const int64_t offsetX = columnUnder(at.x(), view.viewCentreX, view.squareSize) - x;
    const int64_t offsetY = rowUnder(at.y(), height, view.viewCentreY, view.squareSize) - y;
    if (offsetX != view.viewOffsetX || offsetY != view.viewOffsetY) navigation_.moveTo(offsetX, offsetY);
}

void ViewGestures::mousePress(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    dragging_ = true;
    dragFrom_ = event->position().toPoint();
    dragOffsetX_ = mainView_.viewOffsetX;
    dragOffsetY_ = mainView_.viewOffsetY;
}

void ViewGestures::mouseMove(QMouseEvent* event) {
    if (!dragging_ || !(event->buttons() & Qt::LeftButton)) return;
    const MainView& view = mainView_;
    const QPoint moved = event->position().toPoint() - dragFrom_;
    // The picture follows the pointer: right raises the offset X, down lowers Y (Y is up).
    const int64_t offsetX = int64_t{dragOffsetX_} + moved.x() / view.squareSize;
    const int64_t offsetY = int64_t{dragOffsetY_} - moved.y() / view.squareSize;
    if (offsetX != view.viewOffsetX || offsetY != view.viewOffsetY) navigation_.moveTo(offsetX, offsetY);
}

void ViewGestures::mouseRelease(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) dragging_ = false;
}

bool ViewGestures::keyPress(QKeyEvent* event) {
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return false;
    switch (event->key()) {
        case Qt::Key_Left: navigation_.pan(1, 0); return true;
        case Qt::Key_Right: navigation_.pan(-1, 0); return true;
        case Qt::Key_Up: navigation_.pan(0, -1); return true;
        case Qt::Key_Down: navigation_.pan(0, 1); return true;
        default: return false;
    }
}
