#include "gui/view/MainView.h"

#include <QComboBox>
#include <QFontMetrics>

#include "gui/window/MainWindow.h"
#include "definitions/NumberText.h"
#include "gui/view/ImageSurface.h"
#include "gui/view/OverlayFont.h"
#include "gui/view/SquarePainters.h"

namespace {

constexpr int ItemZero = 0;  // "0": no drawing at all
constexpr int ItemOne = 1;   // "1": one pixel per square
constexpr int32_t SizeWhenUnreadable = 2;

}  // namespace

MainView::MainView(MainWindow& form) : form_(form), surface_(*form.ui_.view.viewSurface) {
    // Every hook of the world takes what it paints with.
    form_.world.hooks.context = &form_.paintContext_;
    // The painters write pixels without asking for a screen update; the surfaces are shown
    // once per frame that the step loop serves instead.
    form_.pump.beforeEvents = [&form] {
        form.ui_.view.viewSurface->update();
        form.ui_.eye.eyeSurface->update();
    };
}

void MainView::sizeSelection() {
    const int item = form_.ui_.visualisation.squareSizeCombo->currentIndex();
    drawsNothing = item == ItemZero;
    if (item == ItemZero || item == ItemOne) {
        squareSize = 1;
        halfSquare = 1;
    } else {
        squareSize = qm::textToInt32Or(form_.ui_.visualisation.squareSizeCombo->currentText().toStdString(), SizeWhenUnreadable);
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
    qm::World& w = form_.world;
    const qm::SquarePainterSet painters = qm::squarePaintersFor(drawsNothing, squareSize * paintersRatio_,
                                                                w.antMaxMode == qm::AntMaxMode::BlackWhite);
    w.hooks.context = &form_.paintContext_;
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
    form_.world.hooks.step(form_.world.hooks.context);
}

void MainView::viewClear() {
    digitWidth = QFontMetrics(qm::overlayFont(form_.ui_.view.viewSurface->font())).horizontalAdvance(QStringLiteral("1234567890")) / 10;
    form_.ui_.view.viewSurface->image().fill(qm::toArgb(form_.viewBackground));
    form_.ui_.view.viewSurface->update();
}

void MainView::updateViewCentre() {
    viewCentreX = form_.ui_.view.viewSurface->width() / 2;
    viewCentreY = form_.ui_.view.viewSurface->height() / 2;
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
