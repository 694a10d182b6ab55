#include "definitions/NumberText.h"

#include <cstddef>
#include <limits>
#include <type_traits>

namespace qm {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

int hexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Parses the whole text as a number of `Bits` bits. Decimal must fit the signed range (the
// sign counted); hexadecimal may fill all bits and is then read as two's complement, so
// "0xFFFFFFFF" is -1 for 32 bits. All arithmetic is unsigned, so no input can overflow.
template <typename Signed>
bool parseInteger(std::string_view text, Signed& value) {
    using Unsigned = std::make_unsigned_t<Signed>;
    constexpr Unsigned signedMax = static_cast<Unsigned>(std::numeric_limits<Signed>::max());
    constexpr Unsigned unsignedMax = std::numeric_limits<Unsigned>::max();

    size_t pos = 0;
    while (pos < text.size() && isBlank(text[pos])) ++pos;

    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }

    const bool hex = pos + 1 < text.size() && text[pos] == '0' && (text[pos + 1] == 'x' || text[pos + 1] == 'X');
    if (hex) pos += 2;
    if (pos >= text.size()) return false;  // no digits at all

    Unsigned magnitude = 0;
    if (hex) {
        for (; pos < text.size(); ++pos) {
            const int digit = hexDigitValue(text[pos]);
            if (digit < 0) return false;
            if (magnitude > (unsignedMax >> 4)) return false;
            magnitude = static_cast<Unsigned>((magnitude << 4) | static_cast<Unsigned>(digit));
        }
    } else {
        // The negative side reaches one further than the positive side.
        const Unsigned limit = negative ? signedMax + 1 : signedMax;
        for (; pos < text.size(); ++pos) {
            const char c = text[pos];
            if (c < '0' || c > '9') return false;
            const Unsigned digit = static_cast<Unsigned>(c - '0');
            if (magnitude > (limit - digit) / 10) return false;
            magnitude = static_cast<Unsigned>(magnitude * 10 + digit);
        }
    }

    if (negative) magnitude = static_cast<Unsigned>(Unsigned{0} - magnitude);
    value = static_cast<Signed>(magnitude);  // two's complement reinterpretation (C++20)
    return true;
}

}  // namespace

bool textToInt32(std::string_view text, int32_t& value) { return parseInteger<int32_t>(text, value); }

int32_t textToInt32Or(std::string_view text, int32_t fallback) {
    int32_t value = 0;
    return textToInt32(text, value) ? value : fallback;
}

bool textToInt64(std::string_view text, int64_t& value) { return parseInteger<int64_t>(text, value); }

int64_t textToInt64Or(std::string_view text, int64_t fallback) {
    int64_t value = 0;
    return textToInt64(text, value) ? value : fallback;
}

}  // namespace qm
