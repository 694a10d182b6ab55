#pragma once
// The window's painters as per-move policies of the step loops (StepLoopBodies.h): what the
// per-move hooks of SquarePainters.cpp draw, with the view's extent, its pixel target and the
// count of outside calls kept in the loop's registers instead of read back every move.
// From size 2 up, a Langton move sets one bit for its square, when the view shows it, instead of
// drawing s x s pixels: a bit per square keeps the marks in the nearest cache, where a colour per
// square would not stay, and the step loop pays for every store that leaves it. Every publish,
// which comes before any outside code can look at the image, draws the marked squares as the
// world holds them now: the last move on a square left its painter in the grid or the store, or
// left it empty, and the per-move fill would have drawn that ant's colour or a cleared square's
// white.

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>

#include "core/SquareStates.h"
#include "core/World.h"
#include "display/MoveReplay.h"
#include "display/SquareMarks.h"
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
// `Replays`: a many-ant indexed run hands each move's turn result to the view's MoveReplay thread,
// which sets the marks and draws the eye's kept pixels; the loop only writes a byte per move.
template <class Colour, int Size, bool EyeFollows, bool Replays = false>
class WindowPainter {
public:
    // Only the eye's own operations read the current ant and its square from the world: the
    // moves that go to them set both (tellEye below), the others leave the loop's stores out.
    static constexpr bool readsWorld = false;
    static constexpr bool notesLeftTurns = true;
    // Measured: the marking sizes and the indexed modes' item "0" gain by the loop's counters in
    // registers (item "0" 4-7% on a second machine, where the first had shown nothing; black and
    // white lost 1-2% there); the sizes that fill per move need the registers for the fill more.
    static constexpr bool inlinesPublish = Size >= 2 || (Size == ExtentOnly && !Colour::blackSquares);
    static constexpr bool inlinesService = inlinesPublish;

    // A Langton move notes nothing: the squares it paints are where ants stood when the loop
    // began or where moves took them since, which the counters' box (right turns) and the left
    // turns' reach cover. Both join the extent at every publish, the ants' places here.
    explicit WindowPainter(World& w)
        : WindowPainter(loaded(w, static_cast<PaintContext*>(w.hooks.context), w.resumeAnt)) {
        if (!w.generalized)
            for (int32_t ant = 0; ant < w.counters.antCount; ++ant) note(w.antPos[ant]);
    }

    [[gnu::always_inline]] void move(World& w, int32_t ant, AntPos at, int32_t turn) {
        const uint8_t cleared = static_cast<uint8_t>(turn);
        if constexpr (Replays) {
            turnRow_[ant] = static_cast<uint8_t>(turn);
            if constexpr (EyeFollows)
                if (!eyeKept_) [[unlikely]] tellEye(w, *form_->eyeWindow, outsideCalls_, ant, at.x, at.y, cleared);
            return;
        }
        if constexpr (Gathers) marks_.template mark<RowMajor>(at);
        else if constexpr (Size != ExtentOnly) fill(at, paintedOrWhite(cleared, Colour::argb(w, ant)));
        eyeMove(w, ant, at, cleared);
    }

