#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "core/FastGrid.h"
#include "core/MemoryBudget.h"

namespace qm {
namespace {

constexpr uint32_t mib(uint32_t n) { return static_cast<uint32_t>(n * MiB); }

using HalfSizes = std::array<int32_t, MemoryChoiceCount>;

TEST(HalfSizes, EveryItemOfEveryAntMaximum) {
    EXPECT_EQ(computeHalfSizes(AntMaxChoice::Ants255),
              (HalfSizes{1023, 2507, 3830, 5417, 8191, 10032, 11584, 16383}));
    EXPECT_EQ(computeHalfSizes(AntMaxChoice::Ants15),
              (HalfSizes{1446, 3545, 5416, 7660, 11583, 14187, 16382, 23169}));
    EXPECT_EQ(computeHalfSizes(AntMaxChoice::Ants65535),
              (HalfSizes{723, 1772, 2708, 3830, 5791, 7093, 8191, 11584}));
    EXPECT_EQ(computeHalfSizes(AntMaxChoice::BlackWhite),
              (HalfSizes{2746, 6728, 10278, 14538, 21979, 26920, 30221, 43962}));
}

TEST(MemoryChoices, CaptionsAndBlockSizes) {
    EXPECT_STREQ(MemoryChoiceCaptions[0], "4Mb (RAM < 32Mb)");
    EXPECT_STREQ(MemoryChoiceCaptions[1], "24Mb (RAM 64Mb)");
    EXPECT_STREQ(MemoryChoiceCaptions[6], "512Mb (RAM 1024Mb)");
    EXPECT_STREQ(MemoryChoiceCaptions[7], "1024Mb (RAM 2048Mb)");
    EXPECT_EQ(memoryBlockBytes(0), 4 * MiB);
    EXPECT_EQ(memoryBlockBytes(7), 1024 * MiB);
    EXPECT_EQ(memoryBlockBytes(-1), 0u);
    EXPECT_EQ(memoryBlockBytes(8), 0u);
}

TEST(Limits, DefaultItemWithoutContinue) {
    const int32_t r = computeHalfSizes(AntMaxChoice::Ants255)[1];
    const RunLimitsFigures limits = computeLimits(false, r, AntMaxChoice::Ants255, false, mib(512));
    EXPECT_EQ(limits.stepMax, 4294967285);
    EXPECT_EQ(limits.filledMax, 25120144);
    EXPECT_EQ(limits.axisBound, 2507);
    EXPECT_EQ(limits.fastToText, "2506");
    EXPECT_EQ(limits.boundsText, "2506");
    EXPECT_EQ(limits.filledText, "25120143");
    EXPECT_EQ(limits.stepsText, "4294967285");
}

TEST(Limits, DefaultItemWithContinue) {
    const RunLimitsFigures limits = computeLimits(true, 2507, AntMaxChoice::Ants255, false, mib(512));
    EXPECT_EQ(limits.axisBound, 2147483637);
    EXPECT_EQ(limits.fastToText, "2506");
    EXPECT_EQ(limits.boundsText, "2147483636");
    EXPECT_EQ(limits.filledText, "238609293");
    EXPECT_EQ(limits.stepsText, "9223372036854775797");
}

TEST(Limits, FastAlgorithmReachFollowsTheAntMaximum) {
    const int item = 1;
    EXPECT_EQ(computeLimits(false, computeHalfSizes(AntMaxChoice::Ants15)[item],
                            AntMaxChoice::Ants15, false, 0)
                  .fastToText,
              "3544");
    EXPECT_EQ(computeLimits(true, computeHalfSizes(AntMaxChoice::BlackWhite)[item],
                            AntMaxChoice::BlackWhite, false, 0)
                  .fastToText,
              "6727");
}

TEST(Limits, FilledMaximumWithContinueByMode) {
    EXPECT_EQ(computeLimits(true, 1772, AntMaxChoice::Ants65535, false, 0).filledMax, 214748364);
    EXPECT_EQ(computeLimits(true, 3545, AntMaxChoice::Ants15, false, 0).filledMax, 238609294);
    // Generalized mode counts state changes, which are unbounded.
    const RunLimitsFigures generalized = computeLimits(true, 2507, AntMaxChoice::Ants255, true, 0);
    EXPECT_EQ(generalized.filledMax, 9223372036854775797);
    EXPECT_EQ(generalized.filledText, "9223372036854775796");
}

TEST(Limits, BlackWhiteFilledMaximumIsEightTimesTotalMemoryClamped) {
    EXPECT_EQ(computeLimits(true, 6728, AntMaxChoice::BlackWhite, false, 2147483648u).filledText,
              "17091788799");
    EXPECT_EQ(computeLimits(true, 6728, AntMaxChoice::BlackWhite, false, mib(1024)).filledMax,
              8589934592);
    EXPECT_EQ(computeLimits(true, 6728, AntMaxChoice::BlackWhite, false, mib(16)).filledMax,
              214748364);
    EXPECT_EQ(computeLimits(true, 6728, AntMaxChoice::BlackWhite, false, 4294967295u).filledMax,
              17091788800);
}

TEST(Limits, WithoutContinueTheLargestGridNeedsSixtyFourBitArea) {
    const int32_t r = computeHalfSizes(AntMaxChoice::BlackWhite)[7];
    const RunLimitsFigures limits = computeLimits(false, r, AntMaxChoice::BlackWhite, false, 0);
    const int64_t side = 2 * int64_t{r} - 2;
    EXPECT_GT(side * side, int64_t{2147483647});
    EXPECT_EQ(limits.filledMax, side * side);
    EXPECT_EQ(limits.axisBound, r);
    EXPECT_EQ(limits.boundsText, std::to_string(r - 1));
}

TEST(MemoryFitting, DefaultItemFromAvailableMemory) {
    EXPECT_EQ(defaultMemoryItem(mib(100)), 2);
    EXPECT_EQ(defaultMemoryItem(mib(40)), 1);
    EXPECT_EQ(defaultMemoryItem(mib(20)), 0);
    // Thresholds are strict: exactly the figure is not enough.
    EXPECT_EQ(defaultMemoryItem(mib(24)), 0);
    EXPECT_EQ(defaultMemoryItem(mib(24) + 1), 1);
    EXPECT_EQ(defaultMemoryItem(mib(56)), 1);
    EXPECT_EQ(defaultMemoryItem(mib(142) + 1), 3);
    EXPECT_EQ(defaultMemoryItem(mib(296) + 1), 4);
    EXPECT_EQ(defaultMemoryItem(mib(434) + 1), 5);
    EXPECT_EQ(defaultMemoryItem(mib(562) + 1), 6);
    EXPECT_EQ(defaultMemoryItem(mib(1074)), 6);
    EXPECT_EQ(defaultMemoryItem(mib(1074) + 1), 7);
    EXPECT_EQ(defaultMemoryItem(4294967295u), 7);
}

TEST(MemoryFitting, ItemsRemovedFromTheEndByTotalMemory) {
    EXPECT_EQ(memoryItemsKept(mib(128)), 4);
    EXPECT_EQ(memoryItemsKept(mib(2048)), 8);
    EXPECT_EQ(memoryItemsKept(mib(1024)), 8);
    EXPECT_EQ(memoryItemsKept(mib(1024) - 1), 7);
    EXPECT_EQ(memoryItemsKept(mib(300)), 5);
    EXPECT_EQ(memoryItemsKept(mib(112)), 4);
    EXPECT_EQ(memoryItemsKept(mib(56)), 3);
    // Items 0 and 1 stay whatever the machine.
    EXPECT_EQ(memoryItemsKept(0), 2);
}

TEST(MemoryFitting, SelectionFallsBackWhenItsItemWasRemoved) {
    MemoryFit fit = fitMemoryChoices({mib(128), mib(100)});
    EXPECT_EQ(fit.selectedItem, 2);
    EXPECT_EQ(fit.itemsKept, 4);

    fit = fitMemoryChoices({mib(300), mib(2000)});
    EXPECT_EQ(fit.itemsKept, 5);
    EXPECT_EQ(fit.selectedItem, 0);
}

TEST(MemoryWarning, TextWhenBlockExceedsFreeMemory) {
    EXPECT_EQ(memoryWarning(7, mib(600)).value_or(""),
              "Warning: Free memory is 600Mb only.\n On press start computer should be very "
              "slow (freeze) - a few minutes.");
    // The figure is truncated to whole Mb.
    const auto justBelow = memoryWarning(2, mib(56) - 1);
    ASSERT_TRUE(justBelow.has_value());
    EXPECT_NE(justBelow->find("is 55Mb only."), std::string::npos);
}

TEST(MemoryWarning, NoneForSmallItemsOrEnoughMemory) {
    EXPECT_FALSE(memoryWarning(0, 0).has_value());
    EXPECT_FALSE(memoryWarning(1, 0).has_value());
    EXPECT_FALSE(memoryWarning(2, mib(56)).has_value());
    EXPECT_FALSE(memoryWarning(7, 4294967295u).has_value());
    EXPECT_FALSE(memoryWarning(8, 0).has_value());
}

TEST(MemoryStatus, TotalCaptionAndClamping) {
    EXPECT_EQ(totalMemoryCaption(mib(512)), "512Mb");
    EXPECT_EQ(totalMemoryCaption(mib(513) - 1), "512Mb");
    EXPECT_EQ(totalMemoryCaption(4294967295u), "4095Mb");
    EXPECT_EQ(clampToUInt32(0), 0u);
    EXPECT_EQ(clampToUInt32(4294967295ull), 4294967295u);
    EXPECT_EQ(clampToUInt32(4294967296ull), 4294967295u);
    EXPECT_EQ(clampToUInt32(24ull << 30), 4294967295u);
}

TEST(MemoryStatus, ParsesMemInfoKilobytes) {
    const MemoryStatus small = parseMemInfo(
        "MemTotal:         131072 kB\nMemFree:           10240 kB\nMemAvailable:     102400 kB\n");
    EXPECT_EQ(small.total, mib(128));
    EXPECT_EQ(small.available, mib(100));

    const MemoryStatus large =
        parseMemInfo("MemTotal:       25165824 kB\nMemAvailable:   20971520 kB\n");
    EXPECT_EQ(large.total, 4294967295u);
    EXPECT_EQ(large.available, 4294967295u);
    EXPECT_EQ(physicalMemoryOf(large), 24ull << 30) << "bills beyond the dialog see the whole machine";

    const MemoryStatus oldKernel = parseMemInfo("MemTotal: 65536 kB\nMemFree: 40960 kB\n");
    EXPECT_EQ(oldKernel.available, mib(40));

    const MemoryStatus absurd = parseMemInfo("MemTotal: 18446744073709551615 kB\n");
    EXPECT_EQ(absurd.total, 4294967295u);
    EXPECT_EQ(absurd.available, 0u);
}

class FixedStatus final : public MemoryStatusSource {
public:
    MemoryStatus query() override { return {mib(2048), mib(600)}; }
};

TEST(MemoryStatus, ReplacementSourceAndRestore) {
    FixedStatus fixed;
    setMemoryStatusSource(&fixed);
    const MemoryStatus replaced = queryMemoryStatus();
    setMemoryStatusSource(nullptr);
    EXPECT_EQ(replaced.total, mib(2048));
    EXPECT_EQ(replaced.available, mib(600));

    const MemoryStatus restored = queryMemoryStatus();
    EXPECT_EQ(restored.total, systemMemoryStatus().query().total);
    EXPECT_GT(restored.total, 0u);
    EXPECT_LE(restored.available, restored.total);
}

// What a checkpoint expects to read follows the memory a run makes resident: writing a fresh
// block raises the count by about its size (and a little more under a sanitizer's shadow).
TEST(MemoryStatus, ResidentMemoryFollowsPagesWritten) {
    const uint64_t before = residentBytes();
    if (before == 0) GTEST_SKIP() << "no /proc/self/statm here";
    constexpr std::size_t Block = std::size_t{64} << 20;
    auto* block = static_cast<volatile uint8_t*>(std::calloc(Block, 1));
    ASSERT_NE(block, nullptr);
    for (std::size_t at = 0; at < Block; at += 4096) block[at] = 1;
    const uint64_t written = residentBytes();
    EXPECT_GE(written, before + Block * 9 / 10);
    EXPECT_LE(written, before + Block * 5 / 4);
    std::free(const_cast<uint8_t*>(block));
}

TEST(SparseStoreDelta, SmallestBlockUsesAvailableMemory) {
    EXPECT_EQ(sparseStoreDelta(0, 100000 * 128, 0), 100000);
    EXPECT_EQ(sparseStoreDelta(0, 64000 * 128, 0), 64000);
    EXPECT_EQ(sparseStoreDelta(0, 2000000 * 128, 0), 2000000);
    EXPECT_EQ(sparseStoreDelta(0, 2000001 * 128, 0), 2000000);
    // Too little free memory still gives the large delta.
    EXPECT_EQ(sparseStoreDelta(0, 64000 * 128 - 1, 0), 2000000);
    EXPECT_EQ(sparseStoreDelta(0, 0, 0), 2000000);
}

TEST(SparseStoreDelta, OtherBlocksUseTheGridSize) {
    const int32_t r = computeHalfSizes(AntMaxChoice::Ants255)[1];
    EXPECT_EQ(sparseStoreDelta(1, mib(10), fastGridByteSize(r, CellWidth::Byte)), 196486);
    EXPECT_EQ(sparseStoreDelta(7, 0, 255), 1);
}

}  // namespace
}  // namespace qm
