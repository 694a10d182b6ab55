#include "gui/view/FittingLabel.h"

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

void FittingLabel::paintEvent(QPaintEvent* event) {
    if (!pixmap().isNull() || QFontMetrics(font()).horizontalAdvance(text()) <= contentsRect().width()) {
        QLabel::paintEvent(event);
        return;
    }
    QPainter painter(this);
    painter.setFont(fittingFont());
    painter.setPen(palette().color(foregroundRole()));
    painter.drawText(contentsRect(), static_cast<int>(alignment()), text());
}

}  // namespace qm
