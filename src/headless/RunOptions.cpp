#include "headless/RunOptions.h"

#include <cstring>

#include "definitions/NumberText.h"

namespace qmheadless {
namespace {

std::optional<qm::RunMode> modeNamed(const std::string& name) {
    for (qm::RunMode m : {qm::RunMode::Indexed15, qm::RunMode::Indexed255, qm::RunMode::Indexed65535,
                          qm::RunMode::BlackWhite, qm::RunMode::Generalized})
        if (name == qm::runModeName(m)) return m;
    return std::nullopt;
}

bool benchOnly(const std::string& arg) {
    for (const char* name : {"--baseline", "--repeat", "--gui", "--size", "--show", "--eye", "--eye-pairs", "--timeline", "--jumps", "--frames", "--gif-record",
                             "--chart", "--chart-pairs"})
        if (arg == name) return true;
    return false;
}

// Outputs that only a batch run writes.
bool batchOnly(const std::string& arg) {
    for (const char* name : {"--png", "--png-scale", "--rle", "--gif", "--gif-every", "--gif-scale", "--gif-delay",
                             "--trace", "--trace-every"})
        if (arg == name) return true;
    return false;
}

// Options that set up a fresh run: an opened world brings its own.
bool setsUpAFreshRun(const std::string& arg) {
    for (const char* name : {"--ants", "--mode", "--states", "--mem", "--continue"})
        if (arg == name) return true;
    return false;
}

}  // namespace

const char* benchUsage() {
    return "usage: quillmarch-bench [--ants FILE] [--mode indexed15|indexed255|indexed65535|bw|generalized]\n"
           "       [--states N] [--mem ITEM] [--continue] [--max-steps N] [--open-world FILE] [--save-world FILE]\n"
           "       [--baseline] [--repeat K] [--gui [--size 0|1|2|4|6|8] [--show 0|1|2|3] [--eye] [--repaints]]\n"
           "       [--eye-pairs ROUNDS] [--timeline [--jumps N]] [--frames] [--gui --gif-record FILE]\n"
           "       [--gui --chart] [--chart-pairs ROUNDS]";
}

const char* batchUsage() {
    return "Usage: quillmarch --batch [--ants FILE] [--mode indexed15|indexed255|indexed65535|bw|generalized]\n"
           "       [--states N] [--mem ITEM] [--continue] [--max-steps N] [--open-world FILE] [--save-world FILE]\n"
           "       [--png FILE [--png-scale S]] [--rle FILE] [--trace FILE|- [--trace-every N]]\n"
           "       [--gif FILE --gif-every N [--gif-scale S] [--gif-delay MS]]";
}

const char* batchOptionsHelp() {
    return "  --ants FILE          the list of ants, one per line (';' starts a comment);\n"
           "                       without it one ant 0,0,1 runs\n"
           "  --mode MODE          indexed15, indexed255 (default), indexed65535: each square\n"
           "                       remembers the ant that painted it; bw: any number of ants in\n"
           "                       black and white; generalized: ants with turn programs\n"
           "  --states N           states of a square for generalized ants, 2 to 64 (default 2)\n"
           "  --mem ITEM           the memory block of the fast grid, as the item 0 to 7 of the\n"
           "                       settings dialog's list (default 1)\n"
           "  --continue           beyond the memory block the run goes on in the sorted store\n"
           "  --max-steps N        stop after N steps (with --open-world: the run's total)\n"
           "  --open-world FILE    continue the world saved in FILE with its own settings\n"
           "  --save-world FILE    save the world as it stands after the run\n"
           "  --png FILE           write the whole painted area as one PNG picture\n"
           "  --png-scale S        one pixel for S x S squares (default: the smallest scale that\n"
           "                       keeps the picture within 16384 pixels a side)\n"
           "  --rle FILE           write the painted area as an extended RLE pattern\n"
           "  --trace FILE         write the run's samples as CSV ('-': standard output, after the\n"
           "                       result line): at every power of two of the steps and at the end\n"
           "  --trace-every N      a sample every N steps instead\n"
           "  --gif FILE           record the whole painted area as an animated GIF\n"
           "  --gif-every N        a frame every N steps (and at the start and the end)\n"
           "  --gif-scale S        S x S squares a pixel (default: the smallest that fits the final\n"
           "                       area within 1024 pixels)\n"
           "  --gif-delay MS       playback delay of a frame in milliseconds (default 50)\n";
}

std::optional<RunOptions> parseRunOptions(int argc, char** argv, std::string& error, OptionsFor program) {
    RunOptions o;
    std::string freshRunOption;
    bool statesGiven = false;
    bool gifDelayGiven = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (program == OptionsFor::Batch && benchOnly(arg)) {
            error = "unknown option: " + arg;
            return std::nullopt;
        }
        if (program == OptionsFor::Bench && batchOnly(arg)) {
            error = "unknown option: " + arg;
            return std::nullopt;
        }
        if (setsUpAFreshRun(arg)) freshRunOption = arg;
        auto value = [&]() -> std::optional<std::string> {
            if (i + 1 >= argc) {
                error = "missing value for " + arg;
                return std::nullopt;
            }
            return std::string(argv[++i]);
        };
        auto number = [&](int64_t lo, int64_t hi) -> std::optional<int64_t> {
            auto v = value();
            if (!v) return std::nullopt;
            int64_t n = 0;
            if (!qm::textToInt64(*v, n) || n < lo || n > hi) {
                error = "bad value for " + arg + ": " + *v;
                return std::nullopt;
            }
            return n;
        };
        if (arg == "--help") {
            o.help = true;
            return o;
        }
        if (arg == "--ants") {
            auto v = value();
            if (!v) return std::nullopt;
            o.antsFile = *v;
        } else if (arg == "--mode") {
            auto v = value();
            if (!v) return std::nullopt;
            auto m = modeNamed(*v);
            if (!m) {
                error = "unknown mode: " + *v;
                return std::nullopt;
            }
            o.mode = *m;
        } else if (arg == "--states") {
            auto n = number(2, 64);
            if (!n) return std::nullopt;
            o.states = static_cast<int32_t>(*n);
            statesGiven = true;
        } else if (arg == "--mem") {
            auto n = number(0, 7);
            if (!n) return std::nullopt;
            o.memoryItem = static_cast<int>(*n);
        } else if (arg == "--continue") {
            o.continueCompute = true;
        } else if (arg == "--max-steps") {
            auto n = number(0, INT64_MAX);
            if (!n) return std::nullopt;
            o.maxSteps = *n;
        } else if (arg == "--open-world" || arg == "--save-world") {
            auto v = value();
            if (!v) return std::nullopt;
            (arg == "--open-world" ? o.openWorld : o.saveWorld) = *v;
        } else if (arg == "--gif-record") {
            const auto v = value();
            if (!v) return std::nullopt;
            o.gifRecordFile = *v;
        } else if (arg == "--png" || arg == "--rle" || arg == "--gif") {
            auto v = value();
            if (!v) return std::nullopt;
            if (v->empty()) {
                error = "empty file name for " + arg;
                return std::nullopt;
            }
            (arg == "--png" ? o.pngFile : arg == "--rle" ? o.rleFile : o.gifFile) = *v;
        } else if (arg == "--gif-every") {
            auto n = number(1, INT64_MAX);
            if (!n) return std::nullopt;
            o.gifEvery = *n;
        } else if (arg == "--gif-scale") {
            auto n = number(1, INT32_MAX);
            if (!n) return std::nullopt;
            o.gifScale = static_cast<int32_t>(*n);
        } else if (arg == "--gif-delay") {
            auto n = number(0, 655350);
            if (!n) return std::nullopt;
            o.gifDelayMs = static_cast<int32_t>(*n);
            gifDelayGiven = true;
        } else if (arg == "--trace") {
            auto v = value();
            if (!v) return std::nullopt;
            if (v->empty()) {
                error = "empty file name for " + arg;
                return std::nullopt;
            }
            o.traceFile = *v;
        } else if (arg == "--trace-every") {
            auto n = number(1, INT64_MAX);
            if (!n) return std::nullopt;
            o.traceEvery = *n;
        } else if (arg == "--png-scale") {
            auto n = number(1, INT32_MAX);
            if (!n) return std::nullopt;
            o.pngScale = static_cast<int32_t>(*n);
        } else if (arg == "--baseline") {
            o.baseline = true;
        } else if (arg == "--repeat") {
            auto n = number(1, 1000000);
            if (!n) return std::nullopt;
            o.repeat = static_cast<int>(*n);
        } else if (arg == "--gui") {
            o.gui = true;
        } else if (arg == "--size") {
            auto v = value();
            if (!v) return std::nullopt;
            const char* sizes[] = {"0", "1", "2", "4", "6", "8"};
            int found = -1;
            for (int k = 0; k < 6; ++k)
                if (*v == sizes[k]) found = k;
            if (found < 0) {
                error = "bad value for --size: " + *v;
                return std::nullopt;
            }
            o.squareSizeItem = found;
        } else if (arg == "--show") {
            auto n = number(0, 3);
            if (!n) return std::nullopt;
            o.showItem = static_cast<int>(*n);
        } else if (arg == "--eye") {
            o.eye = true;
        } else if (arg == "--repaints") {
            o.repaints = true;
            o.gui = true;
        } else if (arg == "--timeline") {
            o.timeline = true;
        } else if (arg == "--frames") {
            o.timeline = true;
            o.framesOnly = true;
        } else if (arg == "--jumps") {
            auto n = number(1, 1000000);
            if (!n) return std::nullopt;
            o.jumps = static_cast<int>(*n);
            o.timeline = true;
        } else if (arg == "--chart") {
            o.chart = true;
            o.gui = true;
        } else if (arg == "--chart-pairs") {
            auto n = number(1, 100000);
            if (!n) return std::nullopt;
            o.chartPairs = static_cast<int>(*n);
            o.gui = true;
        } else if (arg == "--eye-pairs") {
            auto n = number(1, 100000);
            if (!n) return std::nullopt;
            o.eyePairs = static_cast<int>(*n);
            o.gui = true;
        } else {
            error = "unknown option: " + arg;
            return std::nullopt;
        }
    }
    if (!o.openWorld.empty() && !freshRunOption.empty()) {
        error = freshRunOption + " cannot be used with --open-world: the world brings its own";
        return std::nullopt;
    }
    if (statesGiven && o.mode != qm::RunMode::Generalized) {
        error = "--states needs --mode generalized";
        return std::nullopt;
    }
    if (o.pngScale != 0 && o.pngFile.empty()) {
        error = "--png-scale needs --png";
        return std::nullopt;
    }
    if (!o.gifFile.empty() && o.gifEvery == 0) {
        error = "--gif needs --gif-every";
        return std::nullopt;
    }
    if (o.gifFile.empty() && (o.gifEvery != 0 || o.gifScale != 0 || gifDelayGiven)) {
        error = "--gif-every, --gif-scale and --gif-delay need --gif";
        return std::nullopt;
    }
    if (o.traceEvery != 0 && o.traceFile.empty()) {
        error = "--trace-every needs --trace";
        return std::nullopt;
    }
    return o;
}

}  // namespace qmheadless
