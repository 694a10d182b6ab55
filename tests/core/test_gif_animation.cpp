// Animations read back with giflib's own reader: the frames of a run in every mode equal its
// area pictures at those steps, each frame stores only what changed, a highway stays small, and
// a failure leaves no file.

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <random>

#include "GifFrames.h"
#include "TempDir.h"
#include "TestSupport.h"
#include "WorldSquares.h"
#include "core/AreaAnimation.h"
#include "core/GifAnimation.h"
#include "core/GifEncoderThread.h"
#include "core/GifPalette.h"
#include "display/Colours.h"

using namespace qm;
using namespace qmtest;

namespace {

std::vector<AntSpec> antsFor(RunMode mode) {
    const bool gen = mode == RunMode::Generalized;
    auto dir = [gen](uint8_t code) { return static_cast<uint8_t>(gen ? code - 1 : code); };
    std::vector<AntSpec> ants = {{0, 0, dir(1)}, {9, 11, dir(2)}, {-11, -4, dir(3)}, {12, -12, dir(4)}};
    if (gen)
        for (AntSpec& a : ants) a.program = 0b0110;
    return ants;
}

std::vector<uint32_t> coloursOf(const Picture& p) {
    std::vector<uint32_t> colours;
    for (int32_t y = 0; y < p.height; ++y)
        for (int32_t x = 0; x < p.width; ++x) colours.push_back(p.colourAt(x, y));
    return colours;
}

std::vector<uint32_t> argbOf(const Picture& p) {
    std::vector<uint32_t> pixels;
    for (uint32_t c : coloursOf(p)) pixels.push_back(toArgb(c));
    return pixels;
}

// The smallest rectangle of change between two composed frames; one pixel when none.
GifRect changeBetween(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b, int32_t width, int32_t height) {
    int32_t minX = width, maxX = -1, minY = height, maxY = -1;
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x)
            if (a[static_cast<std::size_t>(y) * width + x] != b[static_cast<std::size_t>(y) * width + x]) {
                minX = std::min(minX, x), maxX = std::max(maxX, x), minY = std::min(minY, y), maxY = std::max(maxY, y);
            }
    if (maxX < 0) return GifRect{0, 0, 1, 1};
    return GifRect{minX, minY, maxX - minX + 1, maxY - minY + 1};
}

void expectOnlyChangesStored(const DecodedGif& gif) {
    for (std::size_t i = 1; i < gif.frames.size(); ++i) {
        const GifRect want = changeBetween(gif.frames[i - 1], gif.frames[i], gif.width, gif.height);
        const GifRect got = gif.stored[i];
        EXPECT_TRUE(got.left == want.left && got.top == want.top && got.width == want.width &&
                    got.height == want.height)
            << "frame " << i << " stores " << got.left << "," << got.top << " " << got.width << "x" << got.height;
    }
}

}  // namespace

TEST(GifRecording, DecodedFramesEqualTheAreaPicturesAtThoseStepsInEveryMode) {
    const StateColourTable states = [] {
        StateColourTable t{};
        for (uint32_t i = 0; i < t.size(); ++i) t[i] = 0x030507u * i + 0x100000u;
        return t;
    }();
    for (RunMode mode : {RunMode::Indexed15, RunMode::Indexed255, RunMode::Indexed65535, RunMode::BlackWhite,
                         RunMode::Generalized}) {
        SCOPED_TRACE(runModeName(mode));
        TempDir dir;
        TestWorld t(mode, 12, antsFor(mode), true, mode == RunMode::Generalized ? 5 : 2);
        if (isIndexed(mode))
            for (int32_t i = 0; i < t.w.counters.antCount; ++i)
                t.w.antColour[i] = makeColourWord(0x403020u * uint32_t(i + 1), directionOf(t.w.antColour[i]));
        const PicturePalette palette{0xDFEFEF, &states};
        const SquareBox box{-30, 30, -25, 28};
        AreaAnimation codes(dir.pathOf("codes.gif"), AreaFrames::fixed(box, 2), palette, 120);
        GifAnimation pixels;
        std::vector<std::vector<uint32_t>> expected;
        for (int64_t steps = 0; steps <= 900; steps += 75) {
            t.w.limits.userMaxSteps = steps;
            t.run();
            Picture picture;
            ASSERT_EQ(renderWholePicture(t.w, palette, box, 2, picture), PictureError::None);
            expected.push_back(coloursOf(picture));
            ASSERT_EQ(codes.add(t.w), GifError::None);
            if (steps == 0) {
                ASSERT_EQ(pixels.start(dir.pathOf("pixels.gif"), picture.width, picture.height, picture.colours, 120),
                          GifError::None);
            }
            const std::vector<uint32_t> argb = argbOf(picture);
            ASSERT_EQ(pixels.addArgb(argb.data(), picture.width, picture.width, picture.height), GifError::None);
        }
        ASSERT_TRUE(storeCount(t.w) > 0) << "squares beyond the grid are shown as well";
        ASSERT_EQ(codes.finish(), GifError::None);
        ASSERT_EQ(pixels.finish(), GifError::None);
        for (const char* name : {"codes.gif", "pixels.gif"}) {
            const DecodedGif gif = decodeGif(dir.pathOf(name));
            ASSERT_TRUE(gif.ok) << name;
            EXPECT_TRUE(gif.loops);
            EXPECT_EQ(gif.width, 31);
            EXPECT_EQ(gif.height, 27);
            ASSERT_EQ(gif.frames.size(), expected.size());
            for (std::size_t i = 0; i < expected.size(); ++i) {
                EXPECT_EQ(gif.frames[i], expected[i]) << name << " frame " << i;
                EXPECT_EQ(gif.delaysCs[i], 12);
            }
            expectOnlyChangesStored(gif);
        }
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.pathOf("")), {}), 2) << "no temporary left";
    }
}

