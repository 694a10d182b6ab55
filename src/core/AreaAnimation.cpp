#include "core/AreaAnimation.h"

#include <algorithm>

#include "core/IntegerDivision.h"

namespace qm {
namespace {

GifError gifErrorOf(PictureError error) {
    return error == PictureError::OutOfMemory ? GifError::OutOfMemory : GifError::TooLarge;
}

SquareBox nonEmpty(const SquareBox& area) { return area.empty() ? SquareBox{0, 0, 0, 0} : area; }

}  // namespace

AreaFrames AreaFrames::fixed(const SquareBox& area, int32_t scale) {
    AreaFrames f;
    f.area_ = nonEmpty(area);
    f.scale_ = scale > 0 ? scale : fittingScale(f.area_, DefaultAnimationSide);
    return f;
}

AreaFrames AreaFrames::following(int32_t maxSide) {
    AreaFrames f;
    f.follow_ = true;
    f.maxSide_ = std::max(maxSide, 1);
    return f;
}

// A box of the chosen size in pixels holding the painted area; its edges lie on multiples of
// the scale, so a block of squares keeps its pixel while the box moves.
SquareBox AreaFrames::boxFor(const SquareBox& painted) {
    if (!sized_) {
        scale_ = fittingScale(painted, maxSide_);
        const int64_t smallest = std::max(1, maxSide_ / 4);
        width_ = std::max(ceilDiv(painted.width(), scale_), smallest);
        height_ = std::max(ceilDiv(painted.height(), scale_), smallest);
        sized_ = true;
    }
    const int64_t fits =
        std::max({int64_t{scale_}, ceilDiv(painted.width(), width_), ceilDiv(painted.height(), height_)});
    for (int64_t s = fits;; ++s) {
        const int64_t spanX = width_ * s, spanY = height_ * s;
        if (spanX < painted.width() || spanY < painted.height()) continue;
        const int64_t centreX = (int64_t{painted.minX} + painted.maxX) / 2;
        const int64_t centreY = (int64_t{painted.minY} + painted.maxY) / 2;
        const int64_t minX = std::min<int64_t>(floorDiv(centreX - spanX / 2, s) * s, floorDiv(painted.minX, s) * s);
        const int64_t minY = std::min<int64_t>(floorDiv(centreY - spanY / 2, s) * s, floorDiv(painted.minY, s) * s);
        if (minX + spanX - 1 < painted.maxX || minY + spanY - 1 < painted.maxY) continue;
        scale_ = static_cast<int32_t>(s);
        auto clamp = [](int64_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); };
        return SquareBox{clamp(minX), clamp(minX + spanX - 1), clamp(minY), clamp(minY + spanY - 1)};
    }
}

PictureError AreaFrames::render(const World& w, const PicturePalette& palette, Picture& out) {
    const SquareBox box = follow_ ? boxFor(nonEmpty(paintedArea(w))) : area_;
    return renderWholePicture(w, palette, box, scale_, out);
}

AreaAnimation::AreaAnimation(const std::string& path, const AreaFrames& frames, const PicturePalette& palette,
                             int32_t delayMs)
    : path_(path), frames_(frames), palette_(palette), delayMs_(delayMs) {}

GifError AreaAnimation::add(const World& w) {
    if (error_ != GifError::None) return error_;
    const PictureError drawn = frames_.render(w, palette_, picture_);
    if (drawn != PictureError::None) {
        gif_.abandon();
        return error_ = gifErrorOf(drawn);
    }
    if (!gif_.active()) {
        error_ = gif_.start(path_, picture_.width, picture_.height, picture_.colours, delayMs_);
        if (error_ != GifError::None) return error_;
    }
    return error_ = gif_.addPicture(picture_);
}

}  // namespace qm
