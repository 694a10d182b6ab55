#pragma once
// The window's painters as per-move policies of the step loops (StepLoopBodies.h): what the
// per-move hooks of SquarePainters.cpp draw, with the view's extent, its pixel target and the
// count of outside calls kept in the loop's registers instead of read back every move.
// From size 2 up, a move writes one entry of the view's compact square buffer instead of its
// s x s pixels: the buffer fits the cache where the image does not. Every publish, which comes
// before any outside code can look at the image, draws the written entries' squares as the
// per-move fill would have (the last write to a square wins either way) and clears them.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "core/World.h"
#include "gui/view/EyeWindow.h"
#include "gui/view/MainView.h"
#include "gui/view/MovePaint.h"
#include "gui/view/PaintContext.h"
#include "gui/view/PaintingLoops.h"
#include "gui/view/SquarePainters.h"

namespace qm {

// The per-move parts are always inlined: with the eye's drawing inside, a move would otherwise
// become a call, with the painter's fields in memory.
// `Colour`: AntColour or BlackSquares for Langton moves (generalized squares take their state's
// colour). `EyeFollows`: the eye window has an operation installed; without one it is not told.
template <class Colour, int Size, bool EyeFollows>
class WindowPainter {
public:
    // Only the eye's own operations read the current ant and its square from the world: the
    // moves that go to them set both (tellEye below), the others leave the loop's stores out.
    static constexpr bool readsWorld = false;
    static constexpr bool notesLeftTurns = true;

    // A Langton move notes nothing: the squares it paints are where ants stood when the loop
    // began or where moves took them since, which the counters' box (right turns) and the left
    // turns' reach cover. Both join the extent at every publish, the ants' places here.
    explicit WindowPainter(World& w) : WindowPainter(loaded(w, static_cast<PaintContext*>(w.hooks.context))) {
        if (!w.generalized)
            for (int32_t ant = 0; ant < w.counters.antCount; ++ant) note(w.antPos[ant]);
    }

    [[gnu::always_inline]] void move(World& w, int32_t ant, AntPos at, int32_t turn) {
        const uint8_t cleared = static_cast<uint8_t>(turn);
        if constexpr (Size == ExtentOnly) {
            // The colour only matters to an eye that draws: it is read then.
            if constexpr (EyeFollows) {
                if (eyeKept_) [[likely]]
                    eye_.plot(at, Colour::argb(w, ant), cleared);
                else
                    tellEye(w, ant, at, [&w, ant] { return Colour::argb(w, ant); }, cleared);
            }
        } else {
            const uint32_t painted = Colour::argb(w, ant);
            fill(at, paintedOrWhite(cleared, painted));
            if constexpr (EyeFollows) {
                if (eyeKept_) [[likely]]
                    eye_.plot(at, painted, cleared);
                else
                    tellEye(w, ant, at, [painted] { return painted; }, cleared);
            }
        }
    }

    [[gnu::always_inline]] void genSquare(World& w, AntPos at) {
        note(at);
        if constexpr (Size == ExtentOnly) {
            if constexpr (EyeFollows) {
                const StateColourTable& colours = *form_->stateColours;
                form_->eyeWindow->stateMove(outsideCalls_, at,
                                            [&colours, &w] { return stateArgb(colours, currentCellValue(w)); });
            }
        } else {
            const uint32_t argb = stateArgb(*form_->stateColours, currentCellValue(w));
            // Straight to the image: the generalized loop publishes after every move, so
            // gathering would gain nothing.
            if constexpr (Gathers) fixed_.template fill<Size>(at.x, at.y, argb);
            else fill(at, argb);
            if constexpr (EyeFollows) form_->eyeWindow->stateMove(outsideCalls_, at, [argb] { return argb; });
        }
    }

    void publish(World& w) {
        if constexpr (Gathers) {
            if (lowest_ <= highest_) [[unlikely]] flush();
        }
        if (!w.generalized) {  // Langton moves: the extent comes from the box, not from the moves
            const RunCounters& c = w.counters;
            note(c.minX, c.maxX, c.minY, c.maxY);
            const LeftTurnReach& left = w.leftTurnReach;
            note(left.minX, left.maxX, left.minY, left.maxY);
        }
        MainView& view = *form_->mainView;
        view.visitedMinX = minX_;
        view.visitedMaxX = maxX_;
        view.visitedMinY = minY_;
        view.visitedMaxY = maxY_;
    }

