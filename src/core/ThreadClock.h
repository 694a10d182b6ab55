#pragma once
// The calling thread's own computing time: what a piece of work costs the thread, not how long a
// machine busy with others took to let it.

#include <ctime>

namespace qm {

inline double threadSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

}  // namespace qm
