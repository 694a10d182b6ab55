#include "core/MemoryBudget.h"

#include <algorithm>

namespace qm {

namespace {

// Kept a little below the type limits so that the counters can never overflow.
constexpr int64_t UnboundedStepMax = 9223372036854775797;  // 2^63 - 11
constexpr int64_t BoundedStepMax = 4294967285;             // 2^32 - 11
constexpr int32_t UnboundedAxis = 2147483637;              // 2^31 - 11
constexpr int64_t FilledMaxWide = 214748364;    // 65535 ants
constexpr int64_t FilledMaxNarrow = 238609294;  // 15 and 255 ants
constexpr int64_t BlackWhiteFilledFloor = 214748364;
constexpr int64_t BlackWhiteFilledCeiling = 17091788800;

constexpr int32_t SmallestBlockDeltaCap = 2000000;
constexpr int32_t SmallestBlockDeltaFloor = 64000;
constexpr int32_t BytesPerStoreElementShare = 128;

}  // namespace

RunLimitsFigures computeLimits(bool continueCompute, int32_t halfSize, AntMaxChoice choice,
                               bool generalized, uint32_t totalMemory) {
    RunLimitsFigures limits;
    if (continueCompute) {
        limits.stepMax = UnboundedStepMax;
        limits.filledMax = choice == AntMaxChoice::Ants65535 ? FilledMaxWide : FilledMaxNarrow;
        if (choice == AntMaxChoice::BlackWhite)
            limits.filledMax = std::clamp(static_cast<int64_t>(totalMemory) * 8,
                                          BlackWhiteFilledFloor, BlackWhiteFilledCeiling);
        if (generalized) limits.filledMax = UnboundedStepMax;
        limits.axisBound = UnboundedAxis;
    } else {
        limits.stepMax = BoundedStepMax;
        const int64_t side = 2 * static_cast<int64_t>(halfSize) - 2;
        limits.filledMax = side * side;
        limits.axisBound = halfSize;
    }
    limits.stepsText = std::to_string(limits.stepMax);
    limits.boundsText = std::to_string(static_cast<int64_t>(limits.axisBound) - 1);
    limits.filledText = std::to_string(limits.filledMax - 1);
    limits.fastToText = std::to_string(static_cast<int64_t>(halfSize) - 1);
    return limits;
}

int32_t sparseStoreDelta(int memoryItem, uint32_t available, int32_t gridByteSize) {
    if (memoryItem != 0) return gridByteSize / BytesPerStoreElementShare;
    // On the smallest block the store is sized from the free memory instead; a machine that
    // reports almost nothing free still gets the large delta rather than a tiny one.
    const int64_t delta = available / BytesPerStoreElementShare;
    if (delta > SmallestBlockDeltaCap || delta < SmallestBlockDeltaFloor)
        return SmallestBlockDeltaCap;
    return static_cast<int32_t>(delta);
}

}  // namespace qm
