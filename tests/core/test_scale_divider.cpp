// The eye's division by multiplication against the `/` operator: the ends of the 32-bit range,
// whole quotients and their neighbours (where a reciprocal that is a hair too small or too large
// would show), and random dividends and scales, small and large.

#include <cstdint>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "view/ScaleDivider.h"

namespace qm {
namespace {

// x / s for x at and around the ends of the range and around whole quotients q * s.
void expectExactAround(int32_t scale, int64_t quotient, const ScaleDivider& divider) {
    for (int64_t offset = -2; offset <= 2; ++offset) {
        const int64_t x = quotient * scale + offset;
        if (x < INT32_MIN || x > INT32_MAX) continue;
        ASSERT_EQ(divider.divide(static_cast<int32_t>(x)), static_cast<int32_t>(x) / scale)
            << "x = " << x << ", scale = " << scale;
    }
}

std::vector<int32_t> endsOfTheRange() { return {INT32_MIN, INT32_MIN + 1, -1, 0, 1, INT32_MAX - 1, INT32_MAX}; }

TEST(ScaleDivider, TruncatesTowardZeroLikeTheDivisionOperator) {
    const ScaleDivider five(5);
    EXPECT_EQ(five.divide(4), 0);
    EXPECT_EQ(five.divide(-4), 0);
    EXPECT_EQ(five.divide(5), 1);
    EXPECT_EQ(five.divide(-5), -1);
    EXPECT_EQ(five.divide(-9), -1);
    EXPECT_EQ(five.divide(-10), -2);
}

TEST(ScaleDivider, ScalesBelowOneDivideByOne) {
    EXPECT_EQ(ScaleDivider(0).divide(-7), -7);
    EXPECT_EQ(ScaleDivider(-3).divide(INT32_MIN), INT32_MIN);
    EXPECT_EQ(ScaleDivider().divide(INT32_MAX), INT32_MAX);
}

TEST(ScaleDivider, EveryScaleUpToSixtyFiveThousandAtTheEndsAndAroundWholeQuotients) {
    std::mt19937 random(20240611);
    for (int32_t scale = 1; scale <= 65536; ++scale) {
        const ScaleDivider divider(scale);
        for (int32_t x : endsOfTheRange()) expectExactAround(scale, x / scale, divider);
        expectExactAround(scale, static_cast<int32_t>(random()) / scale, divider);
    }
}

TEST(ScaleDivider, LargeAndSpecialScales) {
    std::mt19937 random(7);
    std::vector<int32_t> scales = {INT32_MAX, INT32_MAX - 1, 1 << 30, (1 << 30) + 1, (1 << 30) - 1, 46341, 1000000007};
    for (int i = 0; i < 2000; ++i) scales.push_back(static_cast<int32_t>(1 + random() % INT32_MAX));
    for (int32_t scale : scales) {
        const ScaleDivider divider(scale);
        for (int32_t x : endsOfTheRange()) expectExactAround(scale, x / scale, divider);
        for (int i = 0; i < 50; ++i) expectExactAround(scale, static_cast<int32_t>(random()) / scale, divider);
    }
}

}  // namespace
}  // namespace qm
