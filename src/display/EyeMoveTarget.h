#pragma once
// Where the eye window's per-move operations draw: the byte offset of a square's pixel comes from
// two tables, one entry per column and per row of squares the eye shows, so that a move costs two
// lookups where the mapping would cost two divisions (or multiplications) and two range tests.
// The image lies in a buffer with a spare column and row that never show; the tables' last
// entries lead there, and so does every square off the image or left as it is, so a move always
// writes one pixel and never chooses where. At scales so coarse that the tables would grow too
// large, or without the spare edge, the pixel is computed and chosen instead.
// Everything is built from plain numbers: no toolkit types, so it is tested headless.

#include <algorithm>
#include <cstdint>
#include <vector>

#include "core/World.h"
#include "display/MovePixels.h"

namespace qm {

// What a target is built from: the square-to-pixel mapping, the image's pixels and whether
// cleared squares are drawn.
struct EyeMoveGeometry {
    int32_t scale = 1;
    int32_t centreX = 0;
    int32_t originY = 0;
    uint8_t* bits = nullptr;  // 32-bit pixels; none: every move goes to the scratch pixel
    int64_t bytesPerLine = 0;
    int64_t width = 0;
    int64_t height = 0;
    bool spareEdge = false;  // the buffer holds one more column and row than width x height
    bool operator==(const EyeMoveGeometry&) const = default;
};

// The tables of a target that keeps cleared squares, as a painter holds them in its own
// registers between two calls outside its loop: valid until the target is rebuilt.
struct KeptSquareTables {
    uint32_t xFirst = 0;
    uint32_t columns = 0;
    uint32_t yFirst = 0;
    uint32_t rows = 0;
    const uintptr_t* rowAddresses = nullptr;
    const uint32_t* columnOffsets = nullptr;

    // What plotKeptByTables draws on the image, where a cleared square changes nothing. A pixel
    // that has the colour already is not written again: most moves repaint their ant's own
    // colour, and a store costs the loop more than a load. A square off the image is passed by a
    // branch, not led to the spare edge: there, pixels that other ants' moves left would rarely
    // have the colour, and the test of the cleared flag after it would follow no pattern.
    [[gnu::always_inline]] void plot(AntPos at, uint32_t paintedArgb, uint8_t cleared) const {
        const uint32_t column = static_cast<uint32_t>(at.x) - xFirst;
        const uint32_t row = static_cast<uint32_t>(at.y) - yFirst;
        if ((column < columns) & (row < rows)) {
            auto* pixel = reinterpret_cast<uint32_t*>(rowAddresses[row] + columnOffsets[column]);
            if ((cleared == 0) & (*pixel != paintedArgb)) *pixel = paintedArgb;
        }
    }
};

class EyeMoveTarget {
public:
    // Per axis, the most squares the tables cover; coarser scales compute the offset.
    static constexpr int64_t MaxTableSquares = int64_t{1} << 16;
    // A computed offset off the image, or a square left as it is.
    static constexpr uint64_t Off = uint64_t{1} << 62;  // column x 4 + row x line bytes stays below

    EyeMoveTarget() { rebuild({}, 0, true); }
    EyeMoveTarget(const EyeMoveTarget&) = delete;  // `scratch_` is where moves off the image go
    EyeMoveTarget& operator=(const EyeMoveTarget&) = delete;

    // The tables are built again only when the geometry changed.
    void rebuild(const EyeMoveGeometry& geometry, uint32_t backgroundArgb, bool keepsClearedSquares);

    bool usesTables() const { return usesTables_; }

    // The move of a square that has just been painted (cleared = 0) or cleared (1): a painted
    // square takes `paintedArgb`, a cleared one the background unless cleared squares are kept.
    // Without a branch on `cleared`: with many ants it follows no pattern.
    [[gnu::always_inline]] void plot(AntPos at, uint32_t paintedArgb, uint8_t cleared) {
        if (usesTables_) {
            plotByTables(at, paintedArgb, cleared);
        } else {
            const uint32_t keptMask = (0u - cleared) & keepMask_;
            *reinterpret_cast<uint32_t*>(addressOrScratch(computedOffset(at, keptMask))) =
                select(cleared, background_, paintedArgb);
        }
    }
    // The same for a target known to use its tables: the painters' way.
    [[gnu::always_inline]] void plotByTables(AntPos at, uint32_t paintedArgb, uint8_t cleared) {
        *reinterpret_cast<uint32_t*>(tableAddress(at, cleared)) = select(cleared, background_, paintedArgb);
    }
    // The same while cleared squares are kept: they all go to the spare column, whatever they write.
    [[gnu::always_inline]] void plotKeptByTables(AntPos at, uint32_t paintedArgb, uint8_t cleared) {
        *reinterpret_cast<uint32_t*>(tableAddress(at, cleared)) = paintedArgb;
    }
    bool keepsClearedSquares() const { return keepMask_ != 0; }
    // For a target that uses its tables and keeps cleared squares.
    KeptSquareTables keptSquareTables() const {
        return {xFirst_, columnCount_, yFirst_, rowCount_, rowAddresses_.data(), columnOffsets_.data()};
    }

