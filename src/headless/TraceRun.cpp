#include "headless/TraceRun.h"

#include <algorithm>
#include <bit>

#include "core/RunContinue.h"
#include "core/RunPausePoints.h"
#include "core/RunSamples.h"
#include "core/StepLoops.h"

namespace qmheadless {

int64_t nextTraceStep(int64_t steps, int64_t every) {
    if (steps < 0) return every > 0 ? every : 1;
    if (every > 0) return steps > INT64_MAX - every ? INT64_MAX : (steps / every + 1) * every;
    if (steps >= (int64_t{1} << 62)) return INT64_MAX;
    if (steps == 0) return 1;
    return static_cast<int64_t>(std::bit_floor(static_cast<uint64_t>(steps))) * 2;
}

bool TraceOutput::open(const std::string& path, std::string& reason) {
    if (path == "-") {
        toStandardOutput_ = true;
        return true;
    }
    file_ = std::fopen(path.c_str(), "w");
    if (!file_) reason = "cannot write the file";
    return file_ != nullptr;
}

void TraceOutput::line(const std::string& text) {
    if (toStandardOutput_) {
        held_ += text;
        held_ += '\n';
    } else if (file_ && std::fprintf(file_, "%s\n", text.c_str()) < 0) {
        failed_ = true;
    }
}

bool TraceOutput::finish() {
    if (toStandardOutput_) {
        std::fwrite(held_.data(), 1, held_.size(), stdout);
        std::fflush(stdout);
        held_.clear();
        return true;
    }
    if (!file_) return false;
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    return closed && !failed_;
}

TraceOutput::~TraceOutput() {
    if (file_) std::fclose(file_);
}

RunReport runTraced(HeadlessSession& session, TraceOutput& out, int64_t every, int64_t frameEvery,
                    const std::function<void()>& frame) {
    qm::World& w = session.world;
    out.line(qm::sampleCsvHeader());
    const double secondsBefore = w.counters.elapsedDays * 86400.0;
    auto sample = [&](double seconds) {
        out.line(qm::sampleCsvLine(qm::sampleOf(w.counters, w.counters.stepCount, secondsBefore + seconds)));
    };
    if (!session.fresh() && !qm::canContinue(w)) {
        RunReport r = session.run();
        sample(0.0);
        return r;
    }
    const int64_t movesBefore = session.fresh() ? 0 : movesOf(w);
    // Pauses at every trace line and every frame; the lines and frames fall on the steps they
    // were asked for, since a pause stops the loop at a step's end.
    auto isTraceStep = [every](int64_t steps) { return nextTraceStep(steps - 1, every) == steps; };
    qm::RunPausePoints pauses;
    pauses.request(
        w,
        [&](int64_t steps) {
            const int64_t frameStep = frameEvery > 0 ? nextTraceStep(steps, frameEvery) : INT64_MAX;
            return std::min(nextTraceStep(steps, every), frameStep);
        },
        [&] {
            const int64_t steps = w.counters.stepCount;
            if (isTraceStep(steps)) sample(pauses.secondsSoFar());
            if (frameEvery > 0 && steps % frameEvery == 0) frame();
        });
    w.idle = 0;
    const double seconds = pauses.run(w);
    w.idle = 1;
    // The end, unless its step was just sampled at a pause (a pause is never the end).
    sample(seconds);
    w.counters.elapsedDays += seconds / 86400.0;
    RunReport r = reportOf(w, seconds);
    r.movesBefore = movesBefore;
    return r;
}

}  // namespace qmheadless
