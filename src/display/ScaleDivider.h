#pragma once
// Division of 32-bit square coordinates by a fixed scale with one integer multiplication and a
// shift instead of a division instruction, whose latency would dominate a per-move pixel
// operation. Truncates toward zero like the `/` operator, exactly, for every 32-bit dividend and
// every scale >= 1.

#include <cstdint>

namespace qm {

class ScaleDivider {
public:
    // With l = ceil(log2 s) (so s <= 2^l) and m = floor(2^(31+l) / s) + 1, which exceeds 2^(31+l) / s
    // by e in (0, 1]: p = x * m / 2^(31+l) = x / s + x * e / 2^(31+l), and |x * e| / 2^(31+l) is
    // below 1 / s for x >= 0 (x < 2^31) and at most 1 / s for x < 0. So for x >= 0, floor(p) is
    // x / s rounded down, as a fraction of x / s is at most 1 - 1 / s. For x < 0, p lies below
    // x / s by at most 1 / s: floor(p) is x / s rounded down when that is not whole and one less
    // when it is, and adding one gives the quotient rounded toward zero. m <= 2^32, so x * m
    // fits in 64 bits.
    explicit ScaleDivider(int32_t scale = 1) {
        const uint64_t s = scale < 1 ? 1u : static_cast<uint64_t>(scale);
        int l = 0;
        while ((uint64_t{1} << l) < s) ++l;
        shift_ = 31 + l;
        multiplier_ = static_cast<int64_t>((uint64_t{1} << shift_) / s + 1);
    }

    int64_t divide(int32_t x) const { return ((int64_t{x} * multiplier_) >> shift_) + (x < 0 ? 1 : 0); }

private:
    int64_t multiplier_;
    int shift_;
};

}  // namespace qm
