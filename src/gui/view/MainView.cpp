#include "gui/view/MainView.h"

#include <QComboBox>
#include <QFontMetrics>

#include "core/World.h"
#include "definitions/NumberText.h"
#include "gui/view/ImageSurface.h"
#include "gui/view/OverlayFont.h"
#include "gui/view/PaintContext.h"
#include "gui/view/SquarePainters.h"

namespace {

constexpr int ItemZero = 0;  // "0": no drawing at all
constexpr int ItemOne = 1;   // "1": one pixel per square
constexpr int32_t SizeWhenUnreadable = 2;

}  // namespace

MainView::MainView(qm::ImageSurface& viewSurface, const QComboBox& squareSizeCombo, qm::World& world,
                   const qm::ColourRef& viewBackground, PaintContext& paintContext)
    : surface_(viewSurface),
      world_(world),
      squareSizeCombo_(squareSizeCombo),
      viewBackground_(viewBackground),
      paintContext_(paintContext) {
    // Every hook of the world takes what it paints with.
    world_.hooks.context = &paintContext_;
}

void MainView::sizeSelection() {
    const int item = squareSizeCombo_.currentIndex();
    drawsNothing = item == ItemZero;
    if (item == ItemZero || item == ItemOne) {
        squareSize = 1;
        halfSquare = 1;
    } else {
        squareSize = qm::textToInt32Or(squareSizeCombo_.currentText().toStdString(), SizeWhenUnreadable);
        if (squareSize < 1) squareSize = SizeWhenUnreadable;
        halfSquare = squareSize / 2;
    }
    installSquarePainters();
    viewClear();
    fullRepaint();
}

// The painters of the square size in image pixels: at ratio 2 a square of size 2 takes the
// painter of size 4.
void MainView::installSquarePainters() {
    paintersRatio_ = surface_.pixelRatio();
    qm::World& w = world_;
    const qm::SquarePainterSet painters = qm::squarePaintersFor(drawsNothing, squareSize * paintersRatio_,
                                                                w.antMaxMode == qm::AntMaxMode::BlackWhite);
    w.hooks.context = &paintContext_;
    w.hooks.paint = painters.paint;
    w.hooks.erase = painters.erase;
    w.hooks.genSquare = painters.genSquare;
    w.hooks.chooseLoop = painters.chooseLoop;
}

void MainView::paintHandler() {
    // The surface refits its image before it renders: on a screen of another density the
    // installed painters draw squares of the wrong size.
    if (paintersRatio_ != 0 && paintersRatio_ != surface_.pixelRatio()) installSquarePainters();
    viewClear();
    fullRepaint();
    world_.hooks.step(world_.hooks.context);
}

void MainView::viewClear() {
    digitWidth = QFontMetrics(qm::overlayFont(surface_.font())).horizontalAdvance(QStringLiteral("1234567890")) / 10;
    surface_.image().fill(qm::toArgb(viewBackground_));
    surface_.update();
}

void MainView::updateViewCentre() {
    viewCentreX = surface_.width() / 2;
    viewCentreY = surface_.height() / 2;
}

void MainView::forgetVisited() {
    visitedMinX = INT32_MAX;
    visitedMaxX = INT32_MIN;
    visitedMinY = INT32_MAX;
    visitedMaxY = INT32_MIN;
}

void MainView::rebuildPixelTarget(uint64_t outsideCalls) {
    // Painters chosen for another ratio than the image's would draw squares of their own size
    // where the target's lie: they draw nothing until the render that follows every refit
    // installs the right ones.
    const bool paintersFit = paintersRatio_ == 0 || paintersRatio_ == surface_.pixelRatio();
    pixelTarget_ = paintersFit ? qm::PixelTarget(surface_.image(), *this) : qm::PixelTarget();
    targetFor_ = outsideCalls;
}
