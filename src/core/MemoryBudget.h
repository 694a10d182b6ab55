#pragma once
// The memory budget: half sizes of the fast grid per memory choice, fitting the choices to the
// machine, the memory warning, and the three limits of a run. No toolkit dependency.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace qm {

inline constexpr int MemoryChoiceCount = 8;
inline constexpr uint64_t MiB = 1ull << 20;

// Captions of the memory choices, in item order.
extern const std::array<const char*, MemoryChoiceCount> MemoryChoiceCaptions;

// Total and available physical memory in bytes, brought into the unsigned 32-bit range.
struct MemoryStatus {
    uint32_t total = 0;
    uint32_t available = 0;
    uint64_t physicalTotal = 0;  // the total unclamped; 0 when the source gives none
};
// What the machine really holds, for bills that are not the dialog's 32-bit figures.
inline uint64_t physicalMemoryOf(const MemoryStatus& status) {
    return status.physicalTotal > status.total ? status.physicalTotal : status.total;
}

class MemoryStatusSource {
public:
    virtual ~MemoryStatusSource() = default;
    virtual MemoryStatus query() = 0;
};
// Reads the operating system (/proc/meminfo on Linux), clamping figures to 4294967295.
MemoryStatusSource& systemMemoryStatus();
// Installs a replacement for tests; nullptr restores the operating system's.
void setMemoryStatusSource(MemoryStatusSource* replacement);
MemoryStatus queryMemoryStatus();

// The process's resident memory in bytes (/proc/self/statm); 0 when it cannot be read.
uint64_t residentBytes();
uint32_t clampToUInt32(uint64_t bytes);
// Reads MemTotal and MemAvailable (kB) from the text of /proc/meminfo; figures missing from the
// text count as 0. MemFree stands in for MemAvailable on kernels that lack the latter.
MemoryStatus parseMemInfo(const std::string& text);

// Which of the ant-maximum buttons is checked (generalized mode always counts as 255).
enum class AntMaxChoice { Ants15, Ants255, Ants65535, BlackWhite };

// Half size R of the fast grid for every memory choice.
std::array<int32_t, MemoryChoiceCount> computeHalfSizes(AntMaxChoice choice);

// Default memory item chosen from the available memory.
int defaultMemoryItem(uint32_t available);
// Number of items left after removing those the total memory cannot hold (at least 2).
int memoryItemsKept(uint32_t total);

// Outcome of fitting the memory choices to the machine at first activation.
struct MemoryFit {
    int selectedItem = 1;
    int itemsKept = MemoryChoiceCount;
};
MemoryFit fitMemoryChoices(const MemoryStatus& status);

// Block size M of a memory item in bytes (0 for an index outside the table).
uint64_t memoryBlockBytes(int item);

// The warning shown when a chosen block exceeds the free memory; none for items 0 and 1 or when
// enough is free.
std::optional<std::string> memoryWarning(int item, uint32_t available);
// "512Mb" style caption of the total memory.
std::string totalMemoryCaption(uint32_t total);

struct RunLimitsFigures {
    int64_t stepMax = 0;
    int64_t filledMax = 0;
    int32_t axisBound = 0;
    // Texts of the "Limits:" box.
    std::string stepsText;    // step maximum
    std::string boundsText;   // axis bound - 1
    std::string filledText;   // filled-square maximum - 1
    std::string fastToText;   // half size - 1
};

RunLimitsFigures computeLimits(bool continueCompute, int32_t halfSize, AntMaxChoice choice,
                               bool generalized, uint32_t totalMemory);

// Initial capacity and grow delta of a sparse store (elements).
int32_t sparseStoreDelta(int memoryItem, uint32_t available, int32_t gridByteSize);

inline constexpr const char* Label9Langton = "Max filled:";
inline constexpr const char* Label9LangtonHint = "Max filled squares";
inline constexpr const char* Label9Generalized = "  State ch.:";
inline constexpr const char* Label9GeneralizedHint = "All states for one square.";

}  // namespace qm
