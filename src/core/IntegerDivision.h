#pragma once
// Quotients rounded down and up, for any signs: the `/` operator rounds toward zero. And the
// squares that a quotient truncated toward zero gathers.

#include <cstdint>

namespace qm {

constexpr int64_t floorDiv(int64_t a, int64_t b) {
    const int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

constexpr int64_t ceilDiv(int64_t a, int64_t b) {
    const int64_t q = a / b;
    return (a % b != 0 && (a < 0) == (b < 0)) ? q + 1 : q;
}

// For s >= 1: the lowest value whose quotient by s (truncated toward zero) is at least k, and the
// highest whose quotient is at most m. The quotient 0 gathers the 2s - 1 values -(s - 1) .. s - 1.
constexpr int64_t firstWithQuotientAtLeast(int64_t k, int64_t s) { return k > 0 ? k * s : (k - 1) * s + 1; }
constexpr int64_t lastWithQuotientAtMost(int64_t m, int64_t s) { return m >= 0 ? (m + 1) * s - 1 : m * s; }

}  // namespace qm
