#include "gui/view/FittingLabel.h"

#include <cmath>

#include <QEvent>
#include <QFontInfo>
#include <QFontMetrics>
#include <QPainter>

namespace qm {

QFont FittingLabel::fittingFont() const {
    QFont fitting = font();
    const int width = contentsRect().width();
    int size = QFontInfo(fitting).pixelSize();
    while (size > LeastPixelSize && QFontMetrics(fitting).horizontalAdvance(text()) > width)
        fitting.setPixelSize(--size);
    return fitting;
}

// Opaque from the first paint on, where the pixel ratio is whole: at a fractional one the
// label's edges need not fall on whole pixels, and the picture would be resampled there.
void FittingLabel::keepBackdrop() { keepsBackdrop_ = true; }

void FittingLabel::paintBackdrop() {
    const qreal ratio = devicePixelRatioF();
    const bool whole = ratio == std::floor(ratio);
    const bool opaque = testAttribute(Qt::WA_OpaquePaintEvent);
    if (opaque) {
        QPainter painter(this);
        painter.drawPixmap(0, 0, backdrop());
    }
    if (whole == opaque) return;
    setAttribute(Qt::WA_OpaquePaintEvent, whole);
    if (opaque) update();  // the ratio became fractional: drawn again over the ancestors
}

// From the parent up to the window.
QVector<QWidget*> FittingLabel::ancestors() const {
    QVector<QWidget*> chain;
    for (QWidget* a = parentWidget(); a; a = a->isWindow() ? nullptr : a->parentWidget()) chain.append(a);
    return chain;
}

FittingLabel::BackdropKey FittingLabel::backdropKey(const QVector<QWidget*>& chain) const {
    BackdropKey key;
    key.place = mapTo(window(), QPoint(0, 0));
    key.sizes.append(size());
    for (const QWidget* a : chain) {
        key.sizes.append(a->size());
        key.enabled.append(a->isEnabled());
        key.palettes.append(a->palette().cacheKey());
    }
    key.ratio = devicePixelRatioF();
    return key;
}

// Each ancestor from the window down, itself without its children, over the label's rectangle:
// the window's background first, then what each transparent ancestor paints over it.
const QPixmap& FittingLabel::backdrop() {
    const QVector<QWidget*> chain = ancestors();
    BackdropKey key = backdropKey(chain);
    if (key == backdropKey_ && !backdrop_.isNull()) return backdrop_;
    QPixmap picture(size() * key.ratio);
    picture.setDevicePixelRatio(key.ratio);
    picture.fill(Qt::transparent);
    for (auto a = chain.rbegin(); a != chain.rend(); ++a) {
        const QRect mine(mapTo(*a, QPoint(0, 0)), size());
        (*a)->render(&picture, QPoint(0, 0), QRegion(mine),
                     (*a)->isWindow() ? QWidget::DrawWindowBackground : QWidget::RenderFlags());
    }
    backdrop_ = picture;
    backdropKey_ = std::move(key);
    return backdrop_;
}

bool FittingLabel::fitsWhole() {
    const int width = contentsRect().width();
    if (text() != measured_.text || width != measured_.width || font() != measured_.font) {
        measured_ = {text(), font(), width, QFontMetrics(font()).horizontalAdvance(text()) <= width};
    }
    return measured_.fits;
}

// A style sheet on an ancestor restyles it without a new palette, and repolishes the label.
void FittingLabel::changeEvent(QEvent* event) {
    if (event->type() == QEvent::StyleChange) backdrop_ = QPixmap();
    QLabel::changeEvent(event);
}

void FittingLabel::paintEvent(QPaintEvent* event) {
    if (keepsBackdrop_) paintBackdrop();
    if (!pixmap().isNull() || fitsWhole()) {
        QLabel::paintEvent(event);
        return;
    }
    QPainter painter(this);
    painter.setFont(fittingFont());
    painter.setPen(palette().color(foregroundRole()));
    painter.drawText(contentsRect(), static_cast<int>(alignment()), text());
}

}  // namespace qm
