#pragma once
// An independent reading of the number fields, written differently from the program's own
// (the C library does the digit work, the form is checked explicitly), to cross-check it:
// blanks (space, tab), an optional sign, decimal digits or "0x"/"0X" and hexadecimal digits,
// nothing else. Decimal must fit the signed range; hexadecimal may use every bit and is then
// two's complement, negated when a minus sign stands before it.

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

namespace qmfuzz {

inline std::optional<int64_t> referenceInteger(std::string_view text, int bits) {
    size_t pos = text.find_first_not_of(" \t");
    if (pos == std::string_view::npos) return std::nullopt;
    bool negative = false;
    if (text[pos] == '+' || text[pos] == '-') {
        negative = text[pos] == '-';
        ++pos;
    }
    std::string_view digits = text.substr(pos);
    const bool hex = digits.size() >= 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X');
    if (hex) digits.remove_prefix(2);
    if (digits.empty()) return std::nullopt;
    const std::string_view allowed = hex ? "0123456789abcdefABCDEF" : "0123456789";
    if (digits.find_first_not_of(allowed) != std::string_view::npos) return std::nullopt;

    const std::string copy(digits);
    char* end = nullptr;
    errno = 0;
    const unsigned long long magnitude = std::strtoull(copy.c_str(), &end, hex ? 16 : 10);
    if (errno == ERANGE || end != copy.c_str() + copy.size()) return std::nullopt;

    const unsigned long long allBits = bits == 64 ? ~0ull : (1ull << bits) - 1;
    const unsigned long long signedMax = allBits >> 1;
    if (hex) {
        if (magnitude > allBits) return std::nullopt;
        unsigned long long pattern = (negative ? 0ull - magnitude : magnitude) & allBits;
        // Sign-extend the pattern of `bits` bits.
        if (bits < 64 && (pattern >> (bits - 1)) != 0) pattern |= ~allBits;
        return static_cast<int64_t>(pattern);
    }
    if (magnitude > signedMax + (negative ? 1 : 0)) return std::nullopt;
    if (!negative) return static_cast<int64_t>(magnitude);
    return magnitude == signedMax + 1 ? -static_cast<int64_t>(signedMax) - 1 : -static_cast<int64_t>(magnitude);
}

inline int64_t referenceIntegerOr(std::string_view text, int bits, int64_t fallback) {
    return referenceInteger(text, bits).value_or(fallback);
}

}  // namespace qmfuzz