TEST(GifRecording, AFollowedAreaKeepsItsSizeAndShowsEveryPaintedSquare) {
    TempDir dir;
    TestWorld t(RunMode::Indexed255, 300, {{0, 0, 1}});
    const PicturePalette palette{0xDFEFEF, nullptr};
    AreaFrames frames = AreaFrames::following(64);
    int32_t lastScale = 1;
    for (int64_t steps = 0; steps <= 16000; steps += 800) {
        t.w.limits.userMaxSteps = steps;
        t.run();
        Picture picture;
        ASSERT_EQ(frames.render(t.w, palette, picture), PictureError::None);
        EXPECT_EQ(picture.width, 16);
        EXPECT_EQ(picture.height, 16);
        EXPECT_GE(picture.scale, lastScale) << "a frame never zooms back in";
        lastScale = picture.scale;
        const SquareBox painted = paintedArea(t.w);
        EXPECT_LE(picture.area.minX, painted.minX);
        EXPECT_GE(picture.area.maxX, painted.maxX);
        EXPECT_LE(picture.area.minY, painted.minY);
        EXPECT_GE(picture.area.maxY, painted.maxY);
    }
    EXPECT_GT(lastScale, 4) << "the highway outgrew the first size";
}

TEST(GifRecording, AHighwayLeavingItsChaosOverAThousandFramesOf300PixelsTakesUnderFiveMegabytes) {
    TempDir dir;
    TestWorld t(RunMode::Indexed255, 400, {{0, 0, 1}});
    t.w.limits.userMaxSteps = 40000;
    t.run();
    const SquareBox area = paintedArea(t.w);
    ASSERT_GE(std::max(area.width(), area.height()), 300);
    TestWorld r(RunMode::Indexed255, 400, {{0, 0, 1}});
    const PicturePalette palette{0xDFEFEF, nullptr};
    AreaAnimation animation(dir.pathOf("highway.gif"), AreaFrames::fixed(area, 1), palette, 20);
    for (int64_t steps = 0; steps <= 40000; steps += 40) {
        r.w.limits.userMaxSteps = steps;
        r.run();
        ASSERT_EQ(animation.add(r.w), GifError::None);
    }
    ASSERT_EQ(animation.finish(), GifError::None);
    const auto bytes = std::filesystem::file_size(dir.pathOf("highway.gif"));
    EXPECT_LT(bytes, 5'000'000u);
    RecordProperty("bytes", std::to_string(bytes));
}

