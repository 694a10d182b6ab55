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
    bool replaced = false;
    while (!samples_.empty() && samples_.back().steps >= sample.steps) {
        samples_.pop_back();
        replaced = true;
    }
    // The newest sample stands in until the stride is reached, then it stays.
    if (!replaced && newestPassing_ && !samples_.empty()) samples_.pop_back();
    samples_.push_back(sample);
    newestPassing_ = ++sinceKept_ < stride_;
    if (!newestPassing_) sinceKept_ = 0;
    if (samples_.size() > maximum_) thin();
}

// Every other sample goes, the first (the run's start) and the newest stay, and from now on only
// every other record stays: the samples kept remain evenly spread over the whole run.
void RunSamples::thin() {
    const std::size_t last = samples_.size() - 1;
    std::size_t kept = 1;
    for (std::size_t i = 2; i < last; i += 2) samples_[kept++] = samples_[i];
    samples_[kept++] = samples_[last];
    samples_.resize(kept);
    stride_ *= 2;
    sinceKept_ = 0;
    newestPassing_ = false;
}

void RunSamples::clear() {
    samples_.clear();
    stride_ = 1;
    sinceKept_ = 0;
    newestPassing_ = false;
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
