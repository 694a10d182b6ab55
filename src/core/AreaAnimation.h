#pragma once
// An animation of the whole painted area, each frame drawn as "Save whole picture..." draws it,
// every frame of one size and squares per pixel.

#include <cstdint>
#include <string>

#include "core/GifAnimation.h"
#include "core/PaintedArea.h"
#include "core/WholePicture.h"
#include "core/World.h"

namespace qm {

inline constexpr int32_t DefaultAnimationSide = 1024;

// Where each frame lies and how far it is reduced.
class AreaFrames {
public:
    // Every frame shows `area` at `scale` squares per pixel side (0: the smallest scale that fits
    // `DefaultAnimationSide`): for a run whose final area is known.
    static AreaFrames fixed(const SquareBox& area, int32_t scale);
    // The size is chosen at the first frame: its painted area reduced to fit `maxSide` pixels,
    // and at least a quarter of `maxSide` on a side, so a small start leaves room to grow.
    // Later frames keep the size and reduce further once the area outgrows it.
    static AreaFrames following(int32_t maxSide = DefaultAnimationSide);

    PictureError render(const World& w, const PicturePalette& palette, Picture& out);
    int32_t scale() const { return scale_; }

private:
    SquareBox boxFor(const SquareBox& painted);

    bool follow_ = false;
    bool sized_ = false;
    SquareBox area_;
    int32_t scale_ = 0;
    int32_t maxSide_ = DefaultAnimationSide;
    int64_t width_ = 0, height_ = 0;
};

class AreaAnimation {
public:
    AreaAnimation(const std::string& path, const AreaFrames& frames, const PicturePalette& palette, int32_t delayMs);

    // Draws the world as it stands and adds it; the first frame creates the file.
    GifError add(const World& w);
    GifError finish() { return error_ != GifError::None ? error_ : error_ = gif_.finish(); }
    // Drops the file; nothing is left behind.
    void abandon() { gif_.abandon(); }
    GifError error() const { return error_; }
    void setPalette(const PicturePalette& palette) { palette_ = palette; }
    const GifAnimation& gif() const { return gif_; }
    int32_t scale() const { return frames_.scale(); }

private:
    std::string path_;
    AreaFrames frames_;
    PicturePalette palette_;
    int32_t delayMs_;
    Picture picture_;
    GifAnimation gif_;
    GifError error_ = GifError::None;
};

}  // namespace qm
