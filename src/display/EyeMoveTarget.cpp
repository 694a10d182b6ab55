#include "display/EyeMoveTarget.h"

#include <algorithm>

#include "core/IntegerDivision.h"

namespace qm {
namespace {

// Squares first .. first + count - 1 of one axis, clamped to the 32-bit coordinates.
struct Squares {
    int64_t first = 0;
    int64_t count = 0;
};

Squares squaresBetween(int64_t first, int64_t last) {
    first = std::max<int64_t>(first, INT32_MIN);
    last = std::min<int64_t>(last, INT32_MAX);
    return first > last ? Squares{} : Squares{first, last - first + 1};
}

}  // namespace

void EyeMoveTarget::rebuild(const EyeMoveGeometry& geometry, uint32_t backgroundArgb, bool keepsClearedSquares) {
    const bool usable = geometry.bits && geometry.width > 0 && geometry.height > 0 && geometry.scale >= 1;
    const EyeMoveGeometry g = usable ? geometry : EyeMoveGeometry{};
    if (!built_ || !(g == geometry_)) {
        geometry_ = g;
        built_ = true;
        buildTables();
    }
    background_ = backgroundArgb;
    keepMask_ = keepsClearedSquares ? ~0u : 0u;
    columnTables_[0] = columnOffsets_.data();
    columnTables_[1] = keepsClearedSquares ? spareColumnOffsets_.data() : columnOffsets_.data();
    bitsAddress_ = reinterpret_cast<uintptr_t>(g.bits);
    scratchAddress_ = reinterpret_cast<uintptr_t>(&scratch_);
}

void EyeMoveTarget::buildTables() {
    const EyeMoveGeometry& g = geometry_;
    const int64_t s = g.scale;
    pixels_ = MovePixels(g.scale, g.centreX, g.originY);

    // Column cx + x / s lies on the image for quotients -cx .. W - 1 - cx; row oy - y / s for
    // quotients oy - (H - 1) .. oy.
    Squares xs, ys;
    if (g.width > 0 && g.height > 0) {
        xs = squaresBetween(firstWithQuotientAtLeast(-int64_t{g.centreX}, s),
                            lastWithQuotientAtMost(g.width - 1 - g.centreX, s));
        ys = squaresBetween(firstWithQuotientAtLeast(int64_t{g.originY} - (g.height - 1), s),
                            lastWithQuotientAtMost(g.originY, s));
    }
    usesTables_ = g.spareEdge && xs.count <= MaxTableSquares && ys.count <= MaxTableSquares;
    if (!usesTables_) xs = ys = Squares{};

    xFirst_ = static_cast<uint32_t>(static_cast<int32_t>(xs.first));
    columnCount_ = static_cast<uint32_t>(xs.count);
    yFirst_ = static_cast<uint32_t>(static_cast<int32_t>(ys.first));
    rowCount_ = static_cast<uint32_t>(ys.count);
    // The last entries: the spare column and row.
    columnOffsets_.assign(static_cast<size_t>(xs.count) + 1, static_cast<uint32_t>(g.width * 4));
    spareColumnOffsets_ = columnOffsets_;
    const uintptr_t bits = reinterpret_cast<uintptr_t>(g.bits);
    rowAddresses_.assign(static_cast<size_t>(ys.count) + 1, bits + static_cast<uintptr_t>(g.height * g.bytesPerLine));
    for (int64_t i = 0; i < xs.count; ++i)
        columnOffsets_[static_cast<size_t>(i)] = static_cast<uint32_t>((g.centreX + (xs.first + i) / s) * 4);
    for (int64_t j = 0; j < ys.count; ++j)
        rowAddresses_[static_cast<size_t>(j)] =
            bits + static_cast<uintptr_t>((g.originY - (ys.first + j) / s) * g.bytesPerLine);
}

uint64_t EyeMoveTarget::offsetOf(AntPos at) const {
    return usesTables_ ? tableAddress(at, 0) - bitsAddress_ : computedOffset(at, 0);
}

}  // namespace qm
