#pragma once
// The eye window: a reduced-scale overview of the grid over the lower right corner of the main
// view, with its scale track bars, the view-centre marker and drag-to-recentre.

#include <array>
#include <cstdint>
#include <optional>

#include "core/World.h"
#include "display/Colours.h"
#include "gui/view/EyeCanvas.h"
#include "display/EyeMoveTarget.h"
#include "display/MovePixels.h"

class QMouseEvent;
class MainView;
struct EyeWidgets;
struct NavigationWidgets;

namespace qm {
class ImageSurface;
}

class EyeWindow {
public:
    // `navigation`: the eye size list, the strip its controls sit in and the "Move X:" / "Move Y:"
    // values a drag shows; the eye lies over `viewSurface`'s lower right corner, and a drag's
    // release re-centres `mainView`.
    EyeWindow(EyeWidgets& ui, NavigationWidgets& navigation, qm::ImageSurface& viewSurface, qm::World& world,
              const qm::StateColourTable& stateColours, MainView& mainView);

    void layout();          // eyeSizeCombo changed, or the main window resized
    void showHide();        // "Eye S/H"
    void scaleChange();     // any eye track bar moved: pending scale and "Zoom: " label
    void redrawClick();     // "Redraw Eye": pending scale becomes the scale, full repaint
    void paint();           // full repaint of eyeSurface's image
    void drawCenterClick(); // "Draw Center" clicked
    void updateOptions();   // "Update ants in eye window" / "Update 'white' too"
    void mouseDown(QMouseEvent* event);
    void mouseMove(QMouseEvent* event);
    void mouseUp(QMouseEvent* event);
    // Draws the view-centre marker if "Draw Center" is checked: a marker present goes away.
    void toggleViewCentreMarker();

    // Called by the main view's painters after every ant move; one indirect call each.
    void paintedSquare() { squareChanged(0); }  // the current ant's square was painted
    void clearedSquare() { squareChanged(1); }  // the current ant's square turned white
    // The same chosen by the loop's turn result (1: cleared) without a branch. The operation
    // installed for indexed and black-and-white moves is one function in both slots, which
    // reads the turn kept here, so the call's target never changes (a hidden eye: both do
    // nothing).
    void squareChanged(uint8_t cleared) {
        squareCleared_ = cleared;
        (cleared ? clearedOp : paintedOp)(opContext);
    }
    // The same for the painters of indexed and black-and-white moves, which hand over what they
    // already hold: the square, the world's count of outside calls and a way to the colour a
    // painted square takes (asked only when the eye draws). While the eye's own operation for
    // such moves is installed, the move is drawn inline through the move target, without the
    // call and without reading the world again; while nothing follows the moves, nothing at all
    // happens; any other operation is called as above.
    template <class Colour>
    [[gnu::always_inline]] void antColourMove(uint64_t outsideCalls, qm::AntPos at, Colour antArgb, uint8_t cleared) {
        moveDrawn<AntColourMoves>(outsideCalls, at, antArgb, cleared);
    }
    [[gnu::always_inline]] void blackMove(uint64_t outsideCalls, qm::AntPos at, uint8_t cleared) {
        moveDrawn<BlackMoves>(outsideCalls, at, [] { return qm::toArgb(qm::Black); }, cleared);
    }
    // The same for the painters of generalized squares, with the state's colour: these squares
    // are always painted.
    template <class Colour>
    [[gnu::always_inline]] void stateMove(uint64_t outsideCalls, qm::AntPos at, Colour stateArgb) {
        moveDrawn<StateMoves>(outsideCalls, at, stateArgb, 0);
    }

    // The tables that draw indexed (`blackSquares` false) or black-and-white moves until the next
    // call outside the loop, while the eye's own operation draws them by tables and keeps cleared
    // squares: the painters then hold them and draw without asking. None otherwise.
    std::optional<qm::KeptSquareTables> keptSquareTables(uint64_t outsideCalls, bool blackSquares) {
        if (outsideCalls != moveTargetFor_) catchUpForMoves(outsideCalls);
        const MoveKind kind = blackSquares ? BlackMoves : AntColourMoves;
        if (outsideCalls != keptByTablesSince_[kind]) return std::nullopt;
        return moveTarget_.keptSquareTables();
    }

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
    static void plotAntColourMove(void* eye);  // indexed moves, painted or cleared
    static void plotBlackMove(void* eye);      // black-and-white moves, painted or cleared
    static void paintStateColour(void* eye);

