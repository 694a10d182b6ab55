#pragma once
// The pages of a block a process has ever touched, as the kernel's page map tells them: a page
// neither present nor swapped out was never written and holds zeros. Reading such a page would
// map the shared zero page there, which the next write to it must copy, flushing the page from
// every core's TLB once another thread of the process has run: in a checkpoint of the grid that
// cost a run of 1000 ants a tenth of its time.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace qm {

class TouchedPages {
public:
    // When the page map cannot be read, every page counts as touched.
    TouchedPages(const void* block, std::size_t bytes);
    // False when the page map could not be read.
    bool known() const { return !touched_.empty(); }
    // The bytes of a span of at most two pages, as a grid line is, that lie on pages ever touched:
    // [from, to) from its start, all of it when the map is unknown, none (from == to) when no
    // page was touched. The others hold zeros and are not to be read.
    struct Part {
        std::size_t from = 0, to = 0;
    };
    Part touchedPart(const void* bytes, std::size_t size) const {
        if (touched_.empty()) return {0, size};
        const auto at = reinterpret_cast<uintptr_t>(bytes);
        const uintptr_t lastPage = (at + size - 1 - first_) >> pageShift_;
        const bool head = touched_[(at - first_) >> pageShift_] != 0, tail = touched_[lastPage] != 0;
        if (head == tail) return head ? Part{0, size} : Part{};
        const std::size_t split = first_ + (lastPage << pageShift_) - at;  // where the last page begins
        return head ? Part{0, split} : Part{split, size};
    }
    // Bytes from `bytes` to the end of its page when that page was never touched, else 0: a scan
    // passes over them without looking at them line by line.
    std::size_t untouchedRun(const void* bytes) const {
        if (touched_.empty()) return 0;
        const auto at = reinterpret_cast<uintptr_t>(bytes);
        const std::size_t page = (at - first_) >> pageShift_;
        if (touched_[page]) return 0;
        return first_ + ((page + 1) << pageShift_) - at;
    }

private:
    uintptr_t first_ = 0;
    int pageShift_ = 12;
    std::vector<uint8_t> touched_;  // one a page; none: unknown
};

}  // namespace qm
