#include "core/Platform.h"

#include <chrono>
#include <cstdint>
#include <cstdlib>

#include <sys/mman.h>

namespace qm {
namespace {

// Asks for huge pages over the 2 MB-aligned part of a block: the first touch of a large block
// (a fill, or the ants reaching a square) then costs one fault per 2 MB instead of per 4 KB.
void adviseHugePages([[maybe_unused]] void* block, [[maybe_unused]] std::size_t bytes) {
#ifdef MADV_HUGEPAGE
    constexpr uintptr_t Huge = uintptr_t{2} << 20;
    const auto start = reinterpret_cast<uintptr_t>(block);
    const uintptr_t first = (start + Huge - 1) & ~(Huge - 1), last = (start + bytes) & ~(Huge - 1);
    if (block && last > first) madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
#endif
}

// Below this a block is left to the heap as it is: the hint only pays for blocks of many pages.
constexpr std::size_t HugePageHintBytes = std::size_t{64} << 20;

class HeapAllocator final : public Allocator {
public:
    void* allocate(std::size_t bytes) override {
        void* block = std::malloc(bytes == 0 ? 1 : bytes);
        if (bytes >= HugePageHintBytes) adviseHugePages(block, bytes);
        return block;
    }
    // Large zeroed blocks come straight from the system, untouched, so untouched parts of the
    // grid cost neither time nor resident memory. They get no huge-page hint: their pages are
    // first touched by the ants during the run, and a hinted fault may compact memory first,
    // which stalled a lone ant's run for up to a second; a plain fault costs microseconds.
    void* allocateZeroed(std::size_t bytes) override { return std::calloc(bytes == 0 ? 1 : bytes, 1); }
    void* reallocate(void* block, std::size_t bytes) override {
        return std::realloc(block, bytes == 0 ? 1 : bytes);
    }
    void release(void* block) override { std::free(block); }
};

class SystemClock final : public Clock {
public:
    double nowDays() override {
        using namespace std::chrono;
        const auto since = system_clock::now().time_since_epoch();
        return duration_cast<duration<double>>(since).count() / 86400.0;
    }
};

HeapAllocator heapAllocator;
Allocator* installedAllocator = &heapAllocator;
SystemClock theSystemClock;

}  // namespace

Allocator& allocator() { return *installedAllocator; }
void setAllocator(Allocator* replacement) {
    installedAllocator = replacement ? replacement : &heapAllocator;
}
Allocator& allocatorDefault() { return heapAllocator; }
Clock& systemClock() { return theSystemClock; }

}  // namespace qm
