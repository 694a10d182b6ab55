#pragma once
// Division of 32-bit square coordinates by a fixed scale with one floating-point multiplication
// instead of a division instruction, whose latency and sign handling would dominate a per-move
// pixel operation. Truncates toward zero like the `/` operator, exactly, for every 32-bit
// dividend and every scale >= 1.

#include <cmath>
#include <cstdint>

namespace qm {

class ScaleDivider {
public:
    // The factor is the double just above 1 / s: it exceeds 1 / s by at most about 2^-51 of
    // itself. The rounded product x * factor therefore lies at the exact quotient q = x / s or
    // beyond it, away from zero, by less than |q| * 2^-50 <= 2^-19 / s (as |q| <= 2^31 / s).
    // A whole quotient stays whole under truncation; one that is not lies at least 1 / s short
    // of the next integer away from zero, which the error never reaches. So truncation toward
    // zero, the conversion's own, gives the exact result for either sign.
    explicit ScaleDivider(int32_t scale = 1)
        : factor_(std::nextafter(1.0 / static_cast<double>(scale < 1 ? 1 : scale), 2.0)) {}

    int64_t divide(int32_t x) const { return static_cast<int64_t>(static_cast<double>(x) * factor_); }
    double factor() const { return factor_; }

private:
    double factor_;
};

}  // namespace qm
