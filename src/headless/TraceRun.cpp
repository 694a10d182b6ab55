#include "headless/TraceRun.h"

#include <algorithm>
#include <bit>
#include <chrono>

#include "core/RunContinue.h"
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
    const int64_t userMaxSteps = w.limits.userMaxSteps;
    double seconds = 0.0;
    int64_t lastLine = -1;
    for (;;) {
        const int64_t traceStep = nextTraceStep(w.counters.stepCount, every);
        const int64_t frameStep = frameEvery > 0 ? nextTraceStep(w.counters.stepCount, frameEvery) : INT64_MAX;
        const int64_t next = std::min(traceStep, frameStep);
        w.limits.userMaxSteps = std::min(next, userMaxSteps);
        w.idle = 0;
        const auto start = std::chrono::steady_clock::now();
        qm::runStepLoop(w);
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        w.idle = 1;
        const bool stoppedThere = w.lastStop == qm::StopReason::MaxSteps && w.resumeAnt == 0;
        if (stoppedThere && w.counters.stepCount == traceStep) {
            sample(seconds);
            lastLine = traceStep;
        }
        if (stoppedThere && w.counters.stepCount == frameStep && frameStep < userMaxSteps) frame();
        if (!stoppedThere || w.counters.stepCount >= userMaxSteps) break;
    }
    w.limits.userMaxSteps = userMaxSteps;
    // The end, unless it was just sampled.
    if (!(w.lastStop == qm::StopReason::MaxSteps && w.resumeAnt == 0 && lastLine == w.counters.stepCount))
        sample(seconds);
    w.counters.elapsedDays += seconds / 86400.0;
    RunReport r = reportOf(w, seconds);
    r.movesBefore = movesBefore;
    return r;
}

}  // namespace qmheadless
