#include "core/TouchedPages.h"

#include <algorithm>
#include <bit>

#include <fcntl.h>
#include <unistd.h>

namespace qm {

TouchedPages::TouchedPages(const void* block, std::size_t bytes) {
    const auto page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
    if (page == 0 || (page & (page - 1)) != 0 || !block || bytes == 0) return;
    pageShift_ = std::countr_zero(page);
    first_ = reinterpret_cast<uintptr_t>(block) & ~(page - 1);
    const uintptr_t end = reinterpret_cast<uintptr_t>(block) + bytes;
    const std::size_t pages = (end - first_ + page - 1) >> pageShift_;
    const int map = open("/proc/self/pagemap", O_RDONLY | O_CLOEXEC);
    if (map < 0) return;
    touched_.resize(pages);
    constexpr uint64_t Present = uint64_t{1} << 63, Swapped = uint64_t{1} << 62;
    std::vector<uint64_t> entries(std::min<std::size_t>(pages, 8192));
    for (std::size_t done = 0; done < pages;) {
        const std::size_t count = std::min(entries.size(), pages - done);
        const auto at = static_cast<off_t>(((first_ >> pageShift_) + done) * sizeof(uint64_t));
        if (pread(map, entries.data(), count * sizeof(uint64_t), at) != static_cast<ssize_t>(count * sizeof(uint64_t))) {
            touched_.clear();
            break;
        }
        for (std::size_t i = 0; i < count; ++i) touched_[done + i] = (entries[i] & (Present | Swapped)) != 0;
        done += count;
    }
    close(map);
}

}  // namespace qm
