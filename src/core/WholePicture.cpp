#include "core/WholePicture.h"

#include <algorithm>
#include <new>

namespace qm {

const char* pictureErrorText(PictureError error) {
    switch (error) {
        case PictureError::None: return "no error";
        case PictureError::BadScale: return "the scale must be 1 or more";
        case PictureError::TooLarge: return "the picture would be too large at this scale";
        case PictureError::OutOfMemory: return "not enough memory for the picture";
    }
    return "unknown error";
}

namespace {

int64_t pixelsAlong(int64_t squares, int64_t scale) { return (squares + scale - 1) / scale; }

struct PixelWriter {
    const World& w;
    const PicturePalette& palette;
    Picture& picture;
    int64_t rowBytes;

    // Colour reference of a square code; false for an empty square or an ant the arrays lack.
    bool colourOf(uint32_t code, uint32_t& colour) const {
        if (code == 0) return false;
        switch (w.mode()) {
            case RunMode::BlackWhite: colour = Black; return true;
            case RunMode::Generalized:
                colour = palette.stateColours ? (*palette.stateColours)[std::min<uint32_t>(code, 64u)] : Black;
                return true;
            default: {
                const uint32_t ant = code - 1;
                if (!w.antColour || ant >= static_cast<uint32_t>(w.antPosCapacity)) return false;
                colour = qm::colourOf(w.antColour[ant]);
                return true;
            }
        }
    }
    void put(int32_t x, int32_t y, uint32_t code) const {
        uint32_t colour = 0;
        if (!colourOf(code, colour)) return;
        const int64_t s = picture.scale;
        const int64_t px = (int64_t{x} - picture.area.minX) / s;
        const int64_t py = (int64_t{picture.area.maxY} - y) / s;
        uint8_t* pixel = picture.rgb.data() + py * rowBytes + px * 3;
        pixel[0] = static_cast<uint8_t>(colour);
        pixel[1] = static_cast<uint8_t>(colour >> 8);
        pixel[2] = static_cast<uint8_t>(colour >> 16);
    }
    static constexpr uint32_t Black = 0;
};

void fillBackground(Picture& picture, uint32_t colour) {
    const uint8_t rgb[3] = {static_cast<uint8_t>(colour), static_cast<uint8_t>(colour >> 8),
                            static_cast<uint8_t>(colour >> 16)};
    if (rgb[0] == rgb[1] && rgb[1] == rgb[2]) {
        std::fill(picture.rgb.begin(), picture.rgb.end(), rgb[0]);
        return;
    }
    for (std::size_t i = 0; i < picture.rgb.size(); i += 3) std::copy(rgb, rgb + 3, picture.rgb.begin() + i);
}

// The grid squares of the area, column by column. Black-and-white rows lie along X in memory,
// so that mode reads a band of columns row by row, which touches the same squares.
void drawGrid(const World& w, const PixelWriter& writer, const SquareBox& area) {
    const int32_t r = w.grid.halfSize;
    const int32_t x0 = std::max(area.minX, -r), x1 = std::min(area.maxX, r);
    const int32_t y0 = std::max(area.minY, -r), y1 = std::min(area.maxY, r);
    if (x0 > x1 || y0 > y1) return;
    if (w.mode() == RunMode::BlackWhite) {
        for (int32_t y = y0; y <= y1; ++y)
            for (int32_t x = x0; x <= x1; ++x)
                if (w.grid.blackAt(x, y)) writer.put(x, y, 1u);
        return;
    }
    for (int32_t x = x0; x <= x1; ++x)
        for (int32_t y = y0; y <= y1; ++y)
            if (const uint32_t code = gridSquareCode(w, x, y); code != 0) writer.put(x, y, code);
}

}  // namespace

int32_t fittingScale(const SquareBox& area, int32_t maxSide) {
    const int64_t longest = std::max(area.width(), area.height());
    const int64_t scale = std::max<int64_t>(1, pixelsAlong(longest, maxSide));
    return static_cast<int32_t>(std::min<int64_t>(scale, INT32_MAX));
}

PictureError renderWholePicture(const World& w, const PicturePalette& palette, const SquareBox& area,
                                int32_t scale, Picture& out) {
    if (scale < 0) return PictureError::BadScale;
    if (area.empty()) return PictureError::TooLarge;
    const int32_t s = scale == 0 ? fittingScale(area) : scale;
    const int64_t width = pixelsAlong(area.width(), s), height = pixelsAlong(area.height(), s);
    if (width > MaxForcedPictureSide || height > MaxForcedPictureSide) return PictureError::TooLarge;
    out.area = area;
    out.scale = s;
    out.width = static_cast<int32_t>(width);
    out.height = static_cast<int32_t>(height);
    try {
        out.rgb.assign(static_cast<std::size_t>(width * height * 3), 0);
    } catch (const std::bad_alloc&) {
        out.rgb = {};
        return PictureError::OutOfMemory;
    }
    fillBackground(out, palette.background);
    const PixelWriter writer{w, palette, out, width * 3};
    if (w.grid.exists()) drawGrid(w, writer, area);
    forEachStoredSquare(w, [&](int32_t x, int32_t y, uint32_t code) {
        if (x >= area.minX && x <= area.maxX && y >= area.minY && y <= area.maxY) writer.put(x, y, code);
    });
    return PictureError::None;
}

}  // namespace qm