    // A black-and-white move whose square the store could not take (the run stops after it):
    // drawn painted at once, as the per-move hooks draw it, since the world does not hold it.
    void unstoredMove(World& w, int32_t ant, AntPos at) {
        if constexpr (Gathers) fixed_.template fill<Size>(at.x, at.y, Colour::argb(w, ant));
        else if constexpr (Size != ExtentOnly) fill(at, Colour::argb(w, ant));
        eyeMove(w, ant, at, 0);
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
        if constexpr (Replays) replay_->catchUp();
        if (!w.generalized) {  // Langton moves: the extent comes from the box, not from the moves
            if constexpr (Gathers) drawMarkedSquares(w, marks_, *target_);
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

    // After a whole step: a replay takes the next one in a new row.
    void stepDone(World&) {
        if constexpr (Replays) turnRow_ = replay_->nextRow();
    }

    // Outside code may have moved the image, the view or the extent since the last look.
    void reload(World& w) {
        if (w.outsideCalls != outsideCalls_) [[unlikely]] {
            int32_t nextAnt = 0;
            if constexpr (Replays) {
                replay_->catchUp();
                nextAnt = replay_->nextAnt();
            }
            *this = loaded(w, form_, nextAnt);
        }
    }

private:
    static constexpr bool Gathers = Size >= 2;
    // The marks follow the grid's order, so that drawing them reads the grid along its lines:
    // indexed grids keep a column of squares together, black-and-white ones a row.
    static constexpr bool RowMajor = Colour::blackSquares;
    static_assert(!Replays || (!Colour::blackSquares && (Gathers || (Size == ExtentOnly && EyeFollows))),
                  "the replay draws indexed moves into the marks or the eye");

    // The eye's part of a move. The colour only matters to an eye that draws: it is read then.
    [[gnu::always_inline]] void eyeMove(World& w, int32_t ant, AntPos at, uint8_t cleared) {
        if constexpr (EyeFollows) {
            if (eyeKept_) [[likely]]
                eye_.plot(at, Colour::argb(w, ant), cleared);
            else
                tellEye(w, *form_->eyeWindow, outsideCalls_, ant, at.x, at.y, cleared);
        }
    }

    // The eye's own operations, for moves the kept tables do not draw. Out of line and cold, with
    // everything by value: inlined, their calls made the compiler keep the loop's values in
    // memory around them, which cost a shown eye 5% of its speed even when never taken. The
    // square comes as two numbers, as the loop wrote them.
    [[gnu::noinline, gnu::cold]] static void tellEye(World& w, EyeWindow& eye, uint64_t outsideCalls, int32_t ant,
                                                     int32_t x, int32_t y, uint8_t cleared) {
        const AntPos at{x, y};
        w.counters.currentAnt = ant;
        w.antPos[ant] = at;  // the lone ant's loop keeps its square in registers
        Colour::tellEye(eye, outsideCalls, at, [&w, ant] { return Colour::argb(w, ant); }, cleared);
    }

    [[gnu::always_inline]] void note(AntPos at) { note(at.x, at.x, at.y, at.y); }
    [[gnu::always_inline]] void note(int32_t minX, int32_t maxX, int32_t minY, int32_t maxY) {
        minX_ = std::min(minX_, minX);
        maxX_ = std::max(maxX_, maxX);
        minY_ = std::min(minY_, minY);
        maxY_ = std::max(maxY_, maxY);
    }

    [[gnu::always_inline]] void fill(AntPos at, uint32_t argb) {
        if constexpr (Size == GenericSize) target_->fill(at.x, at.y, argb);
        else fixed_.template fill<Size>(at.x, at.y, argb);
    }

    // Out of line: it runs once per frame, or per move only while the hand brake is on.
    // Static, with what it needs by value: the painter's own address never leaves the loop.
    [[gnu::noinline]] static void drawMarkedSquares(const World& w, SquareMarks marks, const PixelTarget& target) {
        if constexpr (Colour::blackSquares) {
            drawMarks(marks, target, [&w](int32_t y) {
                return [row = BlackRow(w, y)](int32_t x) { return toArgb(row.blackAt(x) ? Black : White); };
            });
        } else {
            switch (w.grid.width) {
                case CellWidth::Nibble: drawMarkedIndexedSquares<CellWidth::Nibble>(w, marks, target); break;
                case CellWidth::Byte: drawMarkedIndexedSquares<CellWidth::Byte>(w, marks, target); break;
                default: drawMarkedIndexedSquares<CellWidth::Word>(w, marks, target); break;
            }
        }
    }
    template <CellWidth Width>
    static void drawMarkedIndexedSquares(const World& w, const SquareMarks& marks, const PixelTarget& target) {
        // Empty squares and painted ones come in no order: the colour is chosen by a mask, which
        // the empty asm hides from the compiler, as it would turn the choice back into a branch.
        drawMarks(marks, target, [&w](int32_t x) {
            return [colours = w.antColour, column = IndexedColumn<Width>(w, x)](int32_t y) {
                const uint32_t ant = column.valueAt(y);
                uint32_t painted = 0u - static_cast<uint32_t>(ant != indexedEmpty(Width));
                asm("" : "+r"(painted));
                const uint32_t white = toArgb(White);
                const uint32_t argb = AntColour::argbOf(colours, ant & painted);
                return white ^ ((argb ^ white) & painted);
            };
        });
    }
    // Draws every marked square and clears its mark, a line of marks at a time: `lineOf(v)` gives
    // for the line at coordinate v the colour of each square along it (RowMajor: v is y, the
    // colour's argument x; otherwise the other way round). Measured: drawing in the image's row
    // order took as long, and skipping a square whose pixel has its colour already took longer.
    template <class LineColours>
    static void drawMarks(const SquareMarks& marks, const PixelTarget& target, LineColours&& lineOf) {
        const PixelTarget::FixedFill fixed = target.fixedFill();
        const uint32_t lines = RowMajor ? marks.rows : marks.columns;
        // On a line that lies whole on the surface, a square away from the edges is written
        // straight to its pixels; the rest go through the clipping fill.
        const auto& wholeAlong = RowMajor ? fixed.whole.x : fixed.whole.y;
        for (uint32_t line = 0; line < lines; ++line) {
            uint64_t* words = marks.words + std::size_t{line} * marks.wordsPerLine;
            const auto at = static_cast<int32_t>((RowMajor ? marks.firstY : marks.firstX) + line);
            const auto argbAlong = lineOf(at);
            const bool wholeLine = RowMajor ? fixed.whole.y.holds(at) : fixed.whole.x.holds(at);
            for (uint32_t k = 0; k < marks.wordsPerLine; ++k) {
                uint64_t word = words[k];
                if (word == 0) continue;
                words[k] = 0;
                do {
                    const uint32_t along = k * 64 + static_cast<uint32_t>(std::countr_zero(word));
                    word &= word - 1;
                    const auto other = static_cast<int32_t>((RowMajor ? marks.firstX : marks.firstY) + along);
                    const uint32_t argb = argbAlong(other);
                    const int32_t x = RowMajor ? other : at;
                    const int32_t y = RowMajor ? at : other;
                    if (wholeLine && wholeAlong.holds(other)) [[likely]]
                        fixed.template square<Size>(fixed.template address<Size>(x, y), static_cast<uint64_t>(fixed.bytesPerLine), argb);
                    else
                        fixed.template fill<Size>(x, y, argb);
                } while (word != 0);
            }
        }
    }

    WindowPainter() = default;

    // Out of line and by value: the painter's own address never leaves the loop, so its fields
    // can live in registers.
    // `nextAnt`: the ant of the next move, where a replay's session starts.
    [[gnu::noinline]] static WindowPainter loaded(World& w, PaintContext* form, [[maybe_unused]] int32_t nextAnt) {
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
            SquareMarks& marks = p.marks_;
            marks.firstX = touched.firstX;
            marks.firstY = touched.firstY;
            marks.columns = touched.columns;
            marks.rows = touched.rows;
            const uint32_t lines = RowMajor ? touched.rows : touched.columns;
            const uint32_t along = RowMajor ? touched.columns : touched.rows;
            marks.wordsPerLine = along / 64 + (along % 64 != 0);
            marks.words = view.squareMarks(std::size_t{lines} * marks.wordsPerLine);
        }
        if constexpr (Replays) {
            MoveReplay& replay = view.moveReplay();
            p.replay_ = &replay;
            MoveReplay::Session session;
            session.antCount = w.counters.antCount;
            session.nextAnt = nextAnt;
            session.positions = w.antPos;
            session.antWords = w.antColour;
            if constexpr (Gathers) session.marks = p.marks_;
            if constexpr (EyeFollows)
                if (p.eyeKept_) session.eye = p.eye_;
            p.turnRow_ = replay.begin(session);
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
    // The marks: a bit per square the surface touches; set where a move landed since the last
    // publish.
    SquareMarks marks_{};
    // The replay, and its row for this step's turn results.
    MoveReplay* replay_ = nullptr;
    uint8_t* turnRow_ = nullptr;
};

}  // namespace qm
