#include "core/MemoryBudget.h"

#include <cmath>

namespace qm {

const std::array<const char*, MemoryChoiceCount> MemoryChoiceCaptions = {
    "4Mb (RAM < 32Mb)",   "24Mb (RAM 64Mb)",    "56Mb (RAM 128Mb)",   "112Mb (RAM 256Mb)",
    "256Mb (RAM 512Mb)",  "384Mb (RAM 768Mb)",  "512Mb (RAM 1024Mb)", "1024Mb (RAM 2048Mb)"};

namespace {

constexpr std::array<uint64_t, MemoryChoiceCount> BlockMiB = {4, 24, 56, 112, 256, 384, 512, 1024};

// Black-and-white blocks in MiB: 0.9 of the block, except the 512Mb item which has always used
// 435.6 rather than 460.8; the grid sizes users know depend on it.
constexpr std::array<double, MemoryChoiceCount> BlackWhiteBlockMiB = {3.6,   21.6,  50.4,  100.8,
                                                                      230.4, 345.6, 435.6, 921.6};

// Available memory (MiB) above which an item becomes the default, from item 7 down to item 1.
struct DefaultThreshold {
    uint64_t aboveMiB;
    int item;
};
constexpr std::array<DefaultThreshold, 7> DefaultThresholds = {{
    {1074, 7}, {562, 6}, {434, 5}, {296, 4}, {142, 3}, {56, 2}, {24, 1}}};

constexpr int FirstRemovableItem = 2;
constexpr int FirstWarningItem = 2;

}  // namespace

uint64_t memoryBlockBytes(int item) {
    if (item < 0 || item >= MemoryChoiceCount) return 0;
    return BlockMiB[item] * MiB;
}

std::array<int32_t, MemoryChoiceCount> computeHalfSizes(AntMaxChoice choice) {
    constexpr double Sqrt2 = 1.4142135623730951;
    constexpr double InverseSqrt2 = 0.7071067811865475;
    const double sqrt8 = std::sqrt(8.0);

    std::array<int32_t, MemoryChoiceCount> halfSizes{};
    for (int k = 0; k < MemoryChoiceCount; ++k) {
        const double block = static_cast<double>(memoryBlockBytes(k));
        const double base = std::floor(std::sqrt(block) * 0.5 - 1.0);
        switch (choice) {
        case AntMaxChoice::Ants15:
            halfSizes[k] = static_cast<int32_t>(base * Sqrt2);
            break;
        case AntMaxChoice::Ants65535:
            halfSizes[k] = static_cast<int32_t>(base * InverseSqrt2);
            break;
        case AntMaxChoice::BlackWhite: {
            // One bit per square: the side grows by sqrt(8) and nothing is subtracted.
            const double bwBlock = BlackWhiteBlockMiB[k] * static_cast<double>(MiB);
            halfSizes[k] = static_cast<int32_t>(std::floor(std::sqrt(bwBlock) * 0.5) * sqrt8);
            break;
        }
        case AntMaxChoice::Ants255:
            halfSizes[k] = static_cast<int32_t>(base);
            break;
        }
    }
    return halfSizes;
}

int defaultMemoryItem(uint32_t available) {
    for (const DefaultThreshold& threshold : DefaultThresholds)
        if (available > threshold.aboveMiB * MiB) return threshold.item;
    return 0;
}

int memoryItemsKept(uint32_t total) {
    // Items go from the end of the list, each only after the one above it has gone, so the
    // remaining items keep their indexes.
    int kept = MemoryChoiceCount;
    while (kept > FirstRemovableItem && total < memoryBlockBytes(kept - 1)) --kept;
    return kept;
}

MemoryFit fitMemoryChoices(const MemoryStatus& status) {
    MemoryFit fit;
    fit.selectedItem = defaultMemoryItem(status.available);
    fit.itemsKept = memoryItemsKept(status.total);
    if (fit.selectedItem < 0 || fit.selectedItem >= fit.itemsKept) fit.selectedItem = 0;
    return fit;
}

std::optional<std::string> memoryWarning(int item, uint32_t available) {
    if (item < FirstWarningItem || item >= MemoryChoiceCount) return std::nullopt;
    if (available >= memoryBlockBytes(item)) return std::nullopt;
    return "Warning: Free memory is " + std::to_string(available / MiB) +
           "Mb only.\n On press start computer should be very slow (freeze) - a few minutes.";
}

std::string totalMemoryCaption(uint32_t total) { return std::to_string(total / MiB) + "Mb"; }

}  // namespace qm