    // Outside code may have moved the image, the view or the extent since the last look.
    void reload(World& w) {
        if (w.outsideCalls != outsideCalls_) [[unlikely]] *this = loaded(w, form_);
    }

private:
    static constexpr bool Gathers = Size >= 2;

    template <class Painted>
    [[gnu::always_inline]] void tellEye(World& w, int32_t ant, AntPos at, Painted painted, uint8_t cleared) {
        w.counters.currentAnt = ant;
        w.antPos[ant] = at;  // the lone ant's loop keeps its square in registers
        Colour::tellEye(*form_->eyeWindow, outsideCalls_, at, painted, cleared);
    }

    [[gnu::always_inline]] void note(AntPos at) { note(at.x, at.x, at.y, at.y); }
    [[gnu::always_inline]] void note(int32_t minX, int32_t maxX, int32_t minY, int32_t maxY) {
        minX_ = std::min(minX_, minX);
        maxX_ = std::max(maxX_, maxX);
        minY_ = std::min(minY_, minY);
        maxY_ = std::max(maxY_, maxY);
    }

    [[gnu::always_inline]] void fill(AntPos at, uint32_t argb) {
        if constexpr (Size == GenericSize) {
            target_->fill(at.x, at.y, argb);
        } else if constexpr (Gathers) {
            // Squares off the surface are passed by a branch. A spread-out run keeps most moves
            // off the view, which predicts well; and skipping the store and the range beat a
            // branchless store into a scratch entry even with half the moves on the view.
            const uint32_t column = static_cast<uint32_t>(at.x) - firstX_;
            const uint32_t row = static_cast<uint32_t>(at.y) - firstY_;
            if ((column < columns_) & (row < rows_)) {
                const uint32_t entry = row * columns_ + column;
                entries_[entry] = argb;
                lowest_ = std::min(lowest_, entry);
                highest_ = std::max(highest_, entry);
            }
        } else {
            fixed_.template fill<Size>(at.x, at.y, argb);
        }
    }

    // Out of line: it runs once per frame, or per move only while the hand brake is on. The rows
    // of the written entries, passing over empty entries four at a time; at size 2 the squares
    // that lie whole on the surface are drawn four at a time too, which a frame of many ants
    // fills most of.
    [[gnu::noinline]] void flush() {
        const PixelTarget::FixedFill fixed = target_->fixedFill();
        // The whole squares' columns among the touched ones (the whole lie within them).
        const uint32_t wholeFrom = std::min(fixed.whole.x.first - firstX_, columns_);
        const uint32_t wholeTo =
            static_cast<uint32_t>(std::min<uint64_t>(uint64_t{wholeFrom} + fixed.whole.x.count, columns_));
        const uint32_t lastRow = highest_ / columns_;
        for (uint32_t row = lowest_ / columns_; row <= lastRow; ++row) {
            uint32_t* entries = entries_ + std::size_t{row} * columns_;
            const auto y = static_cast<int32_t>(firstY_ + row);
            if constexpr (Size == 2) {
                if (fixed.whole.y.holds(y)) {
                    drawSome(fixed, entries, 0, wholeFrom, y);
                    const uint32_t drawn = drawWholeSquaresOfSize2(fixed, entries, wholeFrom, wholeTo, y);
                    drawSome(fixed, entries, drawn, columns_, y);
                    continue;
                }
            }
            drawSome(fixed, entries, 0, columns_, y);
        }
        lowest_ = UINT32_MAX;
        highest_ = 0;
    }

    // Draws the written entries from..to of one row and empties them.
    void drawSome(const PixelTarget::FixedFill& fixed, uint32_t* entries, uint32_t from, uint32_t to, int32_t y) const {
        for (uint32_t column = from; column < to;) {
            if (column + 4 <= to) {
                uint64_t pair[2];
                std::memcpy(pair, entries + column, sizeof pair);
                if ((pair[0] | pair[1]) == 0) {
                    column += 4;
                    continue;
                }
            }
            if (const uint32_t argb = entries[column]) {
                fixed.template fill<Size>(static_cast<int32_t>(firstX_ + column), y, argb);
                entries[column] = 0;
            }
            ++column;
        }
    }

