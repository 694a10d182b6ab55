// The batch run: the benchmark's options and result line, worlds saved and continued, the exit
// status and silence of a run that cannot start, and the samples of a run (--trace).

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "GifFrames.h"
#include "headless/BatchRun.h"
#include "headless/HeadlessRun.h"
#include "headless/RunOptions.h"
#include "RleDecoder.h"
#include "TempDir.h"
#include "TestSupport.h"
#include "WorldSquares.h"
#include "core/ByteStream.h"
#include "core/PaintedArea.h"
#include "core/WorldFile.h"
#include "core/WholePicture.h"
#include "display/Colours.h"
#include "core/RunSamples.h"

using qmtest::linesOf;
using qmtest::TempDir;

namespace {

struct BatchResult {
    int status;
    std::string out;
    std::string err;
};

BatchResult batch(std::vector<std::string> args, const qmheadless::PngWriter& writePng = {}) {
    args.insert(args.begin(), "--batch");
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    const int status = qmheadless::runBatch(static_cast<int>(argv.size()), argv.data(), writePng);
    BatchResult r{status, ::testing::internal::GetCapturedStdout(), ::testing::internal::GetCapturedStderr()};
    return r;
}

// Three states for a generalized run; the other modes have none to set.
std::vector<std::string> withStates(std::vector<std::string> args, const std::string& mode) {
    if (mode == "generalized") args.insert(args.end(), {"--states", "3"});
    return args;
}

// The result line without its timing fields, which differ from run to run.
std::string withoutTiming(const std::string& line) { return line.substr(0, line.find(" seconds=")); }

std::string fileText(const std::string& path) {
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

using PatternSquares = std::map<std::pair<int64_t, int64_t>, uint32_t>;

// What the pattern of the world must hold: every painted square, as state 1 (indexed and
// black-and-white) or as its state (generalized, state 0 left out).
PatternSquares patternSquaresOf(const qm::World& w) {
    PatternSquares squares;
    auto add = [&](int32_t x, int32_t y, uint32_t cellValue) {
        if (w.generalized && cellValue == 1) return;
        squares[{x, y}] = w.generalized ? cellValue - 1 : 1u;
    };
    for (const auto& [square, value] : qmtest::gridSquares(w))
        add(square.first, square.second, w.generalized ? value : 2u);
    qm::forEachStoredSquare(w, add);
    return squares;
}

// Stands in for the program's PNG writer: notes what it was asked for and what the world held.
struct PngRequest {
    int calls = 0;
    std::string path;
    int32_t scale = -1;
    qm::SquareBox area;
    PatternSquares squares;
    std::string reason;  // what the writer answers

    qmheadless::PngWriter writer() {
        return [this](const qm::World& w, const qm::WorldDocument&, const std::string& p, int32_t s) {
            ++calls;
            path = p;
            scale = s;
            area = qm::paintedArea(w);
            squares = patternSquaresOf(w);
            return reason;
        };
    }
};

// A saved world read back on its own: every square with what it holds, and where each ant stands.
struct ReadBack {
    qmtest::Squares squares;
    std::vector<std::pair<int32_t, int32_t>> ants;
    std::string error;
};
ReadBack readBack(const std::string& path) {
    ReadBack r;
    qm::World w;
    const auto loaded = qm::readWorldFile(path, w, r.error);
    if (!loaded) return r;
    qm::installWorld(w, *loaded);
    EXPECT_TRUE(qmtest::allSquares(w, r.squares));
    for (int32_t i = 0; i < w.counters.antCount; ++i) r.ants.emplace_back(w.antPos[i].x, w.antPos[i].y);
    return r;
}

}  // namespace

// Files written while indexed grids held the ant index itself, all ones when empty, open as the
// runs they held: continued, they end as a fresh run does, square by square.
TEST(BatchRun, WorldsOfTheFirstGridEncodingOpenAndGoOnAsAFreshRun) {
    TempDir dir;
    const std::string worlds = QM_TEST_WORLDS_DIR;
    for (const std::string mode : {"indexed15", "indexed255", "indexed65535"}) {
        SCOPED_TRACE(mode);
        const std::string fresh = dir.pathOf(mode + "-fresh.qmw");
        const std::string continued = dir.pathOf(mode + "-continued.qmw");
        const BatchResult whole = batch({"--ants", worlds + "/ants15.txt", "--mode", mode, "--mem", "0",
                                         "--max-steps", "4000", "--save-world", fresh});
        ASSERT_EQ(whole.status, 0) << whole.err;
        const BatchResult rest = batch({"--open-world", worlds + "/" + mode + "-first-encoding.qmw", "--max-steps",
                                        "4000", "--save-world", continued});
        ASSERT_EQ(rest.status, 0) << rest.err;
        EXPECT_EQ(withoutTiming(rest.out), withoutTiming(whole.out));
        const ReadBack expected = readBack(fresh);
        const ReadBack actual = readBack(continued);
        ASSERT_EQ(expected.error, "");
        ASSERT_EQ(actual.error, "");
        EXPECT_GT(expected.squares.size(), 1000u);
        EXPECT_TRUE(expected.squares == actual.squares);
        EXPECT_EQ(expected.ants, actual.ants);
        EXPECT_TRUE(std::any_of(actual.squares.begin(), actual.squares.end(),
                                [](const auto& square) { return square.second == 14; }))
            << "the largest ant number of the 15-ant mode holds squares";
    }
}

TEST(BatchRun, SavedAndContinuedInTwoRunsPrintsTheLineOfOneRun) {
    TempDir dir;
    const std::string ants = dir.write("ants.txt", "0,0,1\n3,-2,2\n-4,1,RB\n");
    const std::string world = dir.pathOf("half.qmw");
    for (const char* mode : {"indexed15", "bw", "generalized"}) {
        SCOPED_TRACE(mode);
        const BatchResult whole = batch(withStates({"--ants", ants, "--mode", mode, "--max-steps", "6000"}, mode));
        ASSERT_EQ(whole.status, 0) << whole.err;
        EXPECT_EQ(whole.out.rfind(std::string("mode=") + mode + " ants=3 steps=6000 moves=18000 ", 0), 0u) << whole.out;
        const BatchResult first =
            batch(withStates({"--ants", ants, "--mode", mode, "--max-steps", "2500", "--save-world", world}, mode));
        ASSERT_EQ(first.status, 0) << first.err;
        const BatchResult rest = batch({"--open-world", world, "--max-steps", "6000"});
        ASSERT_EQ(rest.status, 0) << rest.err;
        EXPECT_EQ(withoutTiming(rest.out), withoutTiming(whole.out));
        EXPECT_TRUE(rest.err.empty()) << "no progress when standard error is not a terminal: " << rest.err;
    }
}

TEST(BatchRun, BadOptionsOrInputGiveOneLineStatusTwoAndWriteNothing) {
    TempDir dir;
    const std::string world = dir.pathOf("never.qmw");
    const std::string notAWorld = dir.write("ants.txt", "0,0,1\n");
    const std::vector<std::vector<std::string>> bad = {
        {"--mode", "hexagonal", "--save-world", world},
        {"--repeat", "3", "--save-world", world},
        {"--max-steps", "--save-world", world},
        {"--ants", dir.pathOf("missing.txt"), "--save-world", world},
        {"--open-world", notAWorld, "--save-world", world},
        {"--open-world", notAWorld, "--ants", notAWorld, "--save-world", world},
        {"--max-steps", "-1", "--save-world", world},
        {"--states", "3", "--save-world", world},  // only generalized runs have states
        {"--open-world", dir.pathOf(""), "--save-world", world},
    };
    for (const auto& args : bad) {
        const BatchResult r = batch(args);
        EXPECT_EQ(r.status, 2) << args[0];
        EXPECT_TRUE(r.out.empty()) << r.out;
        ASSERT_FALSE(r.err.empty()) << args[0];
        EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << "one line: " << r.err;
        EXPECT_FALSE(std::filesystem::exists(world));
    }
    EXPECT_EQ(batch({"--open-world", notAWorld}).err,
              "ERROR: Cannot open world file " + notAWorld + ": it is not a world file\n");
    EXPECT_EQ(batch({"--open-world", dir.pathOf("")}).err,
              "ERROR: Cannot open world file " + dir.pathOf("") + ": it is not a regular file\n");
    const BatchResult help = batch({"--mode", "bw", "--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("Usage: quillmarch --batch", 0), 0u) << help.out;
}

TEST(BatchRun, ALimitEndsWithStatusZeroAndAWorldThatCannotGoOnIsReportedAsItStands) {
    TempDir dir;
    const std::string world = dir.pathOf("done.qmw");
    const BatchResult first = batch({"--max-steps", "700", "--save-world", world});
    ASSERT_EQ(first.status, 0);
    const BatchResult again = batch({"--open-world", world, "--max-steps", "500"});
    EXPECT_EQ(again.status, 0);
    EXPECT_EQ(withoutTiming(again.out), withoutTiming(first.out)) << "already beyond \"Max steps:\"";
    EXPECT_NE(again.out.find("moves_per_s=0"), std::string::npos);

    // Stored as broken off, but its filled-square maximum already reached: the limit is reported.
    std::string bytes = fileText(world);
    bytes[bytes.find("CNTR") + 12 + 60] = static_cast<char>(qm::StopReason::UserBreak);
    const int64_t filledMax = 1;
    std::memcpy(&bytes[bytes.find("SETT") + 12 + 34], &filledMax, 8);
    const uint32_t crc = qm::crc32(bytes.data(), bytes.size() - 4);
    std::memcpy(&bytes[bytes.size() - 4], &crc, 4);
    const BatchResult blocked = batch({"--open-world", dir.write("blocked.qmw", bytes), "--max-steps", "5000"});
    EXPECT_EQ(blocked.status, 0);
    EXPECT_NE(blocked.out.find(" stop=filled "), std::string::npos) << blocked.out;
}

TEST(BatchRun, PictureAndPatternShowTheWorldTheRunEndedWithAlsoWhenContinued) {
    TempDir dir;
    const std::string ants = dir.write("ants.txt", "0,0,1\n7,-5,2\n-6,3,RLL\n");
    const std::string world = dir.pathOf("part.qmw");
    for (const char* mode : {"indexed15", "indexed65535", "bw", "generalized"}) {
        SCOPED_TRACE(mode);
        const std::string whole = dir.pathOf(std::string(mode) + "-whole.rle");
        PngRequest png;
        const BatchResult r = batch(withStates({"--ants", ants, "--mode", mode, "--max-steps", "4000", "--png",
                                                dir.pathOf("run.png"), "--rle", whole},
                                               mode),
                                    png.writer());
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(png.calls, 1);
        EXPECT_EQ(png.path, dir.pathOf("run.png"));
        EXPECT_EQ(png.scale, 0) << "no --png-scale: the fitting scale";
        ASSERT_GT(png.squares.size(), 20u);

        qmtest::DecodedPattern pattern;
        const std::string text = fileText(whole);
        ASSERT_EQ(qmtest::decodeRle(text, pattern), "") << text;
        EXPECT_EQ(pattern.generation, 4000);
        EXPECT_EQ(pattern.left, png.area.minX);
        EXPECT_EQ(pattern.top, -int64_t{png.area.maxY});
        EXPECT_EQ(pattern.width, png.area.width());
        EXPECT_EQ(pattern.height, png.area.height());
        EXPECT_EQ(pattern.squares, png.squares);

        // Saved halfway, opened and continued: the same pattern, written after the world.
        ASSERT_EQ(batch(withStates({"--ants", ants, "--mode", mode, "--max-steps", "1500", "--save-world", world},
                                   mode)).status,
                  0);
        const std::string continued = dir.pathOf(std::string(mode) + "-continued.rle");
        const std::string resaved = dir.pathOf("resaved.qmw");
        PngRequest scaled;
        const BatchResult rest = batch({"--open-world", world, "--max-steps", "4000", "--save-world", resaved,
                                        "--rle", continued, "--png", dir.pathOf("c.png"), "--png-scale", "3"},
                                       scaled.writer());
        ASSERT_EQ(rest.status, 0) << rest.err;
        EXPECT_TRUE(std::filesystem::exists(resaved));
        EXPECT_EQ(fileText(continued), text);
        EXPECT_EQ(scaled.scale, 3);
        EXPECT_EQ(scaled.squares, png.squares);
    }
}

TEST(BatchRun, PictureOptionsWithoutAPictureOrAWriterAreBadOptions) {
    TempDir dir;
    const std::string png = dir.pathOf("p.png");
    const std::string rle = dir.pathOf("p.rle");
    PngRequest request;
    const std::vector<std::vector<std::string>> bad = {
        {"--png-scale", "2", "--rle", rle},
        {"--png", png, "--png-scale", "0", "--rle", rle},
        {"--png", png, "--png-scale", "-3", "--rle", rle},
        {"--png", png, "--png-scale", "x", "--rle", rle},
        {"--png", "", "--rle", rle},
        {"--rle", rle, "--png"},
        {"--rle", rle, "--mode", "hexagonal"},
        {"--rle", rle, "--gif", dir.pathOf("a.gif")},
        {"--rle", rle, "--gif", dir.pathOf("a.gif"), "--gif-every", "0"},
        {"--rle", rle, "--gif-every", "10"},
        {"--rle", rle, "--gif-scale", "2"},
        {"--rle", rle, "--gif-delay", "40"},
        {"--rle", rle, "--gif", dir.pathOf("a.gif"), "--gif-every", "10", "--gif-delay", "-1"},
    };
    for (const auto& args : bad) {
        const BatchResult r = batch(args, request.writer());
        EXPECT_EQ(r.status, 2) << args[0] << " " << args[1];
        EXPECT_TRUE(r.out.empty()) << r.out;
        EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << "one line: " << r.err;
    }
    const BatchResult noWriter = batch({"--png", png, "--rle", rle});
    EXPECT_EQ(noWriter.status, 2);
    EXPECT_NE(noWriter.err.find("--png"), std::string::npos) << noWriter.err;
    EXPECT_EQ(request.calls, 0);
    EXPECT_FALSE(std::filesystem::exists(rle));

    std::string error;
    const char* benchArgs[] = {"quillmarch-bench", "--rle", "x.rle"};
    EXPECT_FALSE(qmheadless::parseRunOptions(3, const_cast<char**>(benchArgs), error)) << "a batch output only";
}

TEST(BatchRun, AnOutputThatCannotBeWrittenNamesTheFileAndEndsWithStatusOne) {
    TempDir dir;
    const std::string missing = dir.pathOf("no-such-dir/p.rle");
    const BatchResult r = batch({"--max-steps", "300", "--rle", missing});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find(missing), std::string::npos) << r.err;
    EXPECT_EQ(r.out.rfind("mode=indexed255 ants=1 steps=300 ", 0), 0u) << "the run itself is reported: " << r.out;

    PngRequest refused;
    refused.reason = "the disk is full";
    const std::string rle = dir.pathOf("written.rle");
    const BatchResult p = batch({"--max-steps", "300", "--png", dir.pathOf("p.png"), "--rle", rle}, refused.writer());
    EXPECT_EQ(p.status, 1);
    EXPECT_NE(p.err.find(dir.pathOf("p.png")), std::string::npos) << p.err;
    EXPECT_NE(p.err.find("the disk is full"), std::string::npos) << p.err;
    EXPECT_TRUE(std::filesystem::exists(rle)) << "the pattern is still written";

    const std::string gif = dir.pathOf("no-such-dir/a.gif");
    const BatchResult g = batch({"--max-steps", "300", "--gif", gif, "--gif-every", "50"});
    EXPECT_EQ(g.status, 1);
    EXPECT_NE(g.err.find(gif + " (the file cannot be created)"), std::string::npos) << g.err;
}

namespace {

// A fresh run of `steps` steps in the batch's default settings.
std::unique_ptr<qmheadless::HeadlessSession> runOf(const std::string& mode, int64_t steps) {
    static qmheadless::StderrMessages messages;
    static qmheadless::IdlePump pump;
    qmheadless::RunOptions options;
    options.mode = mode == "generalized" ? qm::RunMode::Generalized : qm::RunMode::Indexed255;
    options.maxSteps = steps;
    auto session = std::make_unique<qmheadless::HeadlessSession>(messages, pump);
    if (session->prepare(options)) session->run();
    return session;
}

// The area picture of that run over `area`, in the colours a new window shows it in.
std::vector<uint32_t> areaPictureAfter(const std::string& mode, int64_t steps, const qm::SquareBox& area,
                                       int32_t scale) {
    const auto session = runOf(mode, steps);
    qm::StateColourTable states{};
    qm::fillInitialStateColours(states, session->world.states);
    qm::rebuildStateColours(states, session->world.states, session->document.settings.spectrum + 1,
                            qm::DefaultViewBackground);
    qm::Picture picture;
    if (qm::renderWholePicture(session->world, {qm::DefaultViewBackground, &states}, area, scale, picture) !=
        qm::PictureError::None)
        return {};
    std::vector<uint32_t> colours;
    for (int32_t y = 0; y < picture.height; ++y)
        for (int32_t x = 0; x < picture.width; ++x) colours.push_back(picture.colourAt(x, y));
    return colours;
}

}  // namespace

TEST(BatchRun, AnAnimationShowsTheStartEveryNStepsAndTheEndOverTheFinalAreaAtOneReduction) {
    TempDir dir;
    for (const std::string mode : {"indexed255", "generalized"}) {
        SCOPED_TRACE(mode);
        const std::string gif = dir.pathOf(mode + ".gif");
        const BatchResult plain = batch({"--mode", mode, "--max-steps", "1050"});
        const BatchResult r = batch({"--mode", mode, "--max-steps", "1050", "--gif", gif, "--gif-every", "100",
                                     "--gif-scale", "2", "--gif-delay", "70"});
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_TRUE(r.err.empty()) << "a run paused for frames shows no progress off a terminal: " << r.err;
        EXPECT_EQ(withoutTiming(r.out), withoutTiming(plain.out)) << "frames do not change the run";
        const qmtest::DecodedGif d = qmtest::decodeGif(gif);
        ASSERT_TRUE(d.ok);
        ASSERT_EQ(d.frames.size(), 12u) << "steps 0, 100, ..., 1000 and the end at 1050";
        EXPECT_EQ(d.delaysCs.front(), 7);
        const qm::SquareBox area = qm::paintedArea(runOf(mode, 1050)->world);
        EXPECT_EQ(d.width, (area.width() + 1) / 2);
        EXPECT_EQ(d.height, (area.height() + 1) / 2);
        for (std::size_t k = 0; k < d.frames.size(); ++k)
            EXPECT_EQ(d.frames[k], areaPictureAfter(mode, std::min<int64_t>(100 * int64_t(k), 1050), area, 2))
                << "frame " << k;
    }
}

TEST(BatchRun, WritersReplaceWhatALinkPointsToKeepItsModeAndLeaveDevicesAlone) {
    TempDir dir;
    const std::string ants = dir.write("low.txt", "0,-2147483647,1\n");
    for (const char* option : {"--save-world", "--rle"}) {
        const std::string target = dir.write(std::string("target") + option, "old");
        const std::string link = dir.pathOf(std::string("link") + option);
        std::filesystem::permissions(target, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
        std::filesystem::create_symlink(target, link);
        // Squares at the lowest row of the plane: nothing wraps on the way to the file.
        const BatchResult r = batch({"--ants", ants, "--mem", "0", "--continue", "--max-steps", "10", option, link});
        EXPECT_EQ(r.status, 0) << option << ": " << r.err;
        EXPECT_TRUE(std::filesystem::is_symlink(link)) << option;
        EXPECT_NE(fileText(target), "old") << option;
        EXPECT_EQ(std::filesystem::status(target).permissions(),
                  std::filesystem::perms::owner_read | std::filesystem::perms::owner_write)
            << option;

        const BatchResult device = batch({"--max-steps", "10", option, "/dev/null"});
        EXPECT_EQ(device.status, 1) << option;
        EXPECT_NE(device.err.find("/dev/null"), std::string::npos) << device.err;
        EXPECT_NE(device.err.find("not a regular file"), std::string::npos) << device.err;
        EXPECT_TRUE(std::filesystem::is_character_file("/dev/null"));
        for (const auto& entry : std::filesystem::directory_iterator(dir.pathOf("")))
            EXPECT_EQ(entry.path().string().find(".part"), std::string::npos) << "a partial file is left";
    }
}

namespace {

// The CSV line the counters of a result line make: what a run stopped at that step shows.
std::string csvOfResult(const std::string& result) {
    auto field = [&](const std::string& name) {
        const std::size_t at = result.find(" " + name + "=") + name.size() + 2;
        return result.substr(at, result.find(' ', at) - at);
    };
    return field("steps") + "," + field("filled") + "," + field("peak") + "," + field("minx") + "," + field("maxx") +
           "," + field("miny") + "," + field("maxy");
}

std::string withoutSeconds(const std::string& csv) { return csv.substr(0, csv.rfind(',')); }

}  // namespace

TEST(BatchTrace, EachLineHoldsTheCountersOfTheRunStoppedAtItsStep) {
    TempDir dir;
    const std::string ants = dir.write("ants.txt", "0,0,1\n3,-2,2\n-4,1,RB\n");
    const std::vector<std::string> run = {"--ants", ants, "--mode", "indexed15", "--max-steps", "6000"};
    auto with = [&](std::vector<std::string> more) {
        std::vector<std::string> args = run;
        args.insert(args.end(), more.begin(), more.end());
        return batch(args);
    };
    const BatchResult plain = with({});
    const BatchResult traced = with({"--trace", "-"});
    ASSERT_EQ(traced.status, 0) << traced.err;
    const std::vector<std::string> lines = linesOf(traced.out);
    ASSERT_EQ(lines.size(), 2u + 13u + 1u) << "result, header, 1 2 4 ... 4096, the end";
    EXPECT_EQ(withoutTiming(lines[0]), withoutTiming(plain.out.substr(0, plain.out.size() - 1)));
    EXPECT_EQ(lines[1], qm::sampleCsvHeader());
    for (std::size_t i = 2; i < lines.size(); ++i) {
        const std::string steps = lines[i].substr(0, lines[i].find(','));
        EXPECT_EQ(steps, i + 1 < lines.size() ? std::to_string(int64_t{1} << (i - 2)) : "6000");
        const BatchResult stopped = with({"--max-steps", steps});
        EXPECT_EQ(withoutSeconds(lines[i]), csvOfResult(stopped.out)) << lines[i];
    }

    const std::string file = dir.pathOf("trace.csv");
    const BatchResult every = with({"--trace", file, "--trace-every", "1500"});
    ASSERT_EQ(every.status, 0) << every.err;
    EXPECT_EQ(every.out.find('\n'), every.out.size() - 1) << "only the result line goes out";
    const std::vector<std::string> written = linesOf(fileText(file));
    ASSERT_EQ(written.size(), 5u) << "header, 1500 3000 4500 6000: the end is not repeated";
    EXPECT_EQ(withoutSeconds(written.back()), withoutSeconds(lines.back()));
    EXPECT_EQ(written[2].substr(0, 5), "3000,");

    EXPECT_EQ(with({"--trace-every", "10"}).status, 2) << "--trace-every needs --trace";
    EXPECT_EQ(with({"--trace", dir.pathOf("no/such/dir.csv")}).status, 1);
}

TEST(RunSamples, OlderSamplesThinEvenlyAndATakenBackRunReplacesWhatLayAhead) {
    qm::RunSamples samples(100);
    for (int64_t k = 0; k < 5000; ++k) {
        qm::RunSample s;
        s.steps = k * 10;
        s.seconds = static_cast<double>(k);
        samples.record(s);
        ASSERT_LE(samples.size(), 100u);
    }
    const std::vector<qm::RunSample>& all = samples.all();
    EXPECT_EQ(all.front().steps, 0) << "the start stays";
    EXPECT_EQ(all.back().steps, 49990) << "the newest stays";
    EXPECT_GE(all.size(), 50u);
    // Even spacing over the whole run: no gap (but the one to the newest) twice another.
    int64_t narrowest = INT64_MAX, widest = 0;
    for (std::size_t i = 1; i + 1 < all.size(); ++i) {
        narrowest = std::min(narrowest, all[i].steps - all[i - 1].steps);
        widest = std::max(widest, all[i].steps - all[i - 1].steps);
    }
    EXPECT_LE(widest, 2 * narrowest);
    EXPECT_DOUBLE_EQ(samples.secondsAt(49985), 4998.5);

    qm::RunSample back;
    back.steps = 49000;
    samples.record(back);
    EXPECT_EQ(samples.all().back().steps, 49000);
    EXPECT_LT(samples.all()[samples.size() - 2].steps, 49000);

    back.filled = -3;
    back.minX = -7;
    back.maxY = 12;
    back.seconds = 0.25;
    EXPECT_EQ(qm::sampleCsvLine(back), "49000,-3,0,-7,0,0,12,0.250000");
}
