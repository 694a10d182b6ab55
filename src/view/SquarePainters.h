#pragma once
// Drawing grid squares into the main view's image: the pixel mapping, clipped square fills, and
// the per-move square painters that the step loops call through the world's hooks.

#include <cstdint>

#include <QImage>

#include "core/World.h"

class MainView;

namespace qm {

// Where grid squares land in one image, for the current view offset, centre and square size.
// Square (X, Y) fills `size` x `size` pixels from column originX + X * size - lead and row
// originY - Y * size - lead. Computed in 64 bits, so squares however far away never overflow;
// whatever misses the image is clipped.
class PixelTarget {
public:
    PixelTarget(QImage& image, const MainView& view);

    // A square of the target's own size.
    void fill(int32_t x, int32_t y, uint32_t argb) const {
        fillClipped(originX_ + static_cast<int64_t>(x) * size_ - lead_,
                    originY_ - static_cast<int64_t>(y) * size_ - lead_, size_, argb);
    }
    // The same with the size known at compile time: the per-move painters' fast path.
    template <int Size>
    void fillFixed(int32_t x, int32_t y, uint32_t argb) const {
        constexpr int64_t lead = Size == 1 ? 0 : Size / 2;
        const int64_t left = originX_ + static_cast<int64_t>(x) * Size - lead;
        const int64_t top = originY_ - static_cast<int64_t>(y) * Size - lead;
        if (left >= 0 && left <= width_ - Size && top >= 0 && top <= height_ - Size) {
            uchar* row = bits_ + top * bytesPerLine_;
            for (int r = 0; r < Size; ++r, row += bytesPerLine_) {
                uint32_t* pixel = reinterpret_cast<uint32_t*>(row) + left;
                for (int c = 0; c < Size; ++c) pixel[c] = argb;
            }
            return;
        }
        fillClipped(left, top, Size, argb);
    }

private:
    void fillClipped(int64_t left, int64_t top, int64_t size, uint32_t argb) const;

    uchar* bits_;
    int64_t bytesPerLine_;
    int64_t width_;
    int64_t height_;
    int64_t originX_;
    int64_t originY_;
    int32_t size_;
    int32_t lead_;
};

// The three painters of one "Ant square size:" item.
struct SquarePainterSet {
    Hook paint;
    Hook erase;
    Hook genSquare;
};

// Item "0" draws nothing (the eye window still follows), "1" one pixel, the others s x s.
// `blackWhite`: the ant-maximum mode at the time of the selection paints black, not ant colours.
// `itemZero` wins over `size`; a size without its own painters uses the generic ones.
SquarePainterSet squarePaintersFor(bool itemZero, int32_t size, bool blackWhite);

}  // namespace qm
