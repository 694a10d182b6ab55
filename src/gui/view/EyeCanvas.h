#pragma once
// Where the eye window draws: the pixels of eyeSurface's image, reached without a QPainter, and
// the mapping of grid squares to those pixels at the eye scale.

#include <cstdint>

#include <QImage>

#include "gui/view/ImageSurface.h"

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

// Direct access to the 32-bit image of a surface. The image may be replaced (resized) or
// detached behind our back; the surface's generation changes whenever that can have happened,
// so the cached pointers are checked against it before use. Positions are in widget pixels,
// each drawn as ratio() x ratio() image pixels; notXor alone takes image pixels.
class PixelCanvas {
public:
    void attach(ImageSurface& surface) {
        surface_ = &surface;
        refresh();
    }

    // Re-reads the pointers if the image may have moved since; one comparison when it did not.
    void ensureCurrent() {
        if (surface_) ensureCurrentAttached();
    }
    // The same for callers that know a surface is attached.
    void ensureCurrentAttached() {
        if (surface_->generation() != generation_) refresh();
    }

    int64_t width() const { return width_; }  // in widget pixels
    int64_t height() const { return height_; }
    int ratio() const { return ratio_; }
    uchar* bits() const { return width_ > 0 ? bits_ : nullptr; }
    int64_t bytesPerLine() const { return bytesPerLine_; }

    void plot(int64_t px, int64_t py, uint32_t argb) {
        if (static_cast<uint64_t>(px) < static_cast<uint64_t>(width_) &&
            static_cast<uint64_t>(py) < static_cast<uint64_t>(height_)) {
            if (ratio_ == 1) pixelAt(px, py) = argb;
            else plotBlock(px, py, argb);
        }
    }

    // Writes `argb`, or leaves the pixel as it is with `keep` or when (px, py) lies off the
    // image. The per-move operations' path: with many ants, which case comes next is anybody's
    // guess, so all take the same single write, which goes to a scratch pixel when nothing may
    // change. Addresses are integers here: off the image, the pixel's own lies anywhere.
    void plotOrKeep(int64_t px, int64_t py, uint32_t argb, bool keep) {
        if (ratio_ != 1) [[unlikely]] {
            if (!keep) plot(px, py, argb);
            return;
        }
        const bool inside = (static_cast<uint64_t>(px) < static_cast<uint64_t>(width_)) &
                            (static_cast<uint64_t>(py) < static_cast<uint64_t>(height_));
        const uint64_t writeMask = 0 - static_cast<uint64_t>(inside & !keep);
        const uint64_t pixel = reinterpret_cast<uintptr_t>(bits_) + static_cast<uint64_t>(py) * bytesPerLine_ +
                               static_cast<uint64_t>(px) * 4;
        const uint64_t scratch = reinterpret_cast<uintptr_t>(&scratch_);
        *reinterpret_cast<uint32_t*>(scratch ^ ((pixel ^ scratch) & writeMask)) = argb;
    }

    // Not-xor pen on the image pixel (px, py): it becomes the inverse of pen XOR pixel, so a
    // second pass restores it.
    void notXor(int64_t px, int64_t py, uint32_t penArgb) {
        if (static_cast<uint64_t>(px) < static_cast<uint64_t>(width_ * ratio_) &&
            static_cast<uint64_t>(py) < static_cast<uint64_t>(height_ * ratio_)) {
            uint32_t& pixel = pixelAt(px, py);
            pixel = 0xFF000000u | (~(penArgb ^ pixel) & 0x00FFFFFFu);
        }
    }

    void fill(uint32_t argb) {
        for (int64_t y = 0; y < height_ * ratio_; ++y) {
            uint32_t* row = reinterpret_cast<uint32_t*>(bits_ + y * bytesPerLine_);
            for (int64_t x = 0; x < width_ * ratio_; ++x) row[x] = argb;
        }
    }

private:
    uint32_t& pixelAt(int64_t px, int64_t py) {
        return reinterpret_cast<uint32_t*>(bits_ + py * bytesPerLine_)[px];
    }
    void plotBlock(int64_t px, int64_t py, uint32_t argb) {
        for (int64_t y = py * ratio_; y < (py + 1) * ratio_; ++y)
            for (int64_t x = px * ratio_; x < (px + 1) * ratio_; ++x) pixelAt(x, y) = argb;
    }

    // Out of line and cold: it runs once per repaint, the check above once per move.
    [[gnu::noinline, gnu::cold]] void refresh() {
        QImage& image = surface_->image();
        bits_ = image.bits();  // detaches a shared image
        bytesPerLine_ = image.bytesPerLine();
        const bool usable = bits_ && image.depth() == 32;
        ratio_ = ImageSurface::ratioOf(image);
        width_ = usable ? image.width() / ratio_ : 0;
        height_ = usable ? image.height() / ratio_ : 0;
        generation_ = surface_->generation();  // after the write access above, which counts
    }

    ImageSurface* surface_ = nullptr;
    uchar* bits_ = nullptr;
    int64_t bytesPerLine_ = 0;
    int64_t width_ = 0;
    int64_t height_ = 0;
    int ratio_ = 1;  // image pixels per widget pixel
    uint64_t generation_ = 0;
    uint32_t scratch_ = 0;  // takes the writes that leave a pixel as it is
};

}  // namespace qm
