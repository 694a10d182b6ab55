// Number fields: the program's 32- and 64-bit conversions against an independent reading of
// the same forms, on arbitrary bytes.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "FuzzCheck.h"
#include "ReferenceNumber.h"
#include "definitions/NumberText.h"

namespace {

void checkInt32(std::string_view text) {
    int32_t value = 12345;
    const bool ok = qm::textToInt32(text, value);
    const auto expected = qmfuzz::referenceInteger(text, 32);
    FUZZ_CHECK(ok == expected.has_value());
    if (ok) FUZZ_CHECK(value == *expected);
    else FUZZ_CHECK(value == 12345);  // a failed conversion leaves the target alone
    FUZZ_CHECK(qm::textToInt32Or(text, -77) == (ok ? value : -77));
}

void checkInt64(std::string_view text) {
    int64_t value = 12345;
    const bool ok = qm::textToInt64(text, value);
    const auto expected = qmfuzz::referenceInteger(text, 64);
    FUZZ_CHECK(ok == expected.has_value());
    if (ok) FUZZ_CHECK(value == *expected);
    else FUZZ_CHECK(value == 12345);
    FUZZ_CHECK(qm::textToInt64Or(text, -77) == (ok ? value : -77));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    checkInt32(text);
    checkInt64(text);
    return 0;
}
