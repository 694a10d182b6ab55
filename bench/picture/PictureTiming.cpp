// Times the whole picture and the pattern of a large world: a fast grid about half painted with
// random ants' squares (10^7 painted squares at the default half size) and a store beyond it.
// Usage: quillmarch-picture-bench [HALF_SIZE] [OUT_DIR]

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include <QString>

#include "core/PaintedArea.h"
#include "core/RleWriter.h"
#include "core/RunSetup.h"
#include "core/WholePicture.h"
#include "gui/view/PicturePng.h"

namespace {

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
    const int32_t r = argc > 1 ? std::atoi(argv[1]) : 2236;
    const std::string dir = argc > 2 ? argv[2] : "/tmp";
    qm::World w;
    w.antMaxMode = qm::AntMaxMode::Ants255;
    if (!qm::prepareFastGrid(w, r) || !qm::allocateIndexedAntArrays(w, 255) || !qm::createSparseStore(w, 100000)) {
        std::fprintf(stderr, "not enough memory\n");
        return 1;
    }
    for (int32_t i = 0; i < 255; ++i) w.antColour[i] = qm::makeColourWord(0x10101u * uint32_t(i), 1);
    // Every byte an ant index or empty, half and half: the layout does not matter here.
    std::mt19937 random(7);
    int64_t painted = 0;
    for (int32_t i = 0; i < w.grid.byteSize; ++i) {
        const uint32_t v = random();
        w.grid.cells[i] = (v & 256) ? uint8_t(~(v % 255)) : 0;  // complemented ant index, or empty
    }
    for (int32_t x = -r; x <= r; ++x)
        for (int32_t y = -r; y <= r; ++y) painted += w.grid.indexedValue(x, y) != 0xFF;
    for (int32_t i = 0; i < 100000; ++i) {
        w.searchIndexed = {r + 1 + int32_t(random() % 2000), int32_t(random() % 4000) - 2000, 3};
        if (w.storeIndexed->Toggle() == 0) ++painted;
    }
    w.counters = {};
    w.counters.antCount = 255;
    w.counters.minX = -r;
    w.counters.maxX = r;
    w.counters.minY = -r;
    w.counters.maxY = r;

    std::array<uint32_t, 65> states{};
    const qm::PicturePalette palette{0xDFEFEF, &states};
    auto start = std::chrono::steady_clock::now();
    const qm::SquareBox area = qm::paintedArea(w);
    const double areaSeconds = secondsSince(start);
    qm::Picture picture;
    start = std::chrono::steady_clock::now();
    if (qm::renderWholePicture(w, palette, area, 0, picture) != qm::PictureError::None) return 1;
    const double renderSeconds = secondsSince(start);
    start = std::chrono::steady_clock::now();
    const QString png = QString::fromStdString(dir + "/quillmarch-picture-bench.png");
    if (!qm::savePicturePng(picture, png).empty()) return 1;
    const double pngSeconds = secondsSince(start);
    start = std::chrono::steady_clock::now();
    if (!qm::writeRle(w, dir + "/quillmarch-picture-bench.rle").empty()) return 1;
    const double rleSeconds = secondsSince(start);
    std::printf("painted=%lld picture=%dx%d scale=%d area_s=%.3f render_s=%.3f png_s=%.3f picture_total_s=%.3f rle_s=%.3f\n",
                static_cast<long long>(painted), picture.width, picture.height, picture.scale, areaSeconds,
                renderSeconds, pngSeconds, areaSeconds + renderSeconds + pngSeconds, rleSeconds);
    return 0;
}
