#pragma once
// The main view answers the hand: the wheel steps "Ant square size:" and keeps the square under
// the pointer in place, a left-button drag pans, and the arrow keys pan as the arrow buttons do.
// Everything goes through the existing handlers (the size list, the view offset with its
// labels, marker and repaint).

#include <cstdint>

#include <QPoint>

class QKeyEvent;
class QMouseEvent;
class QWheelEvent;
class QComboBox;
class MainView;
class Navigation;

namespace qm {
class ImageSurface;
}

class ViewGestures {
public:
    ViewGestures(QComboBox& squareSizeCombo, const qm::ImageSurface& viewSurface, MainView& mainView,
                 Navigation& navigation);

    void wheel(QWheelEvent* event);
    void mousePress(QMouseEvent* event);
    void mouseMove(QMouseEvent* event);
    void mouseRelease(QMouseEvent* event);
    bool keyPress(QKeyEvent* event);

    // The square coordinate (X + view offset, Y + view offset) under a pixel of the main view.
    static int64_t columnUnder(int x, int32_t centreX, int32_t squareSize);
    static int64_t rowUnder(int y, int height, int32_t centreY, int32_t squareSize);

private:
    QComboBox& squareSizeCombo_;
    const qm::ImageSurface& viewSurface_;
    MainView& mainView_;
    Navigation& navigation_;
    bool dragging_ = false;
    QPoint dragFrom_;
    int32_t dragOffsetX_ = 0;
    int32_t dragOffsetY_ = 0;
    int wheelAngle_ = 0;  // eighths of a degree not yet turned into a step
};
