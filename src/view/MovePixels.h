#pragma once
// The eye pixel of a square, for the per-move operations: both coordinates in one pass of two
// multiplications, where two divisions (or two scalar multiplications and their conversions)
// would be most of a move's pixel work.

#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "core/World.h"
#include "view/ScaleDivider.h"

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
    MovePixels() : MovePixels(1, 0, 0) {}
    MovePixels(int32_t scale, int32_t centreX, int32_t originY)
        : divider_(scale), centreX_(static_cast<uint32_t>(centreX)), originY_(static_cast<uint32_t>(originY)) {
#if defined(__SSE2__)
        // (X * f, -Y * f): truncation is symmetric, so the second lane is -(Y / s). For
        // Y = -2^31 at scale 1 it overflows to -2^31, which equals 2^31 modulo 2^32.
        factors_ = _mm_set_pd(-divider_.factor(), divider_.factor());
        origin_ = _mm_set_epi32(0, 0, originY, centreX);
#endif
    }

    PixelPair of(AntPos p) const {
#if defined(__SSE2__)
        const __m128i xy = _mm_set_epi32(0, 0, p.y, p.x);
        const __m128i quotients = _mm_cvttpd_epi32(_mm_mul_pd(_mm_cvtepi32_pd(xy), factors_));
        const __m128i pixel = _mm_add_epi32(quotients, origin_);
        const auto both = static_cast<uint64_t>(_mm_cvtsi128_si64(pixel));
        return {static_cast<uint32_t>(both), static_cast<uint32_t>(both >> 32)};
#else
        return {centreX_ + static_cast<uint32_t>(divider_.divide(p.x)),
                originY_ - static_cast<uint32_t>(divider_.divide(p.y))};
#endif
    }

private:
    ScaleDivider divider_;
    uint32_t centreX_;
    uint32_t originY_;
#if defined(__SSE2__)
    __m128d factors_;
    __m128i origin_;
#endif
};

}  // namespace qm
