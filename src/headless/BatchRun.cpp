#include "headless/BatchRun.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>

#include "headless/GifBatch.h"
#include "headless/HeadlessRun.h"
#include "headless/TraceRun.h"
#include "core/RleWriter.h"

namespace qmheadless {
namespace {

using Clock = std::chrono::steady_clock;

// Progress once a second on a terminal: the loop asks for a frame, and the step hook that a
// frame brings prints steps, steps per second and filled squares. Never when not a terminal.
class ProgressPump final : public qm::EventPump {
public:
    explicit ProgressPump(bool terminal) : terminal_(terminal) {}
    void processEvents() override {}
    bool frameDue() override {
        if (!terminal_) return false;
        const Clock::time_point now = Clock::now();
        if (now - last_ < std::chrono::seconds(1)) return false;
        last_ = now;
        return true;
    }

private:
    bool terminal_;
    Clock::time_point last_ = Clock::now();
};

struct Progress {
    const qm::World* world = nullptr;
    int64_t lastSteps = 0;
    Clock::time_point lastTime = Clock::now();
    bool shown = false;

    static void show(void* self) {
        auto& p = *static_cast<Progress*>(self);
        const Clock::time_point now = Clock::now();
        // A run paused for frames starts its loop again, and each start brings a step hook.
        if (p.shown && now - p.lastTime < std::chrono::milliseconds(500)) return;
        const double seconds = std::chrono::duration<double>(now - p.lastTime).count();
        const int64_t steps = p.world->counters.stepCount;
        const double rate = seconds > 0.0 ? static_cast<double>(steps - p.lastSteps) / seconds : 0.0;
        std::fprintf(stderr, "\rsteps=%lld steps_per_s=%.0f filled=%lld   ", static_cast<long long>(steps), rate,
                     static_cast<long long>(p.world->counters.filled));
        std::fflush(stderr);
        p.lastSteps = steps;
        p.lastTime = now;
        p.shown = true;
    }
};

bool failed(qm::StopReason stop) {
    return stop == qm::StopReason::InvalidStart || stop == qm::StopReason::CannotSet || stop == qm::StopReason::Error;
}

void reportNotWritten(const char* what, const std::string& path, const std::string& reason) {
    std::fprintf(stderr, "quillmarch --batch: the %s could not be written to %s (%s)\n", what, path.c_str(),
                 reason.c_str());
}

// The picture and the pattern of the world as it stands, each when asked for; false when one
// could not be written (reported on standard error).
bool writeOutputs(const RunOptions& options, const HeadlessSession& session, const PngWriter& writePng) {
    bool written = true;
    if (!options.pngFile.empty()) {
        const std::string reason = writePng(session.world, session.document, options.pngFile, options.pngScale);
        if (!reason.empty()) {
            reportNotWritten("picture", options.pngFile, reason);
            written = false;
        }
    }
    if (!options.rleFile.empty()) {
        const std::string reason = qm::writeRle(session.world, options.rleFile);
        if (!reason.empty()) {
            reportNotWritten("pattern", options.rleFile, reason);
            written = false;
        }
    }
    return written;
}

}  // namespace

int runBatch(int argc, char** argv, const PngWriter& writePng) {
    std::string error;
    const std::optional<RunOptions> options = parseRunOptions(argc, argv, error, OptionsFor::Batch);
    if (!options) {
        std::fprintf(stderr, "quillmarch --batch: %s\n", error.c_str());
        return 2;
    }
    if (options->help) {
        std::printf("%s\n\nOptions:\n%s", batchUsage(), batchOptionsHelp());
        return 0;
    }
    if (!options->pngFile.empty() && !writePng) {
        std::fprintf(stderr, "quillmarch --batch: --png is not available in this program\n");
        return 2;
    }
    // Every frame of an animation has the size of the final area, which a first run finds.
    const std::optional<qm::SquareBox> gifArea =
        options->gifFile.empty() ? std::nullopt : finalPaintedArea(*options);
    StderrMessages messages;
    ProgressPump pump(isatty(STDERR_FILENO) == 1);
    HeadlessSession session(messages, pump);
    if (!session.prepare(*options)) return 2;
    std::unique_ptr<GifBatch> gif;
    if (gifArea) {
        gif = std::make_unique<GifBatch>(*options, *gifArea, session.world, session.document);
        gif->frame();
    }

    Progress progress;
    progress.world = &session.world;
    progress.lastSteps = session.world.counters.stepCount;
    session.world.hooks.step = &Progress::show;
    session.world.hooks.context = &progress;
    TraceOutput trace;
    std::string traceReason;
    if (!options->traceFile.empty() && !trace.open(options->traceFile, traceReason)) {
        reportNotWritten("trace", options->traceFile, traceReason);
        return 1;
    }
    const int64_t frameEvery = gif ? options->gifEvery : 0;
    const std::function<void()> frame = [&] { if (gif) gif->frame(); };
    const RunReport report = !options->traceFile.empty() ? runTraced(session, trace, options->traceEvery, frameEvery, frame)
                             : gif                       ? session.run(frameEvery, frame)
                                                         : session.run();
    if (progress.shown) std::fprintf(stderr, "\n");

    const bool saved = options->saveWorld.empty() || session.save(options->saveWorld);
    bool written = writeOutputs(*options, session, writePng);
    if (gif) {
        const std::string reason = gif->finish();
        if (!reason.empty()) {
            reportNotWritten("animation", options->gifFile, reason);
            written = false;
        }
    }
    std::printf("%s\n", formatReport(report).c_str());
    std::fflush(stdout);
    if (!options->traceFile.empty() && !trace.finish()) {
        reportNotWritten("trace", options->traceFile, "cannot write the file");
        written = false;
    }
    return failed(report.stop) || !saved || !written ? 1 : 0;
}

}  // namespace qmheadless
