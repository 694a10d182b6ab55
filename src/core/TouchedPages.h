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
    // False only for bytes all on pages never touched. For spans of one page or two, as a grid
    // line is: only the first and the last page are looked at, which keeps the scan's test short.
    bool touched(const void* bytes, std::size_t size) const {
        if (touched_.empty()) return true;
        const auto at = reinterpret_cast<uintptr_t>(bytes);
        return touched_[(at - first_) >> pageShift_] || touched_[(at + size - 1 - first_) >> pageShift_];
    }

private:
    uintptr_t first_ = 0;
    int pageShift_ = 12;
    std::vector<uint8_t> touched_;  // one a page; none: unknown
};

}  // namespace qm
