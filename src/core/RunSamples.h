#pragma once
// The counters of a run as it went: one sample per frame in the window, at chosen steps in a
// batch run. Memory stays bounded: past a maximum, every other sample goes and from then on every
// other record is kept (the newest always), so the samples stay evenly spread over the run.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/World.h"

namespace qm {

struct RunSample {
    int64_t steps = 0;
    int64_t filled = 0;
    int64_t peak = 0;
    int32_t minX = 0, maxX = 0, minY = 0, maxY = 0;
    double seconds = 0.0;  // computing time of the run at this step

    // Box sides in squares (both ends counted).
    int64_t boxWidth() const { return int64_t{maxX} - minX + 1; }
    int64_t boxHeight() const { return int64_t{maxY} - minY + 1; }
};

// The sample of a world whose counters stand at `steps` (a step end is one ahead of the count).
RunSample sampleOf(const RunCounters& counters, int64_t steps, double seconds);

// The CSV form of samples: a header line and one line per sample, without line ends.
const char* sampleCsvHeader();  // "steps,filled,peak,min_x,max_x,min_y,max_y,seconds"
std::string sampleCsvLine(const RunSample& sample);

class RunSamples {
public:
    static constexpr std::size_t DefaultMaximum = 100000;
    explicit RunSamples(std::size_t maximum = DefaultMaximum);

    // Adds a sample. A run taken back and going on again replaces what lay ahead of it: samples
    // at or past the new one's step go first.
    void record(const RunSample& sample);
    void clear();

    const std::vector<RunSample>& all() const { return samples_; }
    bool empty() const { return samples_.empty(); }
    std::size_t size() const { return samples_.size(); }
    const RunSample& last() const { return samples_.back(); }

    // Computing time at `steps`, read between the samples around it (the nearest outside them).
    double secondsAt(int64_t steps) const;

private:
    void thin();
    std::vector<RunSample> samples_;
    std::size_t maximum_;
    int64_t stride_ = 1;         // records per sample kept
    int64_t sinceKept_ = 0;      // records since the last one kept
    bool newestPassing_ = false; // the newest sample is replaced by the next record
};

}  // namespace qm
