#include "core/WholePicture.h"

#include "core/MemoryBudget.h"

#include <algorithm>
#include <new>

namespace qm {

const char* pictureErrorText(PictureError error) {
    switch (error) {
        case PictureError::None: return "no error";
        case PictureError::BadScale: return "the scale must be 1 or more";
        case PictureError::TooLarge: return "the picture would be too large at this scale";
        case PictureError::OutOfMemory: return "not enough memory for the picture";
        case PictureError::MoreThanTheMachineHas: return "the picture needs more memory than this machine has";
    }
    return "unknown error";
}

namespace {

constexpr uint32_t BlackColour = 0x000000;
constexpr int32_t TileColumns = 64;

int64_t pixelsAlong(int64_t squares, int64_t scale) { return (squares + scale - 1) / scale; }

}  // namespace

// Codes beyond the colours are not drawn.
std::vector<uint32_t> pictureColours(const World& w, const PicturePalette& palette) {
    std::vector<uint32_t> colours{palette.background};
    switch (w.mode()) {
        case RunMode::BlackWhite: colours.push_back(BlackColour); break;
        case RunMode::Generalized:
            for (uint32_t v = 1; v <= 64; ++v) colours.push_back(palette.stateColours ? (*palette.stateColours)[v] : BlackColour);
            break;
        default: {
            const int32_t ants = w.antColour ? std::min(w.antPosCapacity, w.counters.antCount) : 0;
            for (int32_t i = 0; i < ants; ++i) colours.push_back(colourOf(w.antColour[i]));
        }
    }
    return colours;
}

namespace {

template <class Code>
class CodeWriter {
public:
    CodeWriter(Picture& picture, Code* codes)
        : codes_(codes), width_(picture.width), scale_(picture.scale), left_(picture.area.minX),
          top_(picture.area.maxY), codeCount_(static_cast<uint32_t>(picture.colours.size())) {}
    void put(int32_t x, int32_t y, uint32_t code) const {
        if (code >= codeCount_) return;
        Code& pixel = codes_[((int64_t{top_} - y) / scale_) * width_ + (int64_t{x} - left_) / scale_];
        pixel = std::max(pixel, static_cast<Code>(code));
    }

private:
    Code* codes_;
    int64_t width_;
    int64_t scale_;
    int32_t left_, top_;
    uint32_t codeCount_;
};

// The grid squares of the area, in bands of columns read row by row: the pixels of a row lie
// together, and each column of the band is read along its squares.
template <class Code>
void drawGrid(const World& w, const CodeWriter<Code>& writer, const SquareBox& area) {
    const int32_t r = w.grid.halfSize;
    const int32_t x0 = std::max(area.minX, -r), x1 = std::min(area.maxX, r);
    const int32_t y0 = std::max(area.minY, -r), y1 = std::min(area.maxY, r);
    if (x0 > x1 || y0 > y1) return;
    for (int32_t band = x0; band <= x1; band += TileColumns) {
        const int32_t last = std::min(x1, band + (TileColumns - 1));
        for (int32_t y = y1; y >= y0; --y)
            for (int32_t x = band; x <= last; ++x)
                if (const uint32_t code = gridSquareCode(w, x, y); code != 0) writer.put(x, y, code);
        if (last == x1) break;
    }
}

template <class Code>
PictureError draw(const World& w, const SquareBox& area, Picture& out, std::vector<Code>& codes) {
    try {
        codes.assign(static_cast<std::size_t>(int64_t{out.width} * out.height), 0);
    } catch (const std::bad_alloc&) {
        codes = {};
        return PictureError::OutOfMemory;
    }
    const CodeWriter<Code> writer(out, codes.data());
    if (w.grid.exists()) drawGrid(w, writer, area);
    forEachStoredSquare(w, [&](int32_t x, int32_t y, uint32_t code) {
        if (x >= area.minX && x <= area.maxX && y >= area.minY && y <= area.maxY) writer.put(x, y, code);
    });
    return PictureError::None;
}

}  // namespace

uint64_t pictureBytes(int64_t width, int64_t height, bool wide) {
    return static_cast<uint64_t>(width) * static_cast<uint64_t>(height) * (wide ? 2 + 3 : 1);
}

int32_t fittingScale(const SquareBox& area, int32_t maxSide) {
    const int64_t longest = std::max(area.width(), area.height());
    const int64_t scale = std::max<int64_t>(1, pixelsAlong(longest, maxSide));
    return static_cast<int32_t>(std::min<int64_t>(scale, INT32_MAX));
}

PictureError renderWholePicture(const World& w, const PicturePalette& palette, const SquareBox& area,
                                int32_t scale, Picture& out) {
    out = Picture{};
    if (scale < 0) return PictureError::BadScale;
    if (area.empty()) return PictureError::TooLarge;
    const int32_t s = scale == 0 ? fittingScale(area) : scale;
    const int64_t width = pixelsAlong(area.width(), s), height = pixelsAlong(area.height(), s);
    if (width > MaxForcedPictureSide || height > MaxForcedPictureSide) return PictureError::TooLarge;
    out.area = area;
    out.scale = s;
    out.width = static_cast<int32_t>(width);
    out.height = static_cast<int32_t>(height);
    out.colours = pictureColours(w, palette);
    const bool wide = out.colours.size() > 256;
    if (pictureBytes(width, height, wide) > physicalMemoryOf(queryMemoryStatus())) {
        out = Picture{};
        return PictureError::MoreThanTheMachineHas;
    }
    if (!wide) return draw(w, area, out, out.narrowCodes);
    return draw(w, area, out, out.wideCodes);
}

}  // namespace qm
