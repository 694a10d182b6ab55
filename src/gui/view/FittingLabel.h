#pragma once
// A label that shows its whole text: a text wider than the label is drawn in a smaller size of
// the label's font, a pixel at a time, down to a least readable size. The fonts the program
// finds may be wider than the faces its layout was made for.
// With its backdrop kept, the label paints what its ancestors draw beneath it itself, from a
// picture it renders again only when they may have changed. A label that gets a new text every
// frame then repaints alone: otherwise the group box beneath repainted with it every time,
// looking up its frame image by name, which cost the state panel more than its own texts.

#include <QLabel>
#include <QPixmap>
#include <QPoint>
#include <QSize>
#include <QVector>

namespace qm {

class FittingLabel : public QLabel {
public:
    using QLabel::QLabel;

    static constexpr int LeastPixelSize = 7;

    // The font the text is drawn in: the label's own, or a smaller size of it.
    QFont fittingFont() const;

    void keepBackdrop();

protected:
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    // What the backdrop was rendered for: the label's place and size, its ancestors' sizes,
    // enabled states and palettes, and the pixel ratio. A change of style drops it.
    struct BackdropKey {
        QPoint place;
        QVector<QSize> sizes;
        QVector<bool> enabled;
        QVector<qint64> palettes;
        qreal ratio = 0;
        bool operator==(const BackdropKey&) const = default;
    };
    QVector<QWidget*> ancestors() const;
    BackdropKey backdropKey(const QVector<QWidget*>& ancestors) const;
    const QPixmap& backdrop();
    void paintBackdrop();

    // Whether the text fits in the label's own font, measured again only when the text, the font
    // or the width changed: the measure shapes the text, as drawing it does once more.
    bool fitsWhole();
    struct Measure {
        QString text;
        QFont font;
        int width = -1;
        bool fits = false;
    };

    bool keepsBackdrop_ = false;
    BackdropKey backdropKey_;
    QPixmap backdrop_;
    Measure measured_;
};

}  // namespace qm
