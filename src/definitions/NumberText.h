#pragma once
// Text to number conversions used by every field a person can type into.
// A text converts only when all of it is a valid number in range; leading blanks are allowed.
// Accepted forms: optional sign, then decimal digits, or "0x"/"0X" followed by hexadecimal digits.

#include <cstdint>
#include <string_view>

namespace qm {

// Decimal must lie in the signed 32-bit range; hexadecimal may use all 32 bits
// ("0xFFFFFFFF" is -1), as the platform's integer conversion does.
bool textToInt32(std::string_view text, int32_t& value);
int32_t textToInt32Or(std::string_view text, int32_t fallback);

// Signed 64-bit, same rules (hexadecimal may use all 64 bits).
bool textToInt64(std::string_view text, int64_t& value);
int64_t textToInt64Or(std::string_view text, int64_t fallback);

}  // namespace qm