    // The offset a painted move of the square writes to: on the image, on the spare edge, or
    // (computed) Off.
    uint64_t offsetOf(AntPos at) const;

private:
    // bits + offset below Off, else the scratch pixel. With many ants whether a move lands on the
    // image follows no pattern, and the compiler turns a plain conditional into a branch.
    [[gnu::always_inline]] uintptr_t addressOrScratch(uint64_t offset) const {
        uintptr_t address = bitsAddress_ + offset;
#if defined(__x86_64__)
        asm("cmp %[off], %[offset]\n\tcmovae %[scratch], %[address]"
            : [address] "+r"(address)
            : [offset] "r"(offset), [off] "r"(Off), [scratch] "r"(scratchAddress_)
            : "cc");
        return address;
#else
        const uintptr_t onImage = 0 - static_cast<uintptr_t>(offset < Off);
        return scratchAddress_ ^ ((address ^ scratchAddress_) & onImage);
#endif
    }

    // A cleared square reads its column from the second table, which leads every column to the
    // spare one while cleared squares are kept.
    [[gnu::always_inline]] uintptr_t tableAddress(AntPos at, uint8_t cleared) const {
        const uint32_t column = std::min(static_cast<uint32_t>(at.x) - xFirst_, columnCount_);
        const uint32_t row = std::min(static_cast<uint32_t>(at.y) - yFirst_, rowCount_);
        return rowAddresses_[row] + columnTables_[size_t{cleared}][column];
    }
    // `which ? a : b` without a branch, for the same reason.
    [[gnu::always_inline]] static uint32_t select(uint8_t which, uint32_t a, uint32_t b) {
#if defined(__x86_64__)
        asm("test %[which], %[which]\n\tcmovnz %[a], %[b]" : [b] "+r"(b) : [which] "r"(which), [a] "r"(a) : "cc");
        return b;
#else
        const uint32_t mask = 0u - which;
        return b ^ ((a ^ b) & mask);
#endif
    }

    // Off (or above) for a square off the image or kept, by arithmetic for the same reason.
    uint64_t computedOffset(AntPos at, uint32_t keptMask) const {
        const PixelPair pixel = pixels_.of(at);
        const EyeMoveGeometry& g = geometry_;
        const bool inside = (pixel.column < static_cast<uint64_t>(g.width)) &
                            (pixel.row < static_cast<uint64_t>(g.height)) & (keptMask == 0);
        const uint64_t offset = uint64_t{pixel.column} * 4 + uint64_t{pixel.row} * static_cast<uint64_t>(g.bytesPerLine);
        return offset | (uint64_t{!inside} << 62);
    }
    void buildTables();

    EyeMoveGeometry geometry_;
    bool built_ = false;
    bool usesTables_ = true;
    uintptr_t bitsAddress_ = 0;
    uintptr_t scratchAddress_ = 0;
    uint32_t background_ = 0;
    uint32_t keepMask_ = 0;  // all ones: cleared squares keep their pixel
    // Tables: column index x - xFirst, row index y - yFirst, both modulo 2^32; the entry at the
    // count leads to the spare column or row and takes every square outside. A row's entry is
    // the address of its first pixel, a column's the byte offset within a row.
    uint32_t xFirst_ = 0;
    uint32_t columnCount_ = 0;
    uint32_t yFirst_ = 0;
    uint32_t rowCount_ = 0;
    std::vector<uint32_t> columnOffsets_;
    std::vector<uint32_t> spareColumnOffsets_;  // every entry the spare column's
    const uint32_t* columnTables_[2] = {nullptr, nullptr};  // for painted and for cleared squares
    std::vector<uintptr_t> rowAddresses_;
    MovePixels pixels_;  // the computed way
    uint32_t scratch_ = 0;  // takes the moves that leave every pixel as it is
};

}  // namespace qm
