#pragma once
// Equal-sized leaf blocks carved from slabs of about the grow delta's worth of elements. A slab
// is handed out front to back, so its untouched part costs no resident memory; freed leaves are
// kept for reuse and every slab is returned only with the pool.

#include <cstddef>
#include <cstdint>

#include "core/Platform.h"

namespace qm {

class LeafPool {
public:
    LeafPool() = default;
    LeafPool(const LeafPool&) = delete;
    LeafPool& operator=(const LeafPool&) = delete;
    ~LeafPool() { clear(); }

    // Forgets every slab and starts over with leaves of `leafBytes` bytes, `slabLeaves` a slab.
    void reset(std::size_t leafBytes, int64_t slabLeaves) {
        clear();
        leafBytes_ = (leafBytes + 7) & ~std::size_t{7};
        slabLeaves_ = slabLeaves > 0 ? slabLeaves : 1;
    }
    // Adds a slab of `leaves` leaves; false (nothing changed) when memory fails.
    bool addSlab(int64_t leaves) {
        const std::size_t bytes = SlabHeader + static_cast<std::size_t>(leaves) * leafBytes_;
        auto* slab = static_cast<unsigned char*>(allocator().allocate(bytes));
        if (!slab) return false;
        *reinterpret_cast<void**>(slab) = slabs_;
        slabs_ = slab;
        next_ = slab + SlabHeader;
        end_ = slab + bytes;
        totalLeaves_ += leaves;
        totalBytes_ += bytes;
        return true;
    }
    // A spare leaf is at hand, a new slab of the usual size added if needed.
    bool ensureSpare() { return free_ || next_ != end_ || addSlab(slabLeaves_); }
    // Call only after ensureSpare().
    void* take() {
        if (free_) {
            void* leaf = free_;
            free_ = *static_cast<void**>(free_);
            return leaf;
        }
        void* leaf = next_;
        next_ += leafBytes_;
        return leaf;
    }
    void give(void* leaf) {
        *static_cast<void**>(leaf) = free_;
        free_ = leaf;
    }

    int64_t totalLeaves() const { return totalLeaves_; }
    std::size_t totalBytes() const { return totalBytes_; }

    // Returns every slab.
    void clear() {
        while (slabs_) {
            void* previous = *static_cast<void**>(slabs_);
            allocator().release(slabs_);
            slabs_ = previous;
        }
        next_ = end_ = nullptr;
        free_ = nullptr;
        totalLeaves_ = 0;
        totalBytes_ = 0;
    }

private:
    static constexpr std::size_t SlabHeader = 16;  // link to the previous slab, kept 8-aligned

    std::size_t leafBytes_ = 8;
    int64_t slabLeaves_ = 1;
    void* slabs_ = nullptr;
    unsigned char* next_ = nullptr;
    unsigned char* end_ = nullptr;
    void* free_ = nullptr;
    int64_t totalLeaves_ = 0;
    std::size_t totalBytes_ = 0;
};

}  // namespace qm
