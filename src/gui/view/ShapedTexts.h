#pragma once
// Texts shaped once and drawn again and again: the overlay's captions are drawn at every frame,
// and shaping a text (letters to glyphs and places) costs more than drawing it. A shaped text
// draws the same pixels as QPainter::drawText at the same baseline.

#include <QFont>
#include <QFontMetrics>
#include <QGlyphRun>
#include <QList>
#include <QPainter>
#include <QString>
#include <QTextLayout>

#include <utility>
#include <vector>

namespace qm {

struct ShapedText {
    QString text;
    int advance = 0;            // QFontMetrics::horizontalAdvance
    qreal lineAscent = 0.0;     // the layout's, which places the glyphs
    QList<QGlyphRun> glyphs;

    // The text with its baseline at y, as drawText(x, y, text) draws it.
    void draw(QPainter& painter, int x, int y) const {
        for (const QGlyphRun& run : glyphs) painter.drawGlyphRun(QPointF(x, y - lineAscent), run);
    }
};

class ShapedTexts {
public:
    // The text shaped in `font`; all are shaped again when the font changes.
    const ShapedText& of(const QFont& font, const QString& text) {
        if (!(font == font_)) {
            font_ = font;
            texts_.clear();
        }
        for (const ShapedText& shaped : texts_)
            if (shaped.text == text) return shaped;
        ShapedText shaped;
        shaped.text = text;
        shaped.advance = QFontMetrics(font).horizontalAdvance(text);
        QTextLayout layout(text, font);
        layout.beginLayout();
        const QTextLine line = layout.createLine();
        layout.endLayout();
        shaped.lineAscent = line.ascent();
        shaped.glyphs = layout.glyphRuns();
        texts_.push_back(std::move(shaped));
        return texts_.back();
    }

private:
    QFont font_;
    std::vector<ShapedText> texts_;  // a handful
};

}  // namespace qm
