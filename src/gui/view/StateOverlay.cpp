// The state overlay: the counters drawn onto the top left corner of the main view, each text on
// a cell of the view background so that it stays readable over the squares.

#include <QFontMetrics>
#include <QLabel>
#include <QPainter>

#include "core/World.h"
#include "gui/window/MainWindowWidgets.h"
#include "gui/view/ImageSurface.h"
#include "gui/view/MainView.h"
#include "gui/view/OverlayFont.h"
#include "gui/view/ShapedTexts.h"
#include "gui/view/StatePanel.h"

namespace {

const QRect OverlayArea(QPoint(10, 10), QPoint(274, 124));  // (10, 10) to (275, 125), exclusive

QColor qColour(qm::ColourRef c) {
    return QColor(int(qm::redOf(c)), int(qm::greenOf(c)), int(qm::blueOf(c)));
}

// Draws texts with their top left corner at a point, each on a background-coloured cell. The
// captions, the same at every frame, are shaped once. Keeps the area it drew on, so that only
// that much of the view goes to the screen. Copying the kept pixels of the texts unchanged since
// the last frame saved nothing measurable: the changing values and the painter's set-up cost it.
class OverlayWriter {
public:
    OverlayWriter(QImage& image, const QFont& font, const QColor& text, const QColor& background,
                  qm::ShapedTexts& captions)
        : painter_(&image), font_(font), metrics_(font), background_(background), captions_(captions) {
        painter_.setFont(font);
        painter_.setPen(text);
    }
    void put(int x, int y, const QString& text) {
        const QRect cell(x, y, metrics_.horizontalAdvance(text), metrics_.height());
        painter_.fillRect(cell, background_);
        painter_.drawText(x, y + metrics_.ascent(), text);
        noteDrawn(cell);
    }
    void putCaption(int x, int y, const QString& text) {
        const qm::ShapedText& caption = captions_.of(font_, text);
        const QRect cell(x, y, caption.advance, metrics_.height());
        painter_.fillRect(cell, background_);
        caption.draw(painter_, x, y + metrics_.ascent());
        noteDrawn(cell);
    }
    // The cells, widened by a glyph's height each way for strokes that reach beyond them.
    QRect drawn() const { return drawn_; }

private:
    void noteDrawn(const QRect& cell) {
        const int reach = metrics_.height();
        drawn_ |= cell.adjusted(-reach, -reach, reach, reach);
    }

    QPainter painter_;
    QFont font_;
    QFontMetrics metrics_;
    QColor background_;
    qm::ShapedTexts& captions_;
    QRect drawn_;
};

QString valueText(int64_t value) { return QString::number(value) + QLatin1Char(' '); }

}  // namespace

void StatePanel::overlayRoutine() {
    qm::ImageSurface& surface = viewSurface_;
    const int dw = mainView_.digitWidth;
    const qm::RunCounters& c = world_.counters;
    QRect drawn;
    {
        OverlayWriter out(surface.image(), qm::overlayFont(surface.font()), surface.palette().color(QPalette::WindowText),
                          qColour(viewBackground_), overlayCaptions_);
        const int captionX = 5 * dw + 10;
        const int valueX = 13 * dw + 10;
        out.putCaption(captionX, 10, QStringLiteral("X Min.: "));
        out.putCaption(captionX, 23, QStringLiteral("X Max.: "));
        out.putCaption(captionX, 40, QStringLiteral("Y Min.: "));
        out.putCaption(captionX, 53, QStringLiteral("Y Max.: "));
        out.putCaption(captionX, 70, QStringLiteral("Filled: "));
        out.putCaption(10, 83, ui_.peakFilledLabel->text());
        out.putCaption(7 * dw + 10, 100, QStringLiteral("Step:"));
        out.put(valueX, 10, valueText(c.minX));
        out.put(valueX, 23, valueText(c.maxX));
        out.put(valueX, 40, valueText(c.minY));
        out.put(valueX, 53, valueText(c.maxY));
        out.put(valueX, 70, valueText(c.filled));
        out.put(valueX, 83, valueText(c.peakFilled));
        out.put(valueX, 100, valueText(c.stepCount));
        drawn = out.drawn();
    }
    surface.update(drawn);
}

void StatePanel::overlayErase() {
    qm::ImageSurface& surface = viewSurface_;
    {
        QPainter painter(&surface.image());
        painter.fillRect(OverlayArea, qColour(viewBackground_));
    }
    surface.update(OverlayArea);
}
