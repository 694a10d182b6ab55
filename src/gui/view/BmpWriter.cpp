#include "gui/view/BmpWriter.h"

#include <vector>

#include <QImage>
#include <QSaveFile>

namespace qm {

namespace {

constexpr int32_t InfoHeaderBytes = 40;
constexpr int32_t PixelsPerMetre = 3780;  // 96 pixels per inch
constexpr int64_t LargestFile = 0xFFFFFFFFll;

void putUInt16(QByteArray& out, uint32_t value) {
    out.append(char(value & 0xFF));
    out.append(char((value >> 8) & 0xFF));
}

void putUInt32(QByteArray& out, uint32_t value) {
    putUInt16(out, value & 0xFFFF);
    putUInt16(out, value >> 16);
}

// One row of the image as blue, green, red bytes, the padding left as it is (zero).
void packRow(const QImage& image, int y, std::vector<char>& row) {
    const int width = image.width();
    char* out = row.data();
    if (image.format() == QImage::Format_BGR888) {
        const uchar* in = image.constScanLine(y);
        std::copy(in, in + 3 * width, out);
        return;
    }
    if (image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32) {
        const auto* in = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < width; ++x, out += 3) {
            out[0] = char(qBlue(in[x]));
            out[1] = char(qGreen(in[x]));
            out[2] = char(qRed(in[x]));
        }
        return;
    }
    for (int x = 0; x < width; ++x, out += 3) {
        const QRgb pixel = image.pixel(x, y);
        out[0] = char(qBlue(pixel));
        out[1] = char(qGreen(pixel));
        out[2] = char(qRed(pixel));
    }
}

}  // namespace

QByteArray bmpHeader(int32_t width, int32_t height) {
    const int64_t imageBytes = bmpRowBytes(width) * height;
    QByteArray header;
    header.reserve(BmpHeaderBytes);
    header.append("BM", 2);
    putUInt32(header, uint32_t(BmpHeaderBytes + imageBytes));
    putUInt32(header, 0);  // two reserved words
    putUInt32(header, BmpHeaderBytes);
    putUInt32(header, InfoHeaderBytes);
    putUInt32(header, uint32_t(width));
    putUInt32(header, uint32_t(height));  // positive: the rows are stored bottom-up
    putUInt16(header, 1);                 // planes
    putUInt16(header, 24);                // bits per pixel
    putUInt32(header, 0);                 // no compression
    putUInt32(header, uint32_t(imageBytes));
    putUInt32(header, PixelsPerMetre);
    putUInt32(header, PixelsPerMetre);
    putUInt32(header, 0);  // colours used: no palette
    putUInt32(header, 0);  // important colours
    return header;
}

bool writeBmp24(const QImage& image, QIODevice& device) {
    const int width = image.width(), height = image.height();
    const int64_t rowBytes = bmpRowBytes(width);
    if (BmpHeaderBytes + rowBytes * height > LargestFile) return false;
    const QByteArray header = bmpHeader(width, height);
    if (device.write(header) != header.size()) return false;
    std::vector<char> row(static_cast<size_t>(rowBytes), 0);
    for (int y = height - 1; y >= 0; --y) {
        packRow(image, y, row);
        if (device.write(row.data(), rowBytes) != rowBytes) return false;
    }
    return true;
}

bool saveBmp24(const QImage& image, const QString& fileName) {
    QSaveFile file(fileName);
    file.setDirectWriteFallback(true);  // a writable file in a folder we may not create files in
    if (!file.open(QIODevice::WriteOnly)) return false;
    if (!writeBmp24(image, file)) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

}  // namespace qm
