#include "gui/view/ImageSurface.h"

#include <algorithm>
#include <cmath>

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMetaObject>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

namespace qm {

ImageSurface::ImageSurface(QWidget* parent) : QWidget(parent) {
    // The image covers every pixel, so Qt need not clear the background first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

int ImageSurface::ratioOf(const QImage& image) { return std::max(1, qRound(image.devicePixelRatio())); }

int ImageSurface::wantedRatio() const {
    if (ratioOverride_ > 0) return ratioOverride_;
    // A little slack: a ratio of 2 may come out of the platform as 1.9999.
    return std::max(1, static_cast<int>(std::floor(devicePixelRatioF() + 0.01)));
}

void ImageSurface::fitImage() {
    const int ratio = wantedRatio();
    const QSize wanted = size().expandedTo(QSize(1, 1)) * ratio;
    if (image_.size() == wanted && pixelRatio() == ratio && (!spareEdge_ || spareEdgeIntact())) return;
    QImage buffer;
    QImage fresh(wanted, QImage::Format_RGB32);
    if (spareEdge_) {
        buffer = QImage(wanted + QSize(1, 1), QImage::Format_RGB32);
        buffer.fill(Qt::white);
        fresh = QImage(buffer.bits(), wanted.width(), wanted.height(), buffer.bytesPerLine(), QImage::Format_RGB32);
    }
    fresh.setDevicePixelRatio(ratio);
    fresh.fill(Qt::white);
    if (!image_.isNull()) {
        QPainter copy(&fresh);
        copy.drawImage(0, 0, image_);
    }
    image_ = std::move(fresh);
    spareBuffer_ = std::move(buffer);  // after the old image, which may have shown the old buffer
    ++generation_;
}

bool ImageSurface::spareEdgeIntact() const {
    return spareEdge_ && !spareBuffer_.isNull() && image_.constBits() == spareBuffer_.constBits() &&
           image_.bytesPerLine() == spareBuffer_.bytesPerLine() && image_.size() + QSize(1, 1) == spareBuffer_.size() &&
           image_.format() == QImage::Format_RGB32;
}

void ImageSurface::render() {
    fitImage();
    renderPending_ = false;
    if (onRender) onRender();
    update();
}

void ImageSurface::requestRender() {
    if (renderPending_) return;
    renderPending_ = true;
    QMetaObject::invokeMethod(this, [this] { runPendingRender(); }, Qt::QueuedConnection);
}

void ImageSurface::runPendingRender() {
    if (renderPending_) render();
}

bool ImageSurface::event(QEvent* event) {
    // Moved to a screen of another density: the next render refits the image.
    if (event->type() == QEvent::ScreenChangeInternal) requestRender();
    return QWidget::event(event);
}

void ImageSurface::paintEvent(QPaintEvent* event) {
    QPainter screen(this);
    const QRect area = event->rect();
    // The image's own ratio, which someone who replaced the image may have left at 1.
    const int ratio = pixelRatio();
    screen.drawImage(area, image_, QRect(area.topLeft() * ratio, area.size() * ratio));
}

void ImageSurface::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    fitImage();
    requestRender();
}

void ImageSurface::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    requestRender();
}

void ImageSurface::mousePressEvent(QMouseEvent* event) {
    if (onMousePress) onMousePress(event);
}

void ImageSurface::mouseMoveEvent(QMouseEvent* event) {
    if (onMouseMove) onMouseMove(event);
}

void ImageSurface::mouseReleaseEvent(QMouseEvent* event) {
    if (onMouseRelease) onMouseRelease(event);
}

void ImageSurface::contextMenuEvent(QContextMenuEvent* event) {
    if (onContextMenu) onContextMenu(event->globalPos());
}

void ImageSurface::wheelEvent(QWheelEvent* event) {
    if (onWheel) onWheel(event);
    else QWidget::wheelEvent(event);
}

void ImageSurface::keyPressEvent(QKeyEvent* event) {
    if (!onKeyPress || !onKeyPress(event)) QWidget::keyPressEvent(event);
}

}  // namespace qm