TEST(GifRecording, MoreColoursThanATableTakeTheirNearestOfAFixedTableAndTheBackgroundStaysExact) {
    std::mt19937 random(23);
    std::vector<uint32_t> colours{0xDFEFEF};
    while (colours.size() < 300) colours.push_back(random() & 0xFFFFFFu);
    const GifPalette many(colours);
    EXPECT_FALSE(many.exact());
    EXPECT_LE(many.size(), GifPalette::MaxEntries);
    EXPECT_EQ(many.colourAt(many.indexOf(0xDFEFEF)), 0xDFEFEFu);
    auto gap = [](uint32_t a, uint32_t b, int shift) {
        return std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF));
    };
    for (int i = 0; i < 2000; ++i) {
        const uint32_t c = random() & 0xFFFFFFu;
        const uint32_t got = many.colourAt(many.indexOf(c));
        EXPECT_EQ(many.colourAt(many.indexOfArgb(toArgb(c))), got);
        EXPECT_LE(gap(c, got, 0) + gap(c, got, 8) + gap(c, got, 16), 26 + 22 + 26) << std::hex << c;
    }

    // A run of 300 ants of their own colours: its pictures have wide codes.
    TempDir dir;
    std::vector<AntSpec> ants;
    for (int i = 0; i < 300; ++i) ants.push_back({i % 20 * 3 - 30, i / 20 * 3 - 30, uint8_t(1 + i % 4)});
    TestWorld t(RunMode::Indexed65535, 40, ants);
    for (int32_t i = 0; i < 300; ++i)
        t.w.antColour[i] = makeColourWord(colours[std::size_t(i)], directionOf(t.w.antColour[i]));
    t.w.limits.userMaxSteps = 30;
    t.run();
    const PicturePalette palette{0xDFEFEF, nullptr};
    Picture picture;
    ASSERT_EQ(renderWholePicture(t.w, palette, paintedArea(t.w), 1, picture), PictureError::None);
    ASSERT_TRUE(picture.wide());
    AreaAnimation animation(dir.pathOf("many.gif"), AreaFrames::fixed(paintedArea(t.w), 1), palette, 50);
    ASSERT_EQ(animation.add(t.w), GifError::None);
    ASSERT_EQ(animation.finish(), GifError::None);
    const DecodedGif gif = decodeGif(dir.pathOf("many.gif"));
    ASSERT_TRUE(gif.ok);
    ASSERT_EQ(gif.frames.size(), 1u);
    const std::vector<uint32_t> shown = coloursOf(picture);
    ASSERT_EQ(gif.frames[0].size(), shown.size());
    for (std::size_t i = 0; i < shown.size(); ++i) {
        const uint32_t got = gif.frames[0][i];
        if (shown[i] == 0xDFEFEFu) {
            EXPECT_EQ(got, 0xDFEFEFu);
        }
        EXPECT_LE(gap(shown[i], got, 0) + gap(shown[i], got, 8) + gap(shown[i], got, 16), 26 + 22 + 26);
    }

    colours.resize(256);
    const GifPalette few(colours);
    EXPECT_TRUE(few.exact());
    for (uint32_t c : colours) EXPECT_EQ(few.colourAt(few.indexOf(c)), c);
}

// The file system refuses to grow a file beyond 20 kB, as a full disk would; noise frames of 200
// x 200 pixels pass it at once.
template <class Encoder>
void expectAWriteFailureStopsForGood(const std::string& path) {
    std::vector<uint32_t> noise(200 * 200);
    std::mt19937 random(5);
    std::vector<uint32_t> colours;
    for (int i = 0; i < 200; ++i) colours.push_back(random() & 0xFFFFFFu);
    rlimit before{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &before), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = before;
    small.rlim_cur = 20000;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    Encoder gif;
    GifError error = gif.start(path, 200, 200, colours, 50);
    for (int frame = 0; frame < 50 && error == GifError::None; ++frame) {
        for (uint32_t& p : noise) p = toArgb(colours[random() % colours.size()]);
        error = gif.addArgb(noise.data(), 200, 200, 200);
    }
    if (error == GifError::None) error = gif.finish();
    setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(error, GifError::WriteFailed);
    EXPECT_STREQ(gifErrorText(error), "the file cannot be written");
    EXPECT_EQ(gif.addArgb(noise.data(), 200, 200, 200), GifError::WriteFailed) << "stopped for good";
    EXPECT_EQ(gif.finish(), GifError::WriteFailed);
}

TEST(GifRecording, AWriteFailureStopsTheRecordingWithItsReasonAndLeavesNoFile) {
    TempDir dir;
    const std::string path = dir.pathOf("full.gif");
    expectAWriteFailureStopsForGood<GifAnimation>(path);
    expectAWriteFailureStopsForGood<GifEncoderThread>(path);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.pathOf("")), {}), 0) << "no file, no temporary";

    const std::vector<uint32_t> colours{0xFFFFFF, 0};
    const std::vector<uint32_t> noise(100, 0xFF000000u);
    GifAnimation nowhere;
    EXPECT_EQ(nowhere.start(dir.pathOf("no-such-dir/a.gif"), 10, 10, colours, 50), GifError::CannotCreate);
    EXPECT_EQ(nowhere.start(path, 70000, 10, colours, 50), GifError::TooLarge);
    ASSERT_EQ(nowhere.start(path, 10, 10, colours, 50), GifError::None);
    EXPECT_EQ(nowhere.addArgb(noise.data(), 10, 10, 9), GifError::WrongFrameSize);
    EXPECT_FALSE(std::filesystem::exists(path));
}
