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
    // The eye's own operations read the current ant and its square from the world.
    static constexpr bool readsWorld = EyeFollows;
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
                    Colour::tellEye(*form_->eyeWindow, outsideCalls_, at, [&w, ant] { return Colour::argb(w, ant); },
                                    cleared);
            }
        } else {
            const uint32_t painted = Colour::argb(w, ant);
            fill(at, paintedOrWhite(cleared, painted));
            if constexpr (EyeFollows) {
                if (eyeKept_) [[likely]]
                    eye_.plot(at, painted, cleared);
                else
                    Colour::tellEye(*form_->eyeWindow, outsideCalls_, at, [painted] { return painted; }, cleared);
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
            if (lowest_ < entryCount_) [[unlikely]] flush();
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

    // Out of line: it runs once per frame, or per move only while the hand brake is on.
    [[gnu::noinline]] void flush() {
        const PixelTarget::FixedFill fixed = target_->fixedFill();
        const uint32_t last = highest_;
        uint32_t column = lowest_ % columns_;
        uint32_t row = lowest_ / columns_;
        for (uint32_t entry = lowest_; entry <= last; ++entry) {
            if (const uint32_t argb = entries_[entry]) {
                fixed.template fill<Size>(static_cast<int32_t>(firstX_ + column), static_cast<int32_t>(firstY_ + row),
                                          argb);
                entries_[entry] = 0;
            }
            if (++column == columns_) {
                column = 0;
                ++row;
            }
        }
        lowest_ = UINT32_MAX;
        highest_ = 0;
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
            p.entryCount_ = touched.columns * touched.rows;
            p.entries_ = view.squareEntries(p.entryCount_);
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
    // The compact buffer: the touched squares' entries row by row from (firstX_, firstY_).
    // Entries lowest_ .. highest_ may have been written since the last flush; none when lowest_
    // is past the squares' entries.
    uint32_t* entries_ = nullptr;
    uint32_t firstX_ = 0, firstY_ = 0, columns_ = 0, rows_ = 0, entryCount_ = 0;
    uint32_t lowest_ = UINT32_MAX, highest_ = 0;
};

}  // namespace qm
