#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "definitions/NumberText.h"

using qm::textToInt32;
using qm::textToInt32Or;
using qm::textToInt64;
using qm::textToInt64Or;

namespace {

constexpr int32_t Fallback32 = -777;
constexpr int64_t Fallback64 = -777777;

}  // namespace

TEST(NumberText, DecimalWithSignAndLeadingBlanks) {
    EXPECT_EQ(textToInt32Or("0", Fallback32), 0);
    EXPECT_EQ(textToInt32Or("123", Fallback32), 123);
    EXPECT_EQ(textToInt32Or("-45", Fallback32), -45);
    EXPECT_EQ(textToInt32Or("+7", Fallback32), 7);
    EXPECT_EQ(textToInt32Or("   42", Fallback32), 42);
    EXPECT_EQ(textToInt32Or(" -8", Fallback32), -8);
    EXPECT_EQ(textToInt32Or("0007", Fallback32), 7);
}

TEST(NumberText, WholeTextMustBeTheNumber) {
    for (const char* bad : {"", " ", "-", "+", "12 ", "12a", "a12", "1,2", "+-1", "- 1", "1.5", "1e3", "0x",
                            "0x ", "0xG", "x10", "$10", "--1"}) {
        int32_t value = 99;
        EXPECT_FALSE(textToInt32(bad, value)) << '"' << bad << '"';
        EXPECT_EQ(value, 99) << "a failed conversion leaves the value alone: " << bad;
        EXPECT_EQ(textToInt64Or(bad, Fallback64), Fallback64) << bad;
    }
    // An embedded NUL is a trailing character like any other.
    EXPECT_EQ(textToInt32Or(std::string_view("1\0", 2), Fallback32), Fallback32);
}

TEST(NumberText, DecimalStaysInTheSignedRange) {
    EXPECT_EQ(textToInt32Or("2147483647", Fallback32), 2147483647);
    EXPECT_EQ(textToInt32Or("-2147483648", Fallback32), INT32_MIN);
    EXPECT_EQ(textToInt32Or("2147483648", Fallback32), Fallback32);
    EXPECT_EQ(textToInt32Or("-2147483649", Fallback32), Fallback32);
    EXPECT_EQ(textToInt32Or("4294967295", Fallback32), Fallback32);

    EXPECT_EQ(textToInt64Or("9223372036854775807", Fallback64), INT64_MAX);
    EXPECT_EQ(textToInt64Or("-9223372036854775808", Fallback64), INT64_MIN);
    EXPECT_EQ(textToInt64Or("9223372036854775808", Fallback64), Fallback64);
    EXPECT_EQ(textToInt64Or("-9223372036854775809", Fallback64), Fallback64);
    EXPECT_EQ(textToInt64Or("18446744073709551616", Fallback64), Fallback64);
    EXPECT_EQ(textToInt64Or("2147483648", Fallback64), 2147483648ll);
}

TEST(NumberText, HexadecimalUsesAllBits) {
    EXPECT_EQ(textToInt32Or("0x1f", Fallback32), 31);
    EXPECT_EQ(textToInt32Or("0X1F", Fallback32), 31);
    EXPECT_EQ(textToInt32Or("  0x10", Fallback32), 16);
    EXPECT_EQ(textToInt32Or("0x7FFFFFFF", Fallback32), INT32_MAX);
    EXPECT_EQ(textToInt32Or("0x80000000", Fallback32), INT32_MIN);
    EXPECT_EQ(textToInt32Or("0xFFFFFFFF", Fallback32), -1);
    EXPECT_EQ(textToInt32Or("0x000000000000FF", Fallback32), 255);
    EXPECT_EQ(textToInt32Or("0x100000000", Fallback32), Fallback32);

    EXPECT_EQ(textToInt64Or("0xFFFFFFFFFFFFFFFF", Fallback64), -1);
    EXPECT_EQ(textToInt64Or("0x8000000000000000", Fallback64), INT64_MIN);
    EXPECT_EQ(textToInt64Or("0xFFFFFFFF", Fallback64), 0xFFFFFFFFll);
    EXPECT_EQ(textToInt64Or("0x10000000000000000", Fallback64), Fallback64);
}

TEST(NumberText, HugeAndHostileTextIsSafe) {
    EXPECT_EQ(textToInt32Or(std::string(100000, '9'), Fallback32), Fallback32);
    EXPECT_EQ(textToInt64Or(std::string(100000, '9'), Fallback64), Fallback64);
    EXPECT_EQ(textToInt64Or("0x" + std::string(100000, 'F'), Fallback64), Fallback64);
    EXPECT_EQ(textToInt32Or(std::string(100000, '0') + "5", Fallback32), 5);
    EXPECT_EQ(textToInt32Or(std::string(100000, ' ') + "5", Fallback32), 5);
    EXPECT_EQ(textToInt32Or(std::string(100000, ' '), Fallback32), Fallback32);

    // Only a digit makes "1x" a number, whatever byte x is.
    for (int byte = 0; byte < 256; ++byte) {
        const std::string text = std::string("1") + static_cast<char>(byte);
        const bool digit = byte >= '0' && byte <= '9';
        EXPECT_EQ(textToInt32Or(text, Fallback32), digit ? 10 + (byte - '0') : Fallback32) << byte;
        EXPECT_EQ(textToInt64Or(text, Fallback64), digit ? 10 + (byte - '0') : Fallback64) << byte;
    }
}
