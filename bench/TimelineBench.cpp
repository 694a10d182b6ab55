#include "TimelineBench.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>

#include "headless/HeadlessRun.h"
#include "core/Timeline.h"
#include "core/MemoryBudget.h"

namespace qmbench {

using namespace qmheadless;

namespace {

using Clock = std::chrono::steady_clock;

// Frames as often as the window has them.
class FramePump final : public qm::EventPump {
public:
    void processEvents() override {}
    bool frameDue() override {
        const Clock::time_point now = Clock::now();
        if (now - last_ < std::chrono::milliseconds(qm::FramePeriodMilliseconds)) return false;
        last_ = now;
        return true;
    }

private:
    Clock::time_point last_ = Clock::now();
};

struct Recorder {
    qm::Timeline* timeline;
    const qm::World* world;
    Clock::time_point start;
    double before = 0.0;  // the computing time the world had at the start (an opened world's)
    double spent = 0.0;   // seconds inside the recording
    static void stepEnd(void* self) {
        auto& r = *static_cast<Recorder*>(self);
        const Clock::time_point now = Clock::now();
        r.timeline->atStepEnd(*r.world, r.before + std::chrono::duration<double>(now - r.start).count());
        r.spent += std::chrono::duration<double>(Clock::now() - now).count();
    }
};

}  // namespace

qmheadless::RunReport runWithTimeline(const qmheadless::RunOptions& o) {
    StderrMessages messages;
    FramePump pump;
    HeadlessSession session(messages, pump);
    qm::World& w = session.world;
    if (!session.prepare(o)) {
        RunReport r = reportOf(w, 0.0);
        r.stop = qm::StopReason::Error;
        return r;
    }
    if (o.framesOnly) return session.run();
    qm::Timeline timeline(
        qm::checkpointBudgetBytes(session.document.settings.memoryItem, session.document.settings.continueCompute,
                                  qm::queryMemoryStatus().available));
    timeline.start(w, w.counters.elapsedDays * 86400.0, o.openWorld.empty());
    Recorder recorder{&timeline, &w, Clock::now(), w.counters.elapsedDays * 86400.0};
    w.hooks.step = &Recorder::stepEnd;
    w.hooks.context = &recorder;
    const RunReport report = session.run();
    timeline.atStop(w, w.counters.elapsedDays * 86400.0);
    std::fprintf(stderr, "recording_share=%.4f (%.3f s of %.3f s) checkpoints=%zu\n",
                 report.seconds > 0 ? recorder.spent / report.seconds : 0.0, recorder.spent, report.seconds,
                 timeline.checkpoints().all().size());
    std::fprintf(stderr, "checkpoints at (s):");
    for (const qm::Checkpoint& c : timeline.checkpoints().all()) std::fprintf(stderr, " %.2f", c.seconds);
    std::fprintf(stderr, "\n");
    if (o.jumps <= 0) return report;
    const Clock::time_point takeStart = Clock::now();
    qm::ChunkBits every = qm::everyChunk(w.grid);
    timeline.checkpoints().take(w, qm::WorldPoint::of(w), w.counters.elapsedDays * 86400.0, every, 0);
    const qm::Checkpoint& last = timeline.checkpoints().all().back();
    std::printf("checkpoint_at_end_s=%.3f bytes=%llu\n", std::chrono::duration<double>(Clock::now() - takeStart).count(),
                static_cast<unsigned long long>(last.bytes.size() + qm::gridLinesBytes(last.grid)));

    std::mt19937_64 random(12345);
    const int64_t end = w.counters.stepCount;
    double slowest = 0.0, total = 0.0;
    int64_t slowestTo = 0;
    for (int i = 0; i < o.jumps; ++i) {
        const int64_t to = static_cast<int64_t>(random() % static_cast<uint64_t>(end + 1));
        const Clock::time_point start = Clock::now();
        const qm::JumpResult jump = timeline.goTo(w, to);
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        if (!jump.reached) std::fprintf(stderr, "jump to %lld not reached: %s\n", static_cast<long long>(to),
                                        jump.message.c_str());
        total += seconds;
        if (seconds > slowest) {
            slowest = seconds;
            slowestTo = to;
        }
    }
    std::printf("jumps=%d max_s=%.3f (to %lld) mean_s=%.3f samples=%zu checkpoints=%zu checkpoint_bytes=%llu "
                "checkpoint_s=%.3f\n",
                o.jumps, slowest, static_cast<long long>(slowestTo), total / o.jumps, timeline.samples().size(),
                timeline.checkpoints().all().size(),
                static_cast<unsigned long long>(timeline.checkpoints().bytes()), timeline.checkpoints().spentSeconds());
    return report;
}

}  // namespace qmbench
