#pragma once
// A label that shows its whole text: a text wider than the label is drawn in a smaller size of
// the label's font, a pixel at a time, down to a least readable size. The fonts the program
// finds may be wider than the faces its layout was made for.

#include <QLabel>

namespace qm {

class FittingLabel : public QLabel {
public:
    using QLabel::QLabel;

    static constexpr int LeastPixelSize = 7;

    // The font the text is drawn in: the label's own, or a smaller size of it.
    QFont fittingFont() const;

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace qm
