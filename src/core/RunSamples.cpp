#include "core/RunSamples.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>

namespace qm {

RunSample sampleOf(const RunCounters& c, int64_t steps, double seconds) {
    return RunSample{steps, c.filled, c.peakFilled, c.minX, c.maxX, c.minY, c.maxY, seconds};
}

const char* sampleCsvHeader() { return "steps,filled,peak,min_x,max_x,min_y,max_y,seconds"; }

std::string sampleCsvLine(const RunSample& s) {
    char line[192];
    std::snprintf(line, sizeof line, "%" PRId64 ",%" PRId64 ",%" PRId64 ",%d,%d,%d,%d,%.6f", s.steps, s.filled, s.peak,
                  s.minX, s.maxX, s.minY, s.maxY, s.seconds);
    return line;
}

RunSamples::RunSamples(std::size_t maximum) : maximum_(std::max<std::size_t>(maximum, 4)) {
    samples_.reserve(std::min<std::size_t>(maximum_, 4096));
}

void RunSamples::record(const RunSample& sample) {
    while (!samples_.empty() && samples_.back().steps >= sample.steps) samples_.pop_back();
    if (samples_.size() >= maximum_) thinOlderHalf();
    samples_.push_back(sample);
}

// Every other sample of the older half goes, the very first (the run's start) stays: a quarter
// fewer samples, spaced evenly over the old part, at a cost shared by the records that follow.
void RunSamples::thinOlderHalf() {
    const std::size_t half = samples_.size() / 2;
    std::size_t kept = 1;
    for (std::size_t i = 2; i < half; i += 2) samples_[kept++] = samples_[i];
    const auto newer = samples_.begin() + static_cast<std::ptrdiff_t>(half);
    samples_.erase(samples_.begin() + static_cast<std::ptrdiff_t>(kept), newer);
}

double RunSamples::secondsAt(int64_t steps) const {
    if (samples_.empty()) return 0.0;
    auto after = std::lower_bound(samples_.begin(), samples_.end(), steps,
                                  [](const RunSample& s, int64_t k) { return s.steps < k; });
    if (after == samples_.end()) return samples_.back().seconds;
    if (after->steps == steps || after == samples_.begin()) return after->seconds;
    const RunSample& before = *(after - 1);
    const double share = static_cast<double>(steps - before.steps) / static_cast<double>(after->steps - before.steps);
    return before.seconds + share * (after->seconds - before.seconds);
}

}  // namespace qm
