#include "view/PicturePng.h"

#include <QImage>
#include <QImageWriter>

namespace qm {

namespace {
// Ant pictures are long runs of a few colours: the fastest deflate level already packs them
// tightly, and the higher ones cost seconds on large pictures for a few per cent.
constexpr int PngQuality = 80;  // deflate level 1
}  // namespace

bool savePicturePng(const Picture& picture, const QString& path) {
    if (picture.width <= 0 || picture.height <= 0) return false;
    const QImage image(picture.rgb.data(), picture.width, picture.height, qsizetype{picture.width} * 3,
                       QImage::Format_RGB888);
    if (image.isNull()) return false;
    QImageWriter writer(path, "png");
    writer.setQuality(PngQuality);
    return writer.write(image);
}

PngOutcome writeWholePicturePng(const World& w, const PicturePalette& palette, const QString& path, int32_t scale,
                                const SquareBox* visited) {
    PngOutcome outcome;
    Picture picture;
    outcome.error = renderWholePicture(w, palette, paintedArea(w, visited), scale, picture);
    if (outcome.error != PictureError::None) return outcome;
    outcome.scale = picture.scale;
    outcome.written = savePicturePng(picture, path);
    return outcome;
}

}  // namespace qm
