#include "core/Platform.h"

#include <chrono>
#include <cstdint>
#include <cstdlib>

#include <sys/mman.h>

namespace qm {
namespace {

class HeapAllocator final : public Allocator {
public:
    void* allocate(std::size_t bytes) override { return std::malloc(bytes == 0 ? 1 : bytes); }
    // Large zeroed blocks come straight from the system, untouched; asking for huge pages makes
    // a square the ants reach for the first time cost one fault per 2 MB instead of per 4 KB.
    void* allocateZeroed(std::size_t bytes) override {
        void* block = std::calloc(bytes == 0 ? 1 : bytes, 1);
#ifdef MADV_HUGEPAGE
        constexpr uintptr_t Huge = uintptr_t{2} << 20;
        const auto start = reinterpret_cast<uintptr_t>(block);
        const uintptr_t first = (start + Huge - 1) & ~(Huge - 1), last = (start + bytes) & ~(Huge - 1);
        if (block && last > first) madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
#endif
        return block;
    }
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
