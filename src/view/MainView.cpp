#include "view/MainView.h"

#include "app/MainForm/MainForm.h"
#include "view/ImageSurface.h"

MainView::MainView(TForm1& form) : form_(form) {}

void MainView::sizeSelection() {}

void MainView::paintHandler() {
    viewClear();
    fullRepaint();
    form_.world.hooks.step(form_.world.hooks.context);
}

void MainView::viewClear() {
    form_.PaintBox1->image().fill(qm::toArgb(form_.viewBackground));
    form_.PaintBox1->update();
}

void MainView::fullRepaint() {}

void MainView::updateViewCentre() {
    viewCentreX = form_.PaintBox1->width() / 2;
    viewCentreY = form_.PaintBox1->height() / 2;
}
