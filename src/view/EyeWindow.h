#pragma once
// The eye window: a reduced-scale overview of the grid over the lower right corner of the main
// view, with its scale track bars, the view-centre marker and drag-to-recentre.

#include <array>
#include <cstdint>

#include "core/World.h"
#include "view/Colours.h"
#include "view/EyeCanvas.h"

class QMouseEvent;
class TForm1;

class EyeWindow {
public:
    explicit EyeWindow(TForm1& form);

    void layout();          // CFlaconSize changed, or the main window resized
    void showHide();        // "Eye S/H"
    void scaleChange();     // any eye track bar moved: pending scale and "Zoom: " label
    void redrawClick();     // "Redraw Eye": pending scale becomes the scale, full repaint
    void paint();           // full repaint of PaintBoxEye's image
    void drawCenterClick(); // "Draw Center" clicked
    void updateOptions();   // "Update ants in eye window" / "Update 'white' too"
    void mouseDown(QMouseEvent* event);
    void mouseMove(QMouseEvent* event);
    void mouseUp(QMouseEvent* event);
    // Draws the view-centre marker if "Draw Center" is checked: a marker present goes away.
    void toggleViewCentreMarker();

    // Called by the main view's painters after every ant move; one indirect call each.
    void paintedSquare() { paintedOp(opContext); }  // the current ant's square was painted
    void clearedSquare() { clearedOp(opContext); }  // the current ant's square turned white

    // The eye window is switched on ("Eye S/H"), whether or not the main window is on screen.
    bool shown() const;
    // Fits the image to the surface and repaints it in full (the surface's paint handler).
    void repaintFully();

    qm::EyeMapping mapping() const { return mapping_; }

    static constexpr std::array<double, 7> SizeFactors{1, 0.6666, 0.5, 0.3333, 0.25, 0.2, 0.1666};
    static constexpr int32_t NoDrag = 2147483647;
    static constexpr qm::ColourRef MarkerColour = 0xFF0000;  // blue
    static constexpr int MarkerArm = 4;                        // the cross: 4 pixels each way
    static constexpr int MarkerFrame = 25;                     // the square outline's half side

    int32_t eyeScale = 5;
    int32_t pendingScale = 5;
    qm::ColourRef eyeBackground = qm::DefaultEyeBackground;
    int32_t eyeCentreX = 0;
    int32_t eyeCentreY = 0;
    // The square under the mouse during a drag, in 64 bits: at the largest scales it lies far
    // beyond the 32-bit range. NoDrag in dragX: no drag in progress.
    int64_t dragX = NoDrag;
    int64_t dragY = 0;

    qm::Hook paintedOp = qm::noHook;
    qm::Hook clearedOp = qm::noHook;
    void* opContext = nullptr;

private:
    // The square operations, chosen by updateOptions().
    static void paintAntColour(void* eye);
    static void paintBlack(void* eye);
    static void paintStateColour(void* eye);
    static void paintBackground(void* eye);

    void plotCurrentSquare(uint32_t argb) {
        const qm::AntPos at = world_.antPos[world_.counters.currentAnt];
        canvas_.ensureCurrent();
        canvas_.plot(mapping_.column(at.x), mapping_.row(at.y), argb);
    }

    // Full repaint pieces (EyeRepaint.cpp).
    void scanFastGrid();
    void paintStores();

    // Markers (EyeMarkers.cpp).
    void drawViewCentreMarker();
    void drawMarkerAtSquare(int64_t x, int64_t y);
    void drawMarker(int64_t px, int64_t py);
    void notXorLine(int64_t x0, int64_t y0, int64_t x1, int64_t y1, uint32_t pen);

    // Mouse squares and labels.
    int64_t squareXAt(int64_t mouseX) const;
    int64_t squareYAt(int64_t mouseY) const;
    void showMoveLabels(int64_t x, int64_t y);
    bool drawCenterChecked() const;

    void refreshMapping();  // from the eye scale, the eye centre and the surface's height
    void attachCanvas();    // mapping and pixels from the surface as it is now

    TForm1& form_;
    qm::World& world_;
    qm::PixelCanvas canvas_;
    qm::EyeMapping mapping_;
    bool dragging_ = false;
};
