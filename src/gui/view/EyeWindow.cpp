// The eye window's controls: layout, showing and hiding, the scale, "Redraw Eye", "Draw Center"
// and the choice of the per-move square operations.

#include "gui/view/EyeWindow.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QSlider>

#include "gui/view/ImageSurface.h"
#include "gui/window/MainWindowWidgets.h"

namespace {

// The span of 32-bit coordinates: at eyeZoomCoarseSlider's maximum the eye shows about all of it
// across its width.
constexpr double CoordinateSpan = 4294967295.0;
constexpr int HiddenTrackBarMaximum = 200;
constexpr int MinimumControlsWidth = 320;
constexpr int MaximumControlsWidth = 600;

}  // namespace

EyeWindow::EyeWindow(EyeWidgets& ui, NavigationWidgets& navigation, qm::ImageSurface& viewSurface, qm::World& world,
                     const qm::StateColourTable& stateColours, MainView& mainView)
    : ui_(ui),
      world_(world),
      navigation_(navigation),
      viewSurface_(viewSurface),
      stateColours_(stateColours),
      mainView_(mainView) {
    opContext = this;
}

bool EyeWindow::shown() const { return !ui_.eyeFrame->isHidden(); }

void EyeWindow::repaintFully() { ui_.eyeSurface->render(); }

void EyeWindow::refreshMapping() {
    mapping_.scale = std::max(eyeScale, 1);
    mapping_.centreX = eyeCentreX;
    mapping_.originY = ui_.eyeSurface->height() - eyeCentreY;
    movePixels_ = qm::MovePixels(mapping_.scale, mapping_.centreX, mapping_.originY);
}

void EyeWindow::attachCanvas() {
    refreshMapping();
    canvas_.attach(*ui_.eyeSurface);
}

void EyeWindow::layout() {
    // 1. The scale range: from the size the eye has before this layout.
    if (!ui_.eyeZoomCoarseSlider->isHidden()) {
        const double w = std::max(ui_.eyeSurface->width(), 1);
        const double h = ui_.eyeSurface->height();
        const double perStep = double(ui_.eyeZoomMediumSlider->maximum()) * double(ui_.eyeZoomFineSlider->maximum());
        const double maximum = std::trunc((CoordinateSpan - 2.0 * h) / w / perStep);
        ui_.eyeZoomCoarseSlider->setMaximum(maximum < 1.0 ? 1 : maximum > double(INT_MAX) ? INT_MAX : int(maximum));
    } else {
        ui_.eyeZoomCoarseSlider->setMaximum(HiddenTrackBarMaximum);
        ui_.eyeZoomCoarseSlider->setValue(1);
    }
    // 2. The eye's side, in the lower right corner of the main view. Before the first
    // activation no size is chosen yet and the eye keeps the size it has.
    const int item = navigation_.eyeSizeCombo->currentIndex();
    if (item >= 0 && item < int(SizeFactors.size())) {
        const int side = int(SizeFactors[size_t(item)] * viewSurface_.height());
        const QRect view = viewSurface_.geometry();
        ui_.eyeFrame->setGeometry(view.x() + view.width() - side, view.y() + view.height() - side, side, side);
        ui_.eyeSurface->setGeometry(0, 0, side, side);
    }
    // 3. The eye centre.
    eyeCentreX = ui_.eyeSurface->width() / 2;
    eyeCentreY = ui_.eyeSurface->height() / 2;
    // 4. Its controls against the right edge of the bottom strip.
    int controlsWidth = std::clamp(ui_.eyeFrame->width(), MinimumControlsWidth, MaximumControlsWidth);
    controlsWidth = std::min(controlsWidth, navigation_.navigationStrip->width() / 2);
    ui_.eyeControls->setGeometry(navigation_.navigationStrip->width() - controlsWidth, 0, controlsWidth, navigation_.navigationStrip->height());
    attachCanvas();
}

void EyeWindow::showHide() {
    if (shown()) {
        ui_.eyeFrame->hide();
        ui_.eyeControls->hide();
    } else {
        layout();
        if (world_.idle == 0) ui_.eyeChangedLabel->show();
        ui_.eyeFrame->show();
        ui_.eyeControls->show();
        layout();
    }
    // The square operations draw only while the eye is shown; showing it repaints in full.
    updateOptions();
}

void EyeWindow::scaleChange() {
    const int64_t product = int64_t{ui_.eyeZoomCoarseSlider->value()} * ui_.eyeZoomMediumSlider->value() *
                            ui_.eyeZoomFineSlider->value();
    pendingScale = static_cast<int32_t>(std::clamp<int64_t>(product, 1, INT32_MAX));
    ui_.eyeZoomLabel->setText(QStringLiteral("Zoom: %1x").arg(pendingScale));
}

void EyeWindow::redrawClick() {
    eyeScale = std::max(pendingScale, 1);
    repaintFully();
    ui_.eyeChangedLabel->setVisible(world_.idle == 0);
}

// Draws the marker once whatever the box now says: unchecking removes it, checking draws it.
void EyeWindow::drawCenterClick() { drawViewCentreMarker(); }

void EyeWindow::toggleViewCentreMarker() {
    if (drawCenterChecked()) drawViewCentreMarker();
}

bool EyeWindow::drawCenterChecked() const { return ui_.drawCentreCheck->isChecked(); }

// ---------------------------------------------------------------------------------------------
// The per-move square operations: one pixel each, straight into the image.

void EyeWindow::updateOptions() {
    const bool follow = ui_.updateAntsInEyeCheck->isChecked();
    ui_.updateWhiteInEyeCheck->setEnabled(follow);
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
    keepsClearedSquares_ = ui_.updateWhiteInEyeCheck->isChecked() ? 0 : 1;
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
    // The move target writes one image pixel a square: on a high-density image (several a
    // widget pixel) the operations draw instead.
    const bool onePixelEach = canvas_.ratio() == 1;
    const qm::EyeMoveGeometry geometry{mapping_.scale,         mapping_.centreX, mapping_.originY,
                                       onePixelEach ? canvas_.bits() : nullptr, canvas_.bytesPerLine(),
                                       canvas_.width(),        canvas_.height(),
                                       ui_.eyeSurface->spareEdgeIntact()};
    moveTarget_.rebuild(geometry, qm::toArgb(eyeBackground), keepsClearedSquares_ != 0);
    const bool ownInBoth = paintedOp == clearedOp && onePixelEach;
    inlineSince_[AntColourMoves] = ownInBoth && paintedOp == &EyeWindow::plotAntColourMove ? outsideCalls : NotInline;
    inlineSince_[BlackMoves] = ownInBoth && paintedOp == &EyeWindow::plotBlackMove ? outsideCalls : NotInline;
    quietSince_ = paintedOp == qm::noHook && clearedOp == qm::noHook ? outsideCalls : NotInline;
    // Generalized squares are never cleared, so only the painted operation counts.
    inlineSince_[StateMoves] = paintedOp == &EyeWindow::paintStateColour && onePixelEach ? outsideCalls : NotInline;
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
    eye.plotCurrentSquare(qm::toArgb(eye.stateColours_[std::min<uint32_t>(value, 64u)]));
}
