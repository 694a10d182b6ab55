#pragma once
// Whole pictures as PNG files, through Qt's own writer. Needs QtGui only (no widgets and no
// application object), so a run without a window can call it.

#include <string>

#include <QString>

#include "core/PaintedArea.h"
#include "core/WholePicture.h"
#include "core/World.h"

namespace qm {

// Writes a rendered picture as every writer replaces a file (core/SafeFile.h). Empty on
// success, else the reason.
std::string savePicturePng(const Picture& picture, const QString& path);

struct PngOutcome {
    PictureError error = PictureError::None;
    std::string writeError;  // empty when written
    int32_t scale = 0;  // the scale used (squares per pixel side)
};

// Renders the painted area (`scale` 0: the smallest scale that fits 16,384 pixels; otherwise
// forced) and writes it to `path`.
PngOutcome writeWholePicturePng(const World& w, const PicturePalette& palette, const QString& path,
                                int32_t scale = 0);

// The same in the colours a new window shows the run in: the default view background, and the
// state colours of the given spectrum item as the settings dialog builds them. Empty on success,
// else the reason. For runs without a window.
std::string writeWholePicturePngInDefaultColours(const World& w, int32_t spectrumItem, const std::string& path,
                                                 int32_t scale);

}  // namespace qm
