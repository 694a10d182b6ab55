#pragma once
// The eye pixel of a square, for the per-move operations: two integer multiplications and shifts
// where two divisions would be most of a move's pixel work.

#include <cstdint>

#include "core/World.h"
#include "display/ScaleDivider.h"

namespace qm {

// Column and row modulo 2^32. The true column cx + X / s and row oy - Y / s lie within 2^31 of a
// value in 0 .. 2^31 (cx, oy are small, the quotients are 32-bit), so a pixel of a W x H image
// (W, H < 2^31) is inside exactly when both are below W and H as unsigned numbers.
struct PixelPair {
    uint32_t column;
    uint32_t row;
};

class MovePixels {
public:
    MovePixels() = default;
    MovePixels(int32_t scale, int32_t centreX, int32_t originY)
        : divider_(scale), centreX_(static_cast<uint32_t>(centreX)), originY_(static_cast<uint32_t>(originY)) {}

    PixelPair of(AntPos p) const {
        return {centreX_ + static_cast<uint32_t>(divider_.divide(p.x)),
                originY_ - static_cast<uint32_t>(divider_.divide(p.y))};
    }

private:
    ScaleDivider divider_;
    uint32_t centreX_ = 0;
    uint32_t originY_ = 0;
};

}  // namespace qm
