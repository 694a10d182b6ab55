#pragma once
// Quotients rounded down and up, for any signs: the `/` operator rounds toward zero.

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

}  // namespace qm
