// What recording every displayed frame costs a run: the 1000-ant workload runs with a frame due
// as often as in the window, and at each frame a picture of the main view's size as it opens
// (596 x 441 pixels, two pixels per square) is drawn; then also encoded on the run's thread, and
// then encoded on a thread of its own. Prints the moves per second of each and the encoding time.
// Usage: quillmarch-gif-bench [ANTS_FILE] [STEPS] [OUT_DIR]

#include <algorithm>
#include <chrono>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "headless/HeadlessRun.h"
#include "core/GifAnimation.h"
#include "core/GifEncoderThread.h"
#include "core/WholePicture.h"
#include "display/Colours.h"

namespace {

using Clock = std::chrono::steady_clock;

// Processor time of the calling thread: on a busy machine the wall clock also counts other
// programs, and a caller waiting for the encoder spends none.
double threadSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}
constexpr int32_t Width = 596, Height = 441, SquarePixels = 2;

class FramePump final : public qm::EventPump {
public:
    void processEvents() override {}
    bool frameDue() override {
        if (Clock::now() - last_ < std::chrono::milliseconds(qm::FramePeriodMilliseconds)) return false;
        last_ = Clock::now();
        return true;
    }

private:
    Clock::time_point last_ = Clock::now();
};

enum class Encoding { None, OnRunThread, Beside };

struct Outcome {
    double movesPerSecond = 0;
    int64_t frames = 0;
    double medianFrameMs = 0;
    double medianFrameCpuMs = 0;
};

struct Recording {
    qm::World* world = nullptr;
    Encoding encoding = Encoding::None;
    std::vector<uint32_t> view = std::vector<uint32_t>(static_cast<std::size_t>(Width) * Height);
    qm::GifAnimation gif;
    qm::GifEncoderThread beside;
    std::vector<double> frameSeconds, frameCpuSeconds;

    static void frame(void* self) {
        auto& r = *static_cast<Recording*>(self);
        const qm::SquareBox shown{-Width / 4, -Width / 4 + Width / SquarePixels - 1, -Height / 4,
                                  -Height / 4 + (Height + 1) / SquarePixels - 1};
        qm::Picture picture;
        qm::renderWholePicture(*r.world, {qm::DefaultViewBackground, nullptr}, shown, 1, picture);
        for (int32_t y = 0; y < Height; ++y)
            for (int32_t x = 0; x < Width; ++x)
                r.view[static_cast<std::size_t>(y) * Width + x] =
                    qm::toArgb(picture.colourAt(x / SquarePixels, y / SquarePixels));
        const auto start = Clock::now();
        const double cpuStart = threadSeconds();
        if (r.encoding == Encoding::OnRunThread) r.gif.addArgb(r.view.data(), Width, Width, Height);
        if (r.encoding == Encoding::Beside) r.beside.addArgb(r.view.data(), Width, Width, Height);
        r.frameCpuSeconds.push_back(threadSeconds() - cpuStart);
        r.frameSeconds.push_back(std::chrono::duration<double>(Clock::now() - start).count());
    }
};

Outcome measure(const std::string& ants, int64_t steps, Encoding encoding, const std::string& path) {
    qmheadless::RunOptions options;
    options.antsFile = ants;
    options.mode = qm::RunMode::Indexed65535;
    options.maxSteps = steps;
    qmheadless::StderrMessages messages;
    FramePump pump;
    qmheadless::HeadlessSession session(messages, pump);
    if (!session.prepare(options)) std::exit(1);
    Recording recording;
    recording.world = &session.world;
    recording.encoding = encoding;
    const std::vector<uint32_t> colours = qm::pictureColours(session.world, {qm::DefaultViewBackground, nullptr});
    if (encoding == Encoding::OnRunThread) recording.gif.start(path, Width, Height, colours, 20);
    if (encoding == Encoding::Beside) recording.beside.start(path, Width, Height, colours, 20);
    session.world.hooks.step = &Recording::frame;
    session.world.hooks.context = &recording;
    const qmheadless::RunReport report = session.run();
    if (recording.gif.finish() == qm::GifError::None || recording.beside.finish() == qm::GifError::None)
        std::filesystem::remove(path);
    auto medianMs = [](std::vector<double>& v) {
        std::sort(v.begin(), v.end());
        return v.empty() ? 0.0 : v[v.size() / 2] * 1e3;
    };
    return Outcome{static_cast<double>(report.moves - report.movesBefore) / report.seconds,
                   static_cast<int64_t>(recording.frameSeconds.size()), medianMs(recording.frameSeconds),
                   medianMs(recording.frameCpuSeconds)};
}

}  // namespace

int main(int argc, char** argv) {
    const std::string ants = argc > 1 ? argv[1] : "bench/workloads/ants1000.txt";
    const int64_t steps = argc > 2 ? std::atoll(argv[2]) : 30000;
    const std::string path = std::string(argc > 3 ? argv[3] : "/tmp") + "/quillmarch-gif-bench.gif";
    const Outcome drawn = measure(ants, steps, Encoding::None, path);
    const Outcome encoded = measure(ants, steps, Encoding::OnRunThread, path);
    const Outcome beside = measure(ants, steps, Encoding::Beside, path);
    std::printf("view=%dx%d steps=%lld drawn_moves_per_s=%.0f frames=%lld\n", Width, Height,
                static_cast<long long>(steps), drawn.movesPerSecond, static_cast<long long>(drawn.frames));
    std::printf("encoded_moves_per_s=%.0f ratio=%.3f frames=%lld encode_median_ms=%.3f encode_cpu_median_ms=%.3f\n",
                encoded.movesPerSecond, encoded.movesPerSecond / drawn.movesPerSecond,
                static_cast<long long>(encoded.frames), encoded.medianFrameMs, encoded.medianFrameCpuMs);
    std::printf("beside_moves_per_s=%.0f ratio=%.3f frames=%lld caller_median_ms=%.3f caller_cpu_median_ms=%.3f\n",
                beside.movesPerSecond, beside.movesPerSecond / drawn.movesPerSecond,
                static_cast<long long>(beside.frames), beside.medianFrameMs, beside.medianFrameCpuMs);
    return 0;
}
