#include "core/Platform.h"

#include <chrono>
#include <cstdlib>

namespace qm {
namespace {

class HeapAllocator final : public Allocator {
public:
    void* allocate(std::size_t bytes) override { return std::malloc(bytes == 0 ? 1 : bytes); }
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
