#pragma once
// "--trace": the batch run's samples. The run goes in pieces that stop exactly at the steps
// sampled (every N steps, or every power of two), and each stop gives one CSV line.

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

#include "headless/HeadlessRun.h"
#include "headless/RunReport.h"

namespace qmheadless {

// The first step after `steps` that gets a line: the next multiple of `every`, or with `every`
// 0 the next power of two.
int64_t nextTraceStep(int64_t steps, int64_t every);

// Where the lines go: a file as they come, or (for "-") held until the result line is out.
class TraceOutput {
public:
    // False with the reason when the file cannot be created.
    bool open(const std::string& path, std::string& reason);
    void line(const std::string& text);
    // Finishes the file, or writes the held lines to standard output; false when writing failed.
    bool finish();
    ~TraceOutput();

private:
    std::FILE* file_ = nullptr;
    bool toStandardOutput_ = false;
    bool failed_ = false;
    std::string held_;
};

// Runs the session as HeadlessSession::run does, with a header line, a line at every step sampled
// and one at the end. With `frameEvery`, the run also pauses at every multiple of it for `frame`
// (an animation's frames), as HeadlessSession::run does.
RunReport runTraced(HeadlessSession& session, TraceOutput& out, int64_t every, int64_t frameEvery = 0,
                    const std::function<void()>& frame = {});

}  // namespace qmheadless
