#pragma once
// Drawing grid squares into the main view's image: the pixel mapping, clipped square fills, and
// the per-move square painters that the step loops call through the world's hooks.

#include <cstdint>

#include <QImage>

#include "core/World.h"

class MainView;

namespace qm {

// Where grid squares land in one image, for the current view offset, centre and square size.
// Square (X, Y) fills `size` x `size` pixels from column originX + X * size - lead and row
// originY - Y * size - lead. Computed in 64 bits, so squares however far away never overflow;
// whatever misses the image is clipped.
class PixelTarget {
public:
    PixelTarget() = default;  // no pixels: every square is clipped away
    PixelTarget(QImage& image, const MainView& view);

    // A square of the target's own size.
    void fill(int32_t x, int32_t y, uint32_t argb) const {
        fillClipped(originX_ + static_cast<int64_t>(x) * size_ - lead_,
                    originY_ - static_cast<int64_t>(y) * size_ - lead_, size_, argb);
    }

    // The same with the size known at compile time: the per-move painters' fast path. Whether
    // the square lies whole on the surface is a test of its coordinates against the ranges of
    // such squares, computed with the target. With many ants, squares on and off the surface
    // follow each other in no order the processor could predict, so both take the same writes:
    // a square off the surface goes to a scratch square. Only a square cut by an edge, which
    // happens along the edges alone, takes a branch.
    template <int Size>
    void fillFixed(int32_t x, int32_t y, uint32_t argb) const {
        fixedFill().fill<Size>(x, y, argb);
    }

private:
    // The coordinates first + 0 .. count - 1 of one axis, tested with a 32-bit difference: the
    // range is clamped to the 32-bit coordinates, so the difference wraps into the count exactly
    // for the coordinates inside.
    struct SquareRange {
        uint32_t first = 0;
        uint64_t count = 0;  // 0: none
        static SquareRange of(int64_t first, int64_t last);  // inclusive, any 64-bit values
        bool holds(int32_t v) const { return uint64_t{static_cast<uint32_t>(v) - first} < count; }
    };
    struct SquareRanges {
        SquareRange x, y;
        bool holds(int32_t px, int32_t py) const { return x.holds(px) & y.holds(py); }
    };

public:
    // What the fast path reads, as a plain value: a loop keeps it in registers between moves.
    struct FixedFill {
        SquareRanges whole;      // squares all of whose pixels lie on the surface
        SquareRanges touching;   // squares with at least one pixel on it
        uint64_t squareOrigin;   // address of square (0, 0)'s first pixel, as an integer
        int64_t rowStep;         // bytes from one square row to the next: size x bytes per line
        int64_t bytesPerLine;
        uintptr_t scratch;       // takes the writes of squares off the surface
        const PixelTarget* target;  // for squares cut by an edge

        template <int Size>
        void fill(int32_t x, int32_t y, uint32_t argb) const {
            static_assert(Size >= 1 && Size * Size <= ScratchPixels);
            const bool isWhole = whole.holds(x, y);
            const uintptr_t row = choose(isWhole, address<Size>(x, y), scratch);
            const uint64_t stride = choose(isWhole, static_cast<uint64_t>(bytesPerLine), Size * 4);
            square<Size>(row, stride, argb);
            // A whole square touches the surface too, so they differ just for a cut one.
            if (touching.holds(x, y) != isWhole) [[unlikely]] target->fill(x, y, argb);
        }
        // Where square (x, y)'s first pixel is when the square lies whole on the surface. As an
        // integer: off the surface, the square's own address may lie anywhere.
        template <int Size>
        uint64_t address(int32_t x, int32_t y) const {
            return squareOrigin + static_cast<uint64_t>(static_cast<int64_t>(x) * (Size * 4)) -
                   static_cast<uint64_t>(static_cast<int64_t>(y) * rowStep);
        }
        // Size x Size pixels from the address `row` on, a line of them every `stride` bytes.
        template <int Size>
        static void square(uintptr_t row, uint64_t stride, uint32_t argb) {
            for (int r = 0; r < Size; ++r, row += stride) {
                uint32_t* pixel = reinterpret_cast<uint32_t*>(row);
                for (int c = 0; c < Size; ++c) pixel[c] = argb;
            }
        }
    };
    // The squares with at least one pixel on the surface: columns x rows of them from
    // (firstX, firstY) up, for painters that gather a frame's squares before drawing them.
    struct TouchedSquares {
        uint32_t firstX = 0, firstY = 0;  // 32-bit coordinates, as unsigned
        uint32_t columns = 0, rows = 0;
    };
    TouchedSquares touchedSquares() const {
        return {touching_.x.first, touching_.y.first, static_cast<uint32_t>(touching_.x.count),
                static_cast<uint32_t>(touching_.y.count)};
    }
    FixedFill fixedFill() const {
        return {whole_, touching_, squareOrigin_, rowStep_, bytesPerLine_, reinterpret_cast<uintptr_t>(scratch_), this};
    }

private:
    static constexpr int ScratchPixels = 8 * 8;  // the largest fixed size

    // `first ? a : b` by a mask: a plain conditional may be compiled into a branch.
    static uint64_t choose(bool first, uint64_t a, uint64_t b) {
        const uint64_t mask = 0 - static_cast<uint64_t>(first);
        return b ^ ((a ^ b) & mask);
    }

    void fillClipped(int64_t left, int64_t top, int64_t size, uint32_t argb) const;

    uchar* bits_ = nullptr;
    int64_t bytesPerLine_ = 0;
    int64_t width_ = 0;
    int64_t height_ = 0;
    int64_t originX_ = 0;
    int64_t originY_ = 0;
    int32_t size_ = 1;
    int32_t lead_ = 0;
    SquareRanges whole_;      // squares all of whose pixels lie on the surface
    SquareRanges touching_;   // squares with at least one pixel on it
    uint64_t squareOrigin_ = 0;  // address of square (0, 0)'s first pixel, as an integer
    int64_t rowStep_ = 0;        // bytes from one square row to the next: size x bytes per line
    mutable uint32_t scratch_[ScratchPixels] = {};  // takes the writes of squares off the surface
};

// The three painters of one "Ant square size:" item. The paint and the erase hook are the same
// function, which reads the loop's turn result (World::lastTurn) to tell them apart.
struct SquarePainterSet {
    Hook paint;
    Hook erase;
    Hook genSquare;
    LoopChooser chooseLoop = nullptr;  // the loop instances that inline these painters
};

// Item "0" draws nothing (the eye window still follows), "1" one pixel, the others s x s.
// `blackWhite`: the ant-maximum mode at the time of the selection paints black, not ant colours.
// `itemZero` wins over `size`; a size without its own painters uses the generic ones.
SquarePainterSet squarePaintersFor(bool itemZero, int32_t size, bool blackWhite);

}  // namespace qm
