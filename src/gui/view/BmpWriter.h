#pragma once
// Windows BMP files of 24 bits per pixel, uncompressed: a 14-byte file header, a 40-byte
// information header, then the rows from the bottom up, three bytes per pixel (blue, green,
// red), each row padded with zeros to a multiple of 4 bytes.

#include <cstdint>

#include <QByteArray>

class QImage;
class QIODevice;
class QString;

namespace qm {

inline constexpr int BmpHeaderBytes = 54;

// Bytes of one stored row: 3 per pixel, rounded up to a multiple of 4.
constexpr int64_t bmpRowBytes(int64_t width) { return (width * 3 + 3) / 4 * 4; }

// The 54 header bytes of an image of that size.
QByteArray bmpHeader(int32_t width, int32_t height);

// Writes any image (all formats are read through their pixels' colours). False when the size
// cannot be stored in the format or the device refuses a write.
bool writeBmp24(const QImage& image, QIODevice& device);
// The same to a file, which is replaced only if the whole picture was written.
bool saveBmp24(const QImage& image, const QString& fileName);

}  // namespace qm
