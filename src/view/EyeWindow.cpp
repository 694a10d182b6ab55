// The eye window's controls: layout, showing and hiding, the scale, "Redraw Eye", "Draw Center"
// and the choice of the per-move square operations.

#include "view/EyeWindow.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QSlider>

#include "app/MainForm/MainForm.h"
#include "view/ImageSurface.h"

namespace {

// The span of 32-bit coordinates: at EyeTrackBar1's maximum the eye shows about all of it
// across its width.
constexpr double CoordinateSpan = 4294967295.0;
constexpr int HiddenTrackBarMaximum = 200;
constexpr int MinimumControlsWidth = 320;
constexpr int MaximumControlsWidth = 600;

}  // namespace

EyeWindow::EyeWindow(TForm1& form) : form_(form), world_(form.world) { opContext = this; }

bool EyeWindow::shown() const { return !form_.PanelFalconEye->isHidden(); }

void EyeWindow::repaintFully() { form_.PaintBoxEye->render(); }

void EyeWindow::refreshMapping() {
    mapping_.scale = std::max(eyeScale, 1);
    mapping_.centreX = eyeCentreX;
    mapping_.originY = form_.PaintBoxEye->height() - eyeCentreY;
    movePixels_ = qm::MovePixels(mapping_.scale, mapping_.centreX, mapping_.originY);
}

void EyeWindow::attachCanvas() {
    refreshMapping();
    canvas_.attach(*form_.PaintBoxEye);
}

void EyeWindow::layout() {
    TForm1& f = form_;
    // 1. The scale range: from the size the eye has before this layout.
    if (!f.EyeTrackBar1->isHidden()) {
        const double w = std::max(f.PaintBoxEye->width(), 1);
        const double h = f.PaintBoxEye->height();
        const double perStep = double(f.EyeTrackBar2->maximum()) * double(f.EyeTrackBar3->maximum());
        const double maximum = std::trunc((CoordinateSpan - 2.0 * h) / w / perStep);
        f.EyeTrackBar1->setMaximum(maximum < 1.0 ? 1 : maximum > double(INT_MAX) ? INT_MAX : int(maximum));
    } else {
        f.EyeTrackBar1->setMaximum(HiddenTrackBarMaximum);
        f.EyeTrackBar1->setValue(1);
    }
    // 2. The eye's side, in the lower right corner of the main view. Before the first
    // activation no size is chosen yet and the eye keeps the size it has.
    const int item = f.CFlaconSize->currentIndex();
    if (item >= 0 && item < int(SizeFactors.size())) {
        const int side = int(SizeFactors[size_t(item)] * f.PaintBox1->height());
        const QRect view = f.PaintBox1->geometry();
        f.PanelFalconEye->setGeometry(view.x() + view.width() - side, view.y() + view.height() - side, side, side);
        f.PaintBoxEye->setGeometry(0, 0, side, side);
    }
    // 3. The eye centre.
    eyeCentreX = f.PaintBoxEye->width() / 2;
    eyeCentreY = f.PaintBoxEye->height() / 2;
    // 4. Its controls against the right edge of the bottom strip.
    int controlsWidth = std::clamp(f.PanelFalconEye->width(), MinimumControlsWidth, MaximumControlsWidth);
    controlsWidth = std::min(controlsWidth, f.Panel5->width() / 2);
    f.PanelMEye->setGeometry(f.Panel5->width() - controlsWidth, 0, controlsWidth, f.Panel5->height());
    attachCanvas();
}

void EyeWindow::showHide() {
    TForm1& f = form_;
    if (shown()) {
        f.PanelFalconEye->hide();
        f.PanelMEye->hide();
    } else {
        layout();
        if (world_.idle == 0) f.PanelRun->show();
        f.PanelFalconEye->show();
        f.PanelMEye->show();
        layout();
    }
    // The square operations draw only while the eye is shown; showing it repaints in full.
    updateOptions();
}

void EyeWindow::scaleChange() {
    const int64_t product = int64_t{form_.EyeTrackBar1->value()} * form_.EyeTrackBar2->value() *
                            form_.EyeTrackBar3->value();
    pendingScale = static_cast<int32_t>(std::clamp<int64_t>(product, 1, INT32_MAX));
    form_.LabelEyeZoom->setText(QStringLiteral("Zoom: %1x").arg(pendingScale));
}

void EyeWindow::redrawClick() {
    eyeScale = std::max(pendingScale, 1);
    repaintFully();
    form_.PanelRun->setVisible(world_.idle == 0);
}

