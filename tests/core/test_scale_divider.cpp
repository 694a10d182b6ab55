// The eye's division by multiplication against the `/` operator: the ends of the 32-bit range,
// whole quotients and their neighbours (where a reciprocal that is a hair too small or too large
// would show), and random dividends and scales, small and large.

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "display/ScaleDivider.h"

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

#include "display/MovePixels.h"

namespace qm {
namespace {

// The per-move pixel pair against the plain mapping (column cx + X / s, row oy - Y / s in 64
// bits): the same pixel whenever the square lands on a W x H image, and off it whenever the plain
// mapping says so, however far away the square is.
struct PlainMapping {
    int32_t scale, centreX, originY;
};

::testing::AssertionResult sameEyePixel(const PlainMapping& m, const MovePixels& pixels, AntPos p, int64_t w,
                                        int64_t h) {
    const int64_t column = int64_t{m.centreX} + p.x / m.scale;
    const int64_t row = int64_t{m.originY} - p.y / m.scale;
    const bool inside = column >= 0 && column < w && row >= 0 && row < h;
    const PixelPair pair = pixels.of(p);
    const bool pairInside = pair.column < w && pair.row < h;
    if (inside != pairInside || (inside && (pair.column != column || pair.row != row)))
        return ::testing::AssertionFailure() << "(" << p.x << ", " << p.y << ") at scale " << m.scale << ": "
                                             << column << ", " << row << " vs " << pair.column << ", " << pair.row;
    return ::testing::AssertionSuccess();
}

// A coordinate whose quotient lands near pixel `pixel` (one square to either side of a boundary).
int32_t near(int64_t pixel, int32_t scale, int offset) {
    const int64_t x = pixel * scale + offset;
    return static_cast<int32_t>(std::clamp<int64_t>(x, INT32_MIN, INT32_MAX));
}

TEST(MovePixels, AgreeWithTheMappingOnAndOffTheImage) {
    std::mt19937 random(99);
    constexpr int64_t width = 110, height = 97;
    std::vector<int32_t> scales = {1, 2, 3, 5, 7, 16, 100, 1041, 65536, 1 << 30, INT32_MAX};
    for (int i = 0; i < 200; ++i) scales.push_back(static_cast<int32_t>(1 + random() % 5000));
    const std::vector<int32_t> ends = {INT32_MIN, INT32_MIN + 1, -1, 0, 1, INT32_MAX - 1, INT32_MAX};
    for (int32_t scale : scales) {
        for (const auto& [cx, oy] : {std::pair{55, 48}, std::pair{0, 0}, std::pair{110, 97}, std::pair{3, 90}}) {
            const PlainMapping m{scale, cx, oy};
            const MovePixels pixels(scale, cx, oy);
            for (int32_t x : ends)
                for (int32_t y : ends) ASSERT_TRUE(sameEyePixel(m, pixels, {x, y}, width, height));
            for (int i = 0; i < 300; ++i) {
                // Around the image's edges and beyond them, and anywhere in the range.
                const int offset = static_cast<int>(random() % 3) - 1;
                const int32_t x = near(static_cast<int64_t>(random() % 170) - 30 - cx, scale, offset);
                const int32_t y = near(oy - (static_cast<int64_t>(random() % 160) - 30), scale, offset);
                const auto anywhere = static_cast<int32_t>(random());
                ASSERT_TRUE(sameEyePixel(m, pixels, {x, y}, width, height));
                ASSERT_TRUE(sameEyePixel(m, pixels, {x, anywhere}, width, height));
                ASSERT_TRUE(sameEyePixel(m, pixels, {anywhere, y}, width, height));
            }
        }
    }
}

}  // namespace
}  // namespace qm