    // Squares of size 2 that lie whole on the surface, four entries at a time: each entry's
    // colour twice on both of its pixel lines, an empty entry's pixels as they were. Answers the
    // first column not drawn.
    uint32_t drawWholeSquaresOfSize2(const PixelTarget::FixedFill& fixed, uint32_t* entries, uint32_t from,
                                     uint32_t to, int32_t y) const {
#if defined(__SSE2__)
        const __m128i none = _mm_setzero_si128();
        const uint64_t firstPixel = fixed.squareOrigin +
                                    static_cast<uint64_t>((int64_t{static_cast<int32_t>(firstX_ + from)}) * 8) -
                                    static_cast<uint64_t>(int64_t{y} * fixed.rowStep);
        auto* line = reinterpret_cast<uint8_t*>(static_cast<uintptr_t>(firstPixel));
        uint32_t column = from;
        for (; column + 4 <= to; column += 4, line += 32) {
            const __m128i four = _mm_loadu_si128(reinterpret_cast<const __m128i*>(entries + column));
            const __m128i empty = _mm_cmpeq_epi32(four, none);
            if (_mm_movemask_epi8(empty) == 0xFFFF) continue;
            const __m128i left = _mm_unpacklo_epi32(four, four), right = _mm_unpackhi_epi32(four, four);
            const __m128i keepLeft = _mm_unpacklo_epi32(empty, empty), keepRight = _mm_unpackhi_epi32(empty, empty);
            for (int r = 0; r < 2; ++r) {
                auto* pixels = reinterpret_cast<__m128i*>(line + r * fixed.bytesPerLine);
                const __m128i oldLeft = _mm_loadu_si128(pixels), oldRight = _mm_loadu_si128(pixels + 1);
                _mm_storeu_si128(pixels, _mm_or_si128(_mm_and_si128(keepLeft, oldLeft), _mm_andnot_si128(keepLeft, left)));
                _mm_storeu_si128(pixels + 1,
                                 _mm_or_si128(_mm_and_si128(keepRight, oldRight), _mm_andnot_si128(keepRight, right)));
            }
            _mm_storeu_si128(reinterpret_cast<__m128i*>(entries + column), none);
        }
        return column;
#else
        (void)fixed, (void)entries, (void)to, (void)y;
        return from;
#endif
    }

    WindowPainter() = default;

    // Out of line and by value: the painter's own address never leaves the loop, so its fields
    // can live in registers.
    [[gnu::noinline]] static WindowPainter loaded(World& w, PaintContext* form) {
        WindowPainter p;
        p.form_ = form;
        p.outsideCalls_ = w.outsideCalls;
        MainView& view = *form->mainView;
        p.minX_ = view.visitedMinX;
        p.maxX_ = view.visitedMaxX;
        p.minY_ = view.visitedMinY;
        p.maxY_ = view.visitedMaxY;
        if constexpr (Size != ExtentOnly) {
            p.target_ = &view.pixelTarget(p.outsideCalls_);
            p.fixed_ = p.target_->fixedFill();
        }
        if constexpr (EyeFollows) {
            // The eye's own way for the usual options, held here: no look at the eye per move.
            if (!w.generalized)
                if (const auto kept = form->eyeWindow->keptSquareTables(p.outsideCalls_, Colour::blackSquares)) {
                    p.eye_ = *kept;
                    p.eyeKept_ = true;
                }
        }
        if constexpr (Gathers) {
            const PixelTarget::TouchedSquares touched = p.target_->touchedSquares();
            p.firstX_ = touched.firstX;
            p.firstY_ = touched.firstY;
            p.columns_ = touched.columns;
            p.rows_ = touched.rows;
            p.entries_ = view.squareEntries(std::size_t{touched.columns} * touched.rows);
        }
        return p;
    }

    PaintContext* form_ = nullptr;
    uint64_t outsideCalls_ = 0;
    int32_t minX_ = 0, maxX_ = 0, minY_ = 0, maxY_ = 0;
    bool eyeKept_ = false;       // the eye draws these moves through eye_
    KeptSquareTables eye_{};
    const PixelTarget* target_ = nullptr;
    PixelTarget::FixedFill fixed_{};
    // The compact buffer: the touched squares' entries row by row from (firstX_, firstY_), 0
    // where none was written since the last flush. Entries lowest_ .. highest_ may have been
    // written; none when lowest_ is above highest_.
    uint32_t* entries_ = nullptr;
    uint32_t firstX_ = 0, firstY_ = 0, columns_ = 0, rows_ = 0;
    uint32_t lowest_ = UINT32_MAX, highest_ = 0;
};

}  // namespace qm