// Draws the marker once whatever the box now says: unchecking removes it, checking draws it.
void EyeWindow::drawCenterClick() { drawViewCentreMarker(); }

void EyeWindow::toggleViewCentreMarker() {
    if (drawCenterChecked()) drawViewCentreMarker();
}

bool EyeWindow::drawCenterChecked() const { return form_.CheckBox2->isChecked(); }

// ---------------------------------------------------------------------------------------------
// The per-move square operations: one pixel each, straight into the image.

void EyeWindow::updateOptions() {
    const bool follow = form_.CheckBox3->isChecked();
    form_.CheckBox4->setEnabled(follow);
    paintedOp = qm::noHook;
    clearedOp = qm::noHook;
    opContext = this;
    // While the eye is hidden nothing needs drawing: showing it repaints in full.
    if (!follow || !shown()) return;
    attachCanvas();
    if (world_.generalized) {
        paintedOp = &EyeWindow::paintStateColour;  // squares never turn "white" in this mode
        return;
    }
    const qm::Hook move = world_.antMaxMode == qm::AntMaxMode::BlackWhite ? &EyeWindow::plotBlackMove
                                                                           : &EyeWindow::plotAntColourMove;
    paintedOp = move;
    clearedOp = move;
    keepsClearedSquares_ = form_.CheckBox4->isChecked() ? 0 : 1;
}

void EyeWindow::plotAntColourMove(void* context) {
    EyeWindow& eye = *static_cast<EyeWindow*>(context);
    const int32_t ant = eye.world_.counters.currentAnt;
    eye.plotMove(eye.world_.antPos[ant], qm::toArgb(eye.world_.antColour[ant]));
}

void EyeWindow::plotBlackMove(void* context) {
    EyeWindow& eye = *static_cast<EyeWindow*>(context);
    eye.plotMove(eye.world_.antPos[eye.world_.counters.currentAnt], qm::toArgb(qm::Black));
}

// A painted square takes its colour; a cleared one the background with "Update 'white' too",
// else it stays as it is.
void EyeWindow::plotMove(qm::AntPos at, uint32_t paintedArgb) {
    const bool cleared = squareCleared_ != 0;
    plotSquare(at, cleared ? qm::toArgb(eyeBackground) : paintedArgb, cleared && keepsClearedSquares_);
}

void EyeWindow::catchUpForMoves(uint64_t outsideCalls) {
    canvas_.ensureCurrent();
    const qm::EyeMoveGeometry geometry{mapping_.scale,         mapping_.centreX, mapping_.originY,
                                       canvas_.bits(),         canvas_.bytesPerLine(),
                                       canvas_.width(),        canvas_.height(),
                                       form_.PaintBoxEye->spareEdgeIntact()};
    moveTarget_.rebuild(geometry, qm::toArgb(eyeBackground), keepsClearedSquares_ != 0);
    const bool ownInBoth = paintedOp == clearedOp;
    inlineSince_[AntColourMoves] = ownInBoth && paintedOp == &EyeWindow::plotAntColourMove ? outsideCalls : NotInline;
    inlineSince_[BlackMoves] = ownInBoth && paintedOp == &EyeWindow::plotBlackMove ? outsideCalls : NotInline;
    quietSince_ = paintedOp == qm::noHook && clearedOp == qm::noHook ? outsideCalls : NotInline;
    // Generalized squares are never cleared, so only the painted operation counts.
    inlineSince_[StateMoves] = paintedOp == &EyeWindow::paintStateColour ? outsideCalls : NotInline;
    for (const MoveKind kind : {AntColourMoves, BlackMoves, StateMoves}) {
        byTablesSince_[kind] = moveTarget_.usesTables() ? inlineSince_[kind] : NotInline;
        keptByTablesSince_[kind] = moveTarget_.keepsClearedSquares() ? byTablesSince_[kind] : NotInline;
    }
    moveTargetFor_ = outsideCalls;
}

// The square update has just left the square's cell value in the store hand-off or the grid.
void EyeWindow::paintStateColour(void* context) {
    EyeWindow& eye = *static_cast<EyeWindow*>(context);
    const qm::World& w = eye.world_;
    const uint32_t value = w.squareStateFromStore ? w.currentSquareState : w.grid.cells[w.currentCellIndex];
    eye.plotCurrentSquare(qm::toArgb(eye.form_.stateColours[std::min<uint32_t>(value, 64u)]));
}
