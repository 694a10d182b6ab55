#include "gui/view/PicturePng.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QFile>
#include <QImageWriter>

#include "core/SafeFile.h"
#include "display/Colours.h"

namespace qm {

namespace {
// Ant pictures are long runs of a few colours: the fastest deflate level already packs them
// tightly, and the higher ones cost seconds on large pictures for a few per cent.
constexpr int PngQuality = 80;  // deflate level 1
}  // namespace

namespace {

QRgb qtColour(uint32_t colour) { return qRgb(int(colour & 0xFF), int((colour >> 8) & 0xFF), int((colour >> 16) & 0xFF)); }

// One byte per pixel with a colour table: the writer packs it without trying row filters.
QImage indexedImage(const Picture& picture) {
    QImage image(picture.narrowCodes.data(), picture.width, picture.height, qsizetype{picture.width},
                 QImage::Format_Indexed8);
    QList<QRgb> table;
    for (uint32_t colour : picture.colours) table.push_back(qtColour(colour));
    image.setColorTable(table);
    return image;
}

QImage rgbImage(const Picture& picture) {
    QImage image(picture.width, picture.height, QImage::Format_RGB888);
    if (image.isNull()) return image;
    for (int y = 0; y < picture.height; ++y) {
        uchar* out = image.scanLine(y);
        for (int x = 0; x < picture.width; ++x, out += 3) {
            const uint32_t colour = picture.colourAt(x, y);
            out[0] = uchar(colour);
            out[1] = uchar(colour >> 8);
            out[2] = uchar(colour >> 16);
        }
    }
    return image;
}

}  // namespace

std::string savePicturePng(const Picture& picture, const QString& path) {
    if (picture.width <= 0 || picture.height <= 0) return "the picture is empty";
    const QImage image = picture.wide() ? rgbImage(picture) : indexedImage(picture);
    if (image.isNull()) return pictureErrorText(PictureError::OutOfMemory);
    // Encoded in memory first, so that the file is replaced as every writer replaces one and
    // a write that fails is seen to fail.
    QByteArray encoded;
    QBuffer buffer(&encoded);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    writer.setQuality(PngQuality);
    if (!writer.write(image)) return "the picture cannot be encoded";
    buffer.close();
    return replaceFileContent(QFile::encodeName(path).toStdString(), encoded.constData(),
                              static_cast<std::size_t>(encoded.size()));
}

PngOutcome writeWholePicturePng(const World& w, const PicturePalette& palette, const QString& path, int32_t scale) {
    PngOutcome outcome;
    Picture picture;
    outcome.error = renderWholePicture(w, palette, paintedArea(w), scale, picture);
    if (outcome.error != PictureError::None) return outcome;
    outcome.scale = picture.scale;
    outcome.writeError = savePicturePng(picture, path);
    return outcome;
}

std::string writeWholePicturePngInDefaultColours(const World& w, int32_t spectrumItem, const std::string& path,
                                                 int32_t scale) {
    StateColourTable stateColours{};
    fillInitialStateColours(stateColours, w.states);
    rebuildStateColours(stateColours, w.states, spectrumItem + 1, DefaultViewBackground);
    const PicturePalette palette{DefaultViewBackground, &stateColours};
    const PngOutcome outcome = writeWholePicturePng(w, palette, QFile::decodeName(path.c_str()), scale);
    if (outcome.error != PictureError::None) return pictureErrorText(outcome.error);
    return outcome.writeError;
}

}  // namespace qm