    void plotMove(qm::AntPos at, uint32_t paintedArgb);  // for the move operations, by squareCleared_
    void plotCurrentSquare(uint32_t argb) { plotSquare(world_.antPos[world_.counters.currentAnt], argb, false); }
    // The operations' own way, which reads the image and the mapping as they are now: tests and
    // the painters of item "0" call them at any time.
    void plotSquare(qm::AntPos at, uint32_t argb, bool keep) {
        canvas_.ensureCurrent();
        const qm::PixelPair pixel = movePixels_.of(at);
        canvas_.plotOrKeep(pixel.column, pixel.row, argb, keep);
    }

    enum MoveKind { AntColourMoves, BlackMoves, StateMoves, MoveKinds };
    static constexpr uint64_t NotInline = UINT64_MAX;

    // One comparison per move on the way taken all run: equal only while the eye's own operation
    // for these moves is installed, the move target uses its tables, keeps cleared squares (the
    // default) and was built after the last call the run made outside its loop (the only time
    // the image, the mapping or the options can change). A second one finds a hidden eye, which
    // then costs nothing more; "Update 'white' too" takes a third, the rest the way out of line.
    template <MoveKind Kind, class Colour>
    [[gnu::always_inline]] void moveDrawn(uint64_t outsideCalls, qm::AntPos at, Colour paintedArgb, uint8_t cleared) {
        if (outsideCalls == keptByTablesSince_[Kind]) [[likely]] {
            moveTarget_.plotKeptByTables(at, paintedArgb(), cleared);
        } else if (outsideCalls == quietSince_) {
            return;
        } else if (outsideCalls == byTablesSince_[Kind]) {
            moveTarget_.plotByTables(at, paintedArgb(), cleared);
        } else {
            otherMove<Kind>(outsideCalls, at.x, at.y, paintedArgb(), cleared);
        }
    }
    // Right after an outside call, at coarse scales, or with another operation installed. The
    // square comes as two numbers: handed over as one, it would be read as one 8-byte word
    // right after the loop wrote it as two halves, which the processor cannot forward.
    template <MoveKind Kind>
    [[gnu::noinline]] void otherMove(uint64_t outsideCalls, int32_t x, int32_t y, uint32_t paintedArgb, uint8_t cleared) {
        if (outsideCalls != moveTargetFor_) catchUpForMoves(outsideCalls);
        if (outsideCalls == inlineSince_[Kind]) {
            moveTarget_.plot({x, y}, paintedArgb, cleared);
        } else if (outsideCalls != quietSince_) {
            squareCleared_ = cleared;
            (cleared ? clearedOp : paintedOp)(opContext);
        }
    }
    [[gnu::noinline, gnu::cold]] void catchUpForMoves(uint64_t outsideCalls);

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

    EyeWidgets& ui_;
    qm::World& world_;
    qm::PixelCanvas canvas_;
    qm::EyeMapping mapping_;
    qm::MovePixels movePixels_;  // mapping_ for the operations
    qm::EyeMoveTarget moveTarget_;  // mapping_, image and options for the painters' inline moves
    uint64_t moveTargetFor_ = NotInline;  // the world's count of outside calls it was built at
    uint64_t inlineSince_[MoveKinds] = {NotInline, NotInline, NotInline};  // that count while a kind is drawn inline
    uint64_t byTablesSince_[MoveKinds] = {NotInline, NotInline, NotInline};  // the same while the target uses tables
    uint64_t keptByTablesSince_[MoveKinds] = {NotInline, NotInline, NotInline};  // and keeps cleared squares
    uint64_t quietSince_ = NotInline;  // that count while no operation is installed at all
    uint8_t squareCleared_ = 0;         // the turn result of the move being drawn, for the operations
    uint8_t keepsClearedSquares_ = 1;   // "Update 'white' too" unchecked when the operations were chosen
    bool dragging_ = false;
    // Behind what the moves use, which keeps its place in the object.
    NavigationWidgets& navigation_;
    qm::ImageSurface& viewSurface_;
    const qm::StateColourTable& stateColours_;
    MainView& mainView_;
};
