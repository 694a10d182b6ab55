#pragma once
// The font of the state overlay's text.

#include <QFont>

namespace qm {

// The surface's font, lightly hinted on every screen. Qt stops hinting text while it scales for
// a high-density screen; pinned, the overlay's letters have the same shapes and widths at every
// density, so the BMP export, drawn at one pixel per widget pixel, is the same file on any screen.
// Light hinting is the usual desktop default, so at scale 1 the text stays as it was.
inline QFont overlayFont(const QFont& surfaceFont) {
    QFont font(surfaceFont);
    font.setHintingPreference(QFont::PreferVerticalHinting);
    return font;
}

}  // namespace qm
