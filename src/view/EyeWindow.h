#pragma once
// The eye window: a reduced-scale overview of the grid over the lower right corner of the main
// view, with its scale track bars, the view-centre marker and drag-to-recentre.

#include <array>
#include <cstdint>

#include "view/Colours.h"

class QMouseEvent;
class TForm1;

class EyeWindow {
public:
    explicit EyeWindow(TForm1& form);

    void layout();          // CFlaconSize changed, or the main window resized
    void showHide();        // "Eye S/H"
    void scaleChange();     // any eye track bar moved: pending scale and "Zoom: " label
    void redrawClick();     // "Redraw Eye": pending scale becomes the scale, full repaint
    void paint();           // full repaint of PaintBoxEye
    void drawCenterClick(); // "Draw Center" clicked
    void updateOptions();   // "Update ants in eye window" / "Update 'white' too"
    void mouseDown(QMouseEvent* event);
    void mouseMove(QMouseEvent* event);
    void mouseUp(QMouseEvent* event);
    void toggleViewCentreMarker();
    void paintedSquare();   // the current ant's square was painted
    void clearedSquare();   // the current ant's square turned white

    static constexpr std::array<double, 7> SizeFactors{1, 0.6666, 0.5, 0.3333, 0.25, 0.2, 0.1666};
    static constexpr int32_t NoDrag = 2147483647;

    int32_t eyeScale = 5;
    int32_t pendingScale = 5;
    qm::ColourRef eyeBackground = qm::DefaultEyeBackground;
    int32_t eyeCentreX = 0;
    int32_t eyeCentreY = 0;
    int32_t dragX = NoDrag;
    int32_t dragY = 0;

private:
    TForm1& form_;
};
