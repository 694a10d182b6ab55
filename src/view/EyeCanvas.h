#pragma once
// Where the eye window draws: the pixels of PaintBoxEye's image, reached without a QPainter, and
// the mapping of grid squares to those pixels at the eye scale.

#include <cstdint>

#include <QImage>

namespace qm {

// Square to pixel: one pixel stands for scale x scale squares; the origin sits at the eye
// centre, X grows to the right and Y upward. Divisions truncate toward zero, so the pixel row
// and column through the centre cover 2 x scale - 1 squares.
struct EyeMapping {
    int32_t scale = 1;    // s, at least 1
    int32_t centreX = 0;  // cx
    int32_t originY = 0;  // H - cy: the pixel row of the squares with Y / s = 0

    int64_t column(int32_t x) const { return int64_t{centreX} + x / scale; }
    int64_t row(int32_t y) const { return int64_t{originY} - y / scale; }
    // The same for positions computed in 64 bits (mouse squares far beyond the 32-bit range).
    int64_t column64(int64_t x) const { return int64_t{centreX} + x / scale; }
    int64_t row64(int64_t y) const { return int64_t{originY} - y / scale; }
};

// Direct access to a 32-bit image. The image may be replaced (resized) or detached behind our
// back; its cache key changes whenever that can have happened, so the cached pointers are
// checked against it before use.
class PixelCanvas {
public:
    void attach(QImage& image) {
        image_ = &image;
        refresh();
    }

    // Re-reads the pointers if the image changed since; cheap when it did not.
    void ensureCurrent() {
        if (image_ && image_->cacheKey() != cacheKey_) refresh();
    }

    int64_t width() const { return width_; }
    int64_t height() const { return height_; }

    void plot(int64_t px, int64_t py, uint32_t argb) {
        if (static_cast<uint64_t>(px) < static_cast<uint64_t>(width_) &&
            static_cast<uint64_t>(py) < static_cast<uint64_t>(height_))
            pixelAt(px, py) = argb;
    }

    // Not-xor pen: the pixel becomes the inverse of pen XOR pixel, so a second pass restores it.
    void notXor(int64_t px, int64_t py, uint32_t penArgb) {
        if (static_cast<uint64_t>(px) < static_cast<uint64_t>(width_) &&
            static_cast<uint64_t>(py) < static_cast<uint64_t>(height_)) {
            uint32_t& pixel = pixelAt(px, py);
            pixel = 0xFF000000u | (~(penArgb ^ pixel) & 0x00FFFFFFu);
        }
    }

    void fill(uint32_t argb) {
        for (int64_t y = 0; y < height_; ++y) {
            uint32_t* row = reinterpret_cast<uint32_t*>(bits_ + y * bytesPerLine_);
            for (int64_t x = 0; x < width_; ++x) row[x] = argb;
        }
    }

private:
    uint32_t& pixelAt(int64_t px, int64_t py) {
        return reinterpret_cast<uint32_t*>(bits_ + py * bytesPerLine_)[px];
    }

    void refresh() {
        bits_ = image_->bits();  // detaches a shared image, which changes the cache key
        bytesPerLine_ = image_->bytesPerLine();
        const bool usable = bits_ && image_->depth() == 32;
        width_ = usable ? image_->width() : 0;
        height_ = usable ? image_->height() : 0;
        cacheKey_ = image_->cacheKey();
    }

    QImage* image_ = nullptr;
    uchar* bits_ = nullptr;
    int64_t bytesPerLine_ = 0;
    int64_t width_ = 0;
    int64_t height_ = 0;
    qint64 cacheKey_ = 0;
};

}  // namespace qm
