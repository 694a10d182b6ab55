#pragma once
// The whole painted area as one picture, drawn straight from the fast grid and the store: one
// pixel per square, or, when the area is too large, one pixel for s x s squares.

#include <array>
#include <cstdint>
#include <vector>

#include "core/PaintedArea.h"
#include "core/World.h"

namespace qm {

inline constexpr int32_t MaxPictureSide = 16384;        // the side a chosen scale must fit
inline constexpr int64_t MaxForcedPictureSide = 65535;  // what a forced scale may still produce

// Colours are colour references: red in the low byte, green, blue.
struct PicturePalette {
    uint32_t background = 0;  // empty, white and never-visited squares
    const std::array<uint32_t, 65>* stateColours = nullptr;  // generalized: by cell value
};

// Pixels hold square codes (see gridSquareCode; 0 = background), one byte each when every code
// of the run fits one, two otherwise; `colours` gives each code's colour. A picture of few
// colours is also what a PNG writer packs fastest.
struct Picture {
    SquareBox area;     // the squares shown; the top left pixel starts at (minX, maxY)
    int32_t scale = 1;  // squares per pixel side
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> colours;
    std::vector<uint8_t> narrowCodes;  // rows top to bottom (Y falling)
    std::vector<uint16_t> wideCodes;

    bool wide() const { return !wideCodes.empty(); }
    uint32_t codeAt(int64_t px, int64_t py) const {
        const int64_t at = py * width + px;
        return wide() ? wideCodes[static_cast<std::size_t>(at)] : narrowCodes[static_cast<std::size_t>(at)];
    }
    uint32_t colourAt(int64_t px, int64_t py) const { return colours[codeAt(px, py)]; }
};

enum class PictureError { None, BadScale, TooLarge, OutOfMemory, MoreThanTheMachineHas };
const char* pictureErrorText(PictureError error);

// The colour of every code the run's squares can hold, by code (0: the background).
std::vector<uint32_t> pictureColours(const World& w, const PicturePalette& palette);

// The smallest s for which ceil(width / s) and ceil(height / s) are at most `maxSide`.
int32_t fittingScale(const SquareBox& area, int32_t maxSide = MaxPictureSide);

// Bytes a picture of this size takes from drawing to writing: its codes and, when they need two
// bytes, the full-colour image made from them.
uint64_t pictureBytes(int64_t width, int64_t height, bool wide);

// Draws the area with `scale` squares per pixel side (0: the fitting scale). Pixel
// ((x - minX) / s, (maxY - y) / s) shows square (x, y); of several painted squares on one
// pixel the one with the highest code shows (the highest ant index, the highest state), so the
// picture does not depend on the order of drawing.
PictureError renderWholePicture(const World& w, const PicturePalette& palette, const SquareBox& area,
                                int32_t scale, Picture& out);

}  // namespace qm
