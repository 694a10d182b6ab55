#include "view/EyeWindow.h"

#include <QLabel>
#include <QSlider>

#include "app/MainForm/MainForm.h"

EyeWindow::EyeWindow(TForm1& form) : form_(form) {}

void EyeWindow::layout() {}
void EyeWindow::showHide() {}

void EyeWindow::scaleChange() {
    pendingScale = form_.EyeTrackBar1->value() * form_.EyeTrackBar2->value() * form_.EyeTrackBar3->value();
    form_.LabelEyeZoom->setText(QStringLiteral("Zoom: %1x").arg(pendingScale));
}

void EyeWindow::redrawClick() {}
void EyeWindow::paint() {}
void EyeWindow::drawCenterClick() {}
void EyeWindow::updateOptions() {}
void EyeWindow::mouseDown(QMouseEvent*) {}
void EyeWindow::mouseMove(QMouseEvent*) {}
void EyeWindow::mouseUp(QMouseEvent*) {}
void EyeWindow::toggleViewCentreMarker() {}
void EyeWindow::paintedSquare() {}
void EyeWindow::clearedSquare() {}
