#pragma once
// The bodies of the step loops, templates over the update of a mode's square and over a per-move
// painter: the headless run instantiates them with a painter that does nothing, the window with
// its own painters, so that a move and its paint are one inlined body. StepLoops.cpp runs them.

#include <algorithm>
#include <bit>
#include <cstdint>
#include <optional>

#include "core/SquareUpdate.h"
#include "core/StepLoops.h"
#include "core/World.h"

namespace qm::steps {


// Coordinates wrap around at the ends of the 32-bit range instead of overflowing.
inline int32_t plusOne(int32_t v) { return static_cast<int32_t>(static_cast<uint32_t>(v) + 1u); }
inline int32_t minusOne(int32_t v) { return static_cast<int32_t>(static_cast<uint32_t>(v) - 1u); }

enum class MoveOutcome { Continue, LeaveAntLoop };

// Before every call out of the loop other than the per-move painters.
inline void handControlOutside(World& w) { ++w.outsideCalls; }

inline void stopWith(World& w, StopReason reason, const char* text, BoxType type) {
    w.lastStop = reason;
    handControlOutside(w);
    w.messages->showMessage(text, type);
    w.idle = 1;
}

inline void reportFailedUpdate(World& w) {
    if (w.counters.stepCount == 0)
        stopWith(w, StopReason::InvalidStart, MsgInvalidStart, BoxType::Error);
    else
        stopWith(w, StopReason::CannotSet, MsgCannotSet, BoxType::Error);
}

// Checks after a right-turn move, in their order; true when one stopped the run.
inline bool rightTurnLimitsHit(World& w) {
    const RunCounters& c = w.counters;
    if (c.filled >= w.limits.filledMax) {
        stopWith(w, StopReason::Filled, MsgMaxFilled, BoxType::Warning);
        return true;
    }
    const int32_t b = w.limits.axisBound;
    const int32_t nb = w.limits.axisBoundNeg;
    if (c.maxX >= b || c.maxY >= b || c.minX <= nb || c.minY <= nb) {
        stopWith(w, StopReason::Axis, MsgAxis, BoxType::Warning);
        return true;
    }
    return false;
}

inline bool stepMaxHit(World& w) {
    if (w.counters.stepCount >= w.limits.stepMax) {
        stopWith(w, StopReason::StepMax, MsgStepMax, BoxType::Warning);
        return true;
    }
    return false;
}

// Hand brake: counted event processing after every move; at position 100 it never advances.
template <bool Generalized>
inline void handBrake(World& w) {
    const uint32_t count = w.handBrakeCount;
    if (count == 0) return;
    for (uint32_t k = 0; k < w.handBrakeCount;) {
        if constexpr (Generalized) w.squareStateFromStore = 1;
        handControlOutside(w);
        w.pump->processEvents();
        if (w.trackBarPosition < 100) ++k;
        if (w.idle) break;
    }
}

// Direction codes of the ants of one run: the top byte of each colour word (indexed) or a byte
// array (black-and-white). The arrays stay put for the whole run, so the loop keeps a base pointer.
struct IndexedDirections {
    static constexpr int32_t kStride = sizeof(uint32_t);
    static constexpr int32_t kTopByte = std::endian::native == std::endian::little ? 3 : 0;
    uint8_t* base;
    explicit IndexedDirections(World& w) : base(reinterpret_cast<uint8_t*>(w.antColour) + kTopByte) {}
    uint8_t get(int32_t ant) const { return base[ant * kStride]; }
    void set(int32_t ant, uint8_t d) const { base[ant * kStride] = d; }
};
struct ByteDirections {
    uint8_t* base;
    explicit ByteDirections(World& w) : base(w.antDir) {}
    uint8_t get(int32_t ant) const { return base[ant]; }
    void set(int32_t ant, uint8_t d) const { base[ant] = d; }
};

// The square update of a mode (`apply`), and its parts for the lone ant's pass, which addresses
// inside squares by their linear index (`FastGrid::cellNumber` / `bitNumber`) of type `Index`;
// that index moves by `indexStep` per square of a move. Every indexed grid has fewer than 2^32
// cells, and 32 bits keep the pass as lean as it can be; a bit grid needs 64. The per-move parts
// are always inlined: next to a painter, the compiler might otherwise leave them as calls.
template <CellWidth Width>
struct IndexedUpdate {
    using Directions = IndexedDirections;
    using Index = uint32_t;
    static constexpr bool failureLeavesAntLoop = true;
    [[gnu::always_inline]] static int32_t apply(World& w, const FastGrid& g, int32_t ant, int32_t x, int32_t y) {
        return squareUpdateIndexed<Width>(w, g, ant, x, y);
    }
    [[gnu::always_inline]] static Index squareIndex(const FastGrid& g, int32_t x, int32_t y) {
        return static_cast<Index>(g.cellNumber(x, y));
    }
    static Index indexStep(const FastGrid& g, int32_t dx, int32_t dy) {
        return static_cast<Index>(dx) * static_cast<Index>(g.side) + static_cast<Index>(dy);
    }
    [[gnu::always_inline]] static int32_t look(const FastGrid& g, uint64_t index) {
        return indexedCellPainted<Width>(g, index);
    }
    static uintptr_t byteOffset(uint64_t index) {
        return Width == CellWidth::Nibble ? index >> 1 : Width == CellWidth::Byte ? index : index * 2;
    }
    [[gnu::always_inline]] static void take(const FastGrid& g, int32_t ant, uint64_t index, int32_t turn) {
        indexedCellToggle<Width>(g, index, turn, ant);
    }
};
struct BWUpdate {
    using Directions = ByteDirections;
    using Index = uint64_t;
    static constexpr bool failureLeavesAntLoop = false;
    [[gnu::always_inline]] static int32_t apply(World& w, const FastGrid& g, int32_t, int32_t x, int32_t y) {
        return squareUpdateBW(w, g, x, y);
    }
    [[gnu::always_inline]] static uint64_t squareIndex(const FastGrid& g, int32_t x, int32_t y) {
        return g.bitNumber(x, y);
    }
    static uint64_t indexStep(const FastGrid& g, int32_t dx, int32_t dy) {
        return static_cast<uint64_t>(dx + int64_t{dy} * 8 * g.rowBytes);
    }
    [[gnu::always_inline]] static int32_t look(const FastGrid& g, uint64_t index) { return bwBitBlack(g, index); }
    static uintptr_t byteOffset(uint64_t index) { return index >> 3; }
    [[gnu::always_inline]] static void take(const FastGrid& g, int32_t, uint64_t index, int32_t) {
        bwBitFlip(g, index);
    }
};

// Turning and moving of indexed and black-and-white ants by table, without a branch per move:
// indexed by the old code (codes outside 1-4 act as 4) and the turn result, the new code, its
// move and the box side it may widen. The old code picks the row before the square is read, so
// the turn result only adds to an address.
struct LangtonTables {
    static constexpr int8_t stepX[5] = {0, 1, 0, -1, 0};
    static constexpr int8_t stepY[5] = {0, 0, -1, 0, 1};
    uint8_t turn[256][2];
    int8_t moveX[256][2];
    int8_t moveY[256][2];
    uint8_t boxSide[256][2];  // the side a move may widen: its new code, 0 (none) for a left turn
    // The same with the reach of left turns, which the window's painters need and no limit looks
    // at: a left turn's slot is four above its new code.
    uint8_t reachSide[256][2];
    constexpr LangtonTables() : turn{}, moveX{}, moveY{}, boxSide{}, reachSide{} {
        for (int d = 0; d < 256; ++d) {
            turn[d][0] = d == 1 ? 2 : d == 2 ? 3 : d == 3 ? 4 : 1;  // right: 1 -> 2 -> 3 -> 4 -> 1
            turn[d][1] = d == 1 ? 4 : d == 2 ? 1 : d == 3 ? 2 : 3;  // left:  1 -> 4 -> 3 -> 2 -> 1
            for (int r = 0; r < 2; ++r) {
                moveX[d][r] = stepX[turn[d][r]];
                moveY[d][r] = stepY[turn[d][r]];
                boxSide[d][r] = r ? 0 : turn[d][r];
                reachSide[d][r] = static_cast<uint8_t>(turn[d][r] + (r ? 4 : 0));
            }
        }
    }
};
inline constexpr LangtonTables kLangton;

inline int32_t wrappingAdd(int32_t v, int32_t d) {
    return static_cast<int32_t>(static_cast<uint32_t>(v) + static_cast<uint32_t>(d));
}

// One ant move of generalized mode (directions 0 = X+, 1 = Y-, 2 = X-, 3 = Y+). The painter
// publishes what it keeps before anything outside the loop runs and reloads after.
template <class Painter>
inline MoveOutcome moveGeneralizedAnt(World& w, int32_t ant, Painter& painter) {
    AntPos& p = w.antPos[ant];
    uint8_t& dir = w.antDir[ant];
    const int32_t r = squareUpdateGeneralized(w, w.antProgram[ant], p.x, p.y);
    painter.genSquare(w, p);
    if (r == 1) {
        dir = static_cast<uint8_t>((dir + 3) & 3);
        switch (dir) {
            case 0: p.x = plusOne(p.x); break;
            case 1: p.y = minusOne(p.y); break;
            case 2: p.x = minusOne(p.x); break;
            default: p.y = plusOne(p.y); break;
        }
    } else {
        if (r != 0) {
            painter.publish(w);
            reportFailedUpdate(w);
            painter.reload(w);
        }
        RunCounters& c = w.counters;
        dir = static_cast<uint8_t>((dir + 1) & 3);
        switch (dir) {
            case 0: p.x = plusOne(p.x); if (p.x > c.maxX) c.maxX = p.x; break;
            case 1: p.y = minusOne(p.y); if (p.y < c.minY) c.minY = p.y; break;
            case 2: p.x = minusOne(p.x); if (p.x < c.minX) c.minX = p.x; break;
            default: p.y = plusOne(p.y); if (p.y > c.maxY) c.maxY = p.y; break;
        }
        painter.publish(w);  // the checks may show a message
        if (rightTurnLimitsHit(w)) return MoveOutcome::LeaveAntLoop;
    }
    painter.publish(w);
    if (stepMaxHit(w)) return MoveOutcome::LeaveAntLoop;
    handBrake<true>(w);
    painter.reload(w);
    return w.idle ? MoveOutcome::LeaveAntLoop : MoveOutcome::Continue;
}

// Per-move painter policies of the loops. A painter gets every move as it happens: the ant, the
// square just updated and the turn result (1: the square was cleared); a generalized square
// leaves its state where the square update put it. A black-and-white move whose square the store
// could not take goes to `unstoredMove` instead, as a painted square. What a painter keeps in its
// own fields lives in the loop's registers: `publish` writes it back before anything outside the
// loop runs, and `reload` catches up after (both cheap when nothing happened). `readsWorld`: the painter reads
// the current ant and its square from the world, so the loop keeps them there for it.
// `notesLeftTurns`: the loop keeps the reach of left-turn moves (World::leftTurnReach) for it.
// `inlinesPublish`: the loop inlines every publish, so that no pointer to its counters leaves it
// and they stay in registers; `inlinesService`: the pacer's calls too, which pays for painters
// with state of their own in the loop and costs the headless loop (measured, both ways).
// `stepDone` follows every step the ant loop went through to its end (the Langton loop only).

// Nothing to paint: the headless run.
struct NoPainter {
    static constexpr bool readsWorld = false;
    static constexpr bool notesLeftTurns = false;
    static constexpr bool inlinesPublish = true;
    static constexpr bool inlinesService = false;
    static bool fits(const World& w) {
        return w.hooks.paint == noHook && w.hooks.erase == noHook && w.hooks.genSquare == noHook;
    }
    explicit NoPainter(World&) {}
    void move(World&, int32_t, AntPos, int32_t) {}
    void unstoredMove(World&, int32_t, AntPos) {}
    void genSquare(World&, AntPos) {}
    void publish(World&) {}
    void stepDone(World&) {}
    void reload(World&) {}
};

// The world's hooks, one indirect call per move: whatever is installed, read again every move.
struct HookPainter {
    static constexpr bool readsWorld = true;
    static constexpr bool notesLeftTurns = false;
    static constexpr bool inlinesPublish = true;
    static constexpr bool inlinesService = false;
    explicit HookPainter(World&) {}
    void move(World& w, int32_t, AntPos, int32_t turn) {
        w.lastTurn = static_cast<uint8_t>(turn);
        const Hook hook = turn ? w.hooks.erase : w.hooks.paint;
        hook(w.hooks.context);
    }
    void unstoredMove(World& w, int32_t ant, AntPos at) { move(w, ant, at, 0); }
    void genSquare(World& w, AntPos) { w.hooks.genSquare(w.hooks.context); }
    void publish(World&) {}
    void stepDone(World&) {}
    void reload(World&) {}
};

// The end of every step, for all modes. The events are served at most once per presented frame
// (every step while the hand brake is on): when the frame countdown says the window is due, the
// step hook runs with this step's counters and the next step's event processing really presents
// the window, so what a person sees is exactly what the per-step hook would have shown.
class StepPacer {
public:
    explicit StepPacer(World& w) : countdown_(w.frameCountdown) {}

    // Serves the window after the ant loop; false when the run ends here. `publish` writes the
    // loop's local counters back before anything outside can look at them.
    template <class Publish>
    bool serveEvents(World& w, bool leftEarly, Publish&& publish) {
        return serveEventsInlined(w, leftEarly, publish);
    }
    // The same, always inlined: see Painter::inlinesService.
    template <class Publish>
    [[gnu::always_inline]] bool serveEventsInlined(World& w, bool leftEarly, Publish&& publish) {
        bool outsideCalled = leftEarly;  // only messages and event processing set the idle flag
        servedEvents_ = false;
        if (presentNow_ || w.handBrakeCount != 0) {
            presentNow_ = false;
            publish();
            handControlOutside(w);
            w.pump->processEvents();
            outsideCalled = true;
            servedEvents_ = true;
        }
        if (outsideCalled && w.idle) {
            publish();
            if (w.lastStop == StopReason::None) w.lastStop = StopReason::UserBreak;
            return false;
        }
        return true;
    }

    // True when the last serveEvents ran outside code, which may have changed hooks or the brake.
    bool servedEvents() const { return servedEvents_; }

    // Calls the step hook when this step's picture will be presented.
    template <class Publish>
    void stepHook(World& w, int32_t antCount, Publish&& publish) {
        stepHookInlined(w, antCount, publish);
    }
    template <class Publish>
    [[gnu::always_inline]] void stepHookInlined(World& w, int32_t antCount, Publish&& publish) {
        countdown_ -= antCount;
        if (countdown_ <= 0) [[unlikely]] {
            countdown_ = w.frameCountdownReload;
            presentNow_ = w.pump->frameDue();
        }
        if (presentNow_ || w.handBrakeCount != 0) {
            publish();
            handControlOutside(w);
            w.hooks.step(w.hooks.context);
        }
    }

    // Steps that can pass without any service: no frame pending and the countdown not expiring.
    int64_t stepsWithoutService() const { return presentNow_ ? 0 : countdown_ - 1; }
    void skipSteps(int64_t steps) { countdown_ -= static_cast<int32_t>(steps); }

    void save(World& w) const { w.frameCountdown = countdown_; }

private:
    int32_t countdown_;
    bool presentNow_ = true;
    bool servedEvents_ = false;
};

// Which instance of the Langton loop serves a run now: a lone ant without the hand brake takes its
// steps between frames in one pass (loneAntSteps); everything else goes through the general loop.
inline bool loneAntInstance(const World& w) { return w.counters.antCount == 1 && w.handBrakeCount == 0; }

// A lone ant without the hand brake: every move is a whole step, and the steps between two frames
// need nothing from outside but the painter, which no event can change meanwhile. Each move
// looks at its square first and is taken here only when it stays on the fast grid, reaches no
// axis bound and stays below the filled filter; the loop's full move takes the others. Position,
// code and the linear square index live in registers; the index moves by a per-direction step
// instead of a multiplication. Coordinates are shifted (u = X + R, v = Y + R): the ant is on the
// grid before each move, so after it they lie in -1 .. 2R + 1 and compare as plain integers with
// the box and the bounds brought into the same terms.
struct LoneAntRun {
    int32_t x;
    int32_t y;
    uint8_t code;
    int64_t filled;
    int64_t peak;
};

// Slots of the box: 1-4 the counters' sides by the code of a right-turn move, 5-8 the same for
// left-turn moves; slot 0 is no side. Minimum sides are held bit-inverted.
inline constexpr int kBoxSlots = 9;
inline constexpr int32_t kSideMask[kBoxSlots] = {0, 0, -1, -1, 0, 0, -1, -1, 0};
inline constexpr int kLeftTurnSlots = 5;

// A hint to the cache for the square of a linear index; the index of a square off the grid
// names an address beyond the block, which a prefetch may name without touching it.
template <class Update>
inline void prefetchIndex(const FastGrid& g, uint64_t index) {
    const uintptr_t address = reinterpret_cast<uintptr_t>(g.cells) + Update::byteOffset(index);
    __builtin_prefetch(reinterpret_cast<const void*>(address), 1);
}

// A side of the box or a bound (bit-inverted for minimum sides) in shifted terms, clamped.
inline int32_t shiftedSide(int32_t value, int side, int32_t halfSize) {
    if (side == 0) return INT32_MAX;
    const int64_t plain = static_cast<int64_t>(value ^ kSideMask[side]) + halfSize;
    return static_cast<int32_t>(std::clamp<int64_t>(plain, INT32_MIN, INT32_MAX)) ^ kSideMask[side];
}

// One move of the lone ant by its code (1-4; codes outside act as 4) and turn result: all a move
// needs in one entry, so one lookup follows the square's read.
template <class Index>
struct LoneAntMove {
    Index indexStep;  // of the linear square index
    int8_t dx;
    int8_t dy;
    uint8_t next;  // the new code
    uint8_t side;  // the box slot the move may widen
};

// What the lone ant's moves need that stays fixed for the run.
template <class Update>
struct LoneAntPlan {
    LoneAntMove<typename Update::Index> moves[5][2];
    int32_t boundAt[kBoxSlots];  // a candidate at or above this reaches the axis bound
    template <int Slots>
    LoneAntPlan(const FastGrid& g, const int32_t (&sideBound)[Slots], bool leftTurnsReach) {
        for (int code = 0; code <= 4; ++code)
            for (int r = 0; r < 2; ++r) {
                const uint8_t next = kLangton.turn[code][r];
                const int8_t dx = LangtonTables::stepX[next];
                const int8_t dy = LangtonTables::stepY[next];
                const uint8_t side = leftTurnsReach ? kLangton.reachSide[code][r] : kLangton.boxSide[code][r];
                moves[code][r] = {Update::indexStep(g, dx, dy), dx, dy, next, side};
            }
        // No bound for left turns: only right turns widen the counters' box.
        for (int side = 0; side < kBoxSlots; ++side)
            boundAt[side] = side < kLeftTurnSlots ? shiftedSide(sideBound[side], side, g.halfSize) : INT32_MAX;
    }
};

// On a cache line, as the loops below.
template <class Update, class Painter, int Slots>
[[gnu::noinline, gnu::aligned(64)]] int64_t loneAntSteps(World& w, const LoneAntPlan<Update>& plan, LoneAntRun& ant,
                                                         int32_t (&box)[Slots], int64_t filledFilter,
                                                         int64_t maxSteps, Painter& painterKept) {
    // The filled count rises by at most one per move: staying below the filter is a step count.
    // A filter at or below the count (INT64_MIN while a limit stands reached) leaves no steps.
    if (filledFilter <= ant.filled) return 0;
    maxSteps = std::min(maxSteps, filledFilter - ant.filled - 1);
    if (maxSteps <= 0) return 0;
    // Local copies: the square writes and the painter cannot reach them, so they stay in registers.
    const FastGrid g = w.grid;
    Painter painter = painterKept;
    AntPos& square = w.antPos[0];  // painters that read the world find the square just updated here
    w.counters.currentAnt = 0;
    const uint32_t maxCell = static_cast<uint32_t>(g.maxCell);
    int32_t widened[Slots];
    int32_t boundAt[Slots];
    LoneAntMove<typename Update::Index> moves[5][2];
    for (int side = 0; side < Slots; ++side) {
        widened[side] = shiftedSide(box[side], side, g.halfSize);
        boundAt[side] = plan.boundAt[side];
    }
    for (int code = 0; code < 5; ++code) {
        moves[code][0] = plan.moves[code][0];
        moves[code][1] = plan.moves[code][1];
    }
    const uint32_t shift = static_cast<uint32_t>(g.halfSize);
    uint32_t u = static_cast<uint32_t>(ant.x) + shift;
    uint32_t v = static_cast<uint32_t>(ant.y) + shift;
    uint8_t code = ant.code >= 1 && ant.code <= 4 ? ant.code : 4;  // as the turns see it
    typename Update::Index index = Update::squareIndex(g, ant.x, ant.y);
    int64_t filled = ant.filled;
    int64_t peak = ant.peak;
    int64_t remaining = maxSteps;
    for (; remaining > 0; --remaining) {
        if (std::max(u, v) > maxCell) break;
        // The next square is one of two, known before this one is read: asking for both now
        // overlaps their cache misses with this one's, as the ant's path gives no other warning.
        prefetchIndex<Update>(g, index + moves[code][0].indexStep);
        prefetchIndex<Update>(g, index + moves[code][1].indexStep);
        const int32_t r = Update::look(g, index);
        const auto move = moves[code][r];
        const uint32_t nu = u + static_cast<uint32_t>(move.dx);
        const uint32_t nv = v + static_cast<uint32_t>(move.dy);
        const int32_t candidate = static_cast<int32_t>((move.next & 1) ? nu : nv) ^ kSideMask[move.side];
        if (candidate > widened[move.side]) [[unlikely]] {
            if (candidate >= boundAt[move.side]) break;
            widened[move.side] = candidate;
        }
        Update::take(g, 0, index, r);
        const AntPos at{static_cast<int32_t>(u - shift), static_cast<int32_t>(v - shift)};
        if constexpr (Painter::readsWorld) square = at;
        // The ant's next state is complete before the painter: nothing the next move waits for
        // has to be kept aside during a call.
        index += move.indexStep;
        u = nu;
        v = nv;
        code = move.next;
        filled += 1 - 2 * r;
        peak = filled > peak ? filled : peak;
        painter.move(w, 0, at, r);
    }
    painterKept = painter;
    const int64_t taken = maxSteps - remaining;
    if (taken > 0) {
        ant.x = static_cast<int32_t>(u - shift);
        ant.y = static_cast<int32_t>(v - shift);
        ant.code = code;
        ant.filled = filled;
        ant.peak = peak;
        // Sides that widened hold real positions: back to plain terms without loss.
        for (int side = 1; side < Slots; ++side)
            if (widened[side] != shiftedSide(box[side], side, g.halfSize))
                box[side] = static_cast<int32_t>(static_cast<uint32_t>(widened[side] ^ kSideMask[side]) - shift) ^
                            kSideMask[side];
    }
    return taken;
}

// The loops begin on a cache line (GCC takes the alignment from the first declaration): left
// where the linker puts them, they moved with unrelated code, and a move of 32 bytes changed the
// window's speed by 2%, which no comparison of two builds could then tell from their changes.
template <class Update, bool Lone, class Painter>
[[gnu::aligned(64)]] LoopExit langtonLoop(World& w, StepPacer& pacer);

// `first` when `First`, else `second`.
template <bool First, class A, class B>
[[gnu::always_inline]] inline auto& pickFirst(A& first, B& second) {
    if constexpr (First) return first;
    else return second;
}

// The loop instance that serves a Langton run now: the one the window chose for its painters,
// else the plain one (no painters at all) or the one calling the world's hooks; each for a lone
// ant or for many. Asked again whenever events were served.
template <class Update>
StepLoopEntry chosenLangtonLoop(const World& w);

// Ants of one step are independent until their turn comes, so the square of an ant a few places
// ahead is known already: asking for it early overlaps its cache miss with the moves between.
inline constexpr int32_t kPrefetchDistance = 16;

// The loop of indexed and black-and-white mode. The counters a move changes live in locals and
// are written back to the world before anything outside the loop can look at them (messages,
// event processing, the step hook), the painter's own state with them; the painter gets each move
// as it happens. `Lone`: a single ant without the hand brake, whose steps go to loneAntSteps until
// one needs more. When events change what the instance was chosen for, it returns at the end of a
// step (with the hand brake, right after the current ant) to be chosen again.
template <class Update, bool Lone, class Painter>
[[gnu::noinline]] LoopExit langtonLoop(World& w, StepPacer& pacer) {
    RunCounters& c = w.counters;
    const RunLimits limits = w.limits;  // fixed for the run; only "Max steps:" may change
    const int32_t antCount = c.antCount;
    const int32_t antsPerStep = Lone ? 1 : antCount;
    AntPos* const positions = w.antPos;
    const typename Update::Directions directions(w);
    const FastGrid grid = w.grid;  // fixed for the run

    int64_t filled = c.filled;
    int64_t peak = c.peakFilled;
    int64_t step = c.stepCount;
    // Bounding box by the direction code of a right-turn move, then the reach of left-turn moves
    // since this loop began (empty at first); slot 0 is no side. The minimum sides are held
    // bit-inverted (~v reverses the order without overflow), so every side widens by a plain
    // maximum and meets its bound by a plain comparison. Left turns have no bound.
    constexpr int Slots = Painter::notesLeftTurns ? kBoxSlots : kLeftTurnSlots;
    int32_t box[Slots] = {INT32_MAX, c.maxX, ~c.minY, ~c.minX, c.maxY};
    int32_t sideBound[Slots] = {INT32_MAX, limits.axisBound, ~limits.axisBoundNeg, ~limits.axisBoundNeg, limits.axisBound};
    for (int side = kLeftTurnSlots; side < Slots; ++side) {
        box[side] = INT32_MIN;
        sideBound[side] = INT32_MAX;
    }
    // Every earlier move passed the checks, so only a side that widens or a rising filled count
    // can newly reach a limit. Should a limit stand reached already, every move goes to the checks.
    const bool limitStandsReached = filled >= limits.filledMax || box[1] >= sideBound[1] ||
                                    box[2] >= sideBound[2] || box[3] >= sideBound[3] || box[4] >= sideBound[4];
    const int64_t filledFilter = limitStandsReached ? INT64_MIN : limits.filledMax;
    // The filled count rises by one at most per move, so it passes its peak only by reaching the
    // peak plus one: a move looks at the peak only then, in the branch the limits take anyway.
    const auto watchFrom = [filledFilter](int64_t peakNow) { return std::min(filledFilter, peakNow + 1); };
    int64_t filledWatch = watchFrom(peak);

    Painter painter(w);
    // The painter publishes last: it may read the box and the left turns' reach.
    auto publishCounters = [&]() __attribute__((always_inline)) {
        c.stepCount = step;
        pacer.save(w);
        c.filled = filled;
        c.peakFilled = peak;
        c.maxX = box[1];
        c.minY = ~box[2];
        c.minX = ~box[3];
        c.maxY = box[4];
        if constexpr (Slots > kLeftTurnSlots) w.leftTurnReach = {~box[7], box[5], ~box[6], box[8]};
        painter.publish(w);
    };
    auto publishInlined = [&]() __attribute__((always_inline)) { publishCounters(); };
    auto publishCalled = [&] { publishCounters(); };
    auto& publish = pickFirst<Painter::inlinesPublish>(publishInlined, publishCalled);
    auto serveEvents = [&](bool leftEarly) __attribute__((always_inline)) {
        if constexpr (Painter::inlinesService) return pacer.serveEventsInlined(w, leftEarly, publish);
        else return pacer.serveEvents(w, leftEarly, publish);
    };
    auto stepHook = [&]() __attribute__((always_inline)) {
        if constexpr (Painter::inlinesService) pacer.stepHookInlined(w, antCount, publish);
        else pacer.stepHook(w, antCount, publish);
    };
    auto publishAt = [&](int32_t ant) __attribute__((always_inline)) {
        c.currentAnt = ant;
        publish();
    };

    std::optional<LoneAntPlan<Update>> lonePlan;
    if constexpr (Lone) lonePlan.emplace(grid, sideBound, Painter::notesLeftTurns);
    int32_t firstAnt = w.resumeAnt;  // a continued run first finishes the step it stopped in
    w.resumeAnt = 0;
    while (step < w.limits.userMaxSteps) {
        painter.reload(w);
        if constexpr (Lone) {
            const int64_t quietSteps = firstAnt != 0 ? 0 :
                std::min({pacer.stepsWithoutService(), w.limits.userMaxSteps - step, limits.stepMax - step});
            if (quietSteps > 0) {
                LoneAntRun lone{positions[0].x, positions[0].y, directions.get(0), filled, peak};
                const int64_t taken = loneAntSteps<Update>(w, *lonePlan, lone, box, filledFilter, quietSteps, painter);
                if (taken > 0) {
                    positions[0] = AntPos{lone.x, lone.y};
                    directions.set(0, lone.code);
                    filled = lone.filled;
                    peak = lone.peak;
                    filledWatch = watchFrom(peak);
                    step += taken;
                    pacer.skipSteps(taken);
                    continue;
                }
            }
        }
        const bool stepMaxReached = step >= limits.stepMax;
        bool leftEarly = false;
        for (int32_t ant = firstAnt; ant < antsPerStep; ++ant) {
            if constexpr (!Lone) {
                const int32_t ahead = ant + kPrefetchDistance;
                if (ahead < antCount) {
                    const AntPos next = positions[ahead];
                    prefetchIndex<Update>(grid, Update::squareIndex(grid, next.x, next.y));
                }
            }
            int32_t x = positions[ant].x;
            int32_t y = positions[ant].y;
            const uint8_t dir = directions.get(ant);
            if constexpr (Painter::readsWorld) c.currentAnt = ant;
            bool outsideCalled = false;  // only messages and event processing can set the idle flag
            int32_t r = Update::apply(w, grid, ant, x, y);
            if (static_cast<uint32_t>(r) > 1u) [[unlikely]] {
                publishAt(ant);
                reportFailedUpdate(w);
                if constexpr (Update::failureLeavesAntLoop) {
                    leftEarly = true;
                    break;
                }
                outsideCalled = true;
                r = 0;
                painter.reload(w);
                painter.unstoredMove(w, ant, AntPos{x, y});
            } else {
                painter.move(w, ant, AntPos{x, y}, r);
            }
            const uint8_t code = kLangton.turn[dir][r];
            x = wrappingAdd(x, kLangton.moveX[dir][r]);
            y = wrappingAdd(y, kLangton.moveY[dir][r]);
            positions[ant] = AntPos{x, y};
            directions.set(ant, code);

            filled += 1 - 2 * r;
            // Only a right turn widens the box, and only on the side of its move; a left turn
            // widens the left turns' reach if the painter asks for it. The side comes from the
            // table so that no branch on the turn appears.
            const int side = Painter::notesLeftTurns ? kLangton.reachSide[dir][r] : kLangton.boxSide[dir][r];
            const int32_t candidate = ((code & 1) ? x : y) ^ kSideMask[side];
            const bool widens = candidate > box[side];
            if (widens | (filled >= filledWatch)) [[unlikely]] {
                if (widens) box[side] = candidate;
                if (filled > peak) {
                    peak = filled;
                    filledWatch = watchFrom(peak);
                }
                if (r == 0 && (filled >= filledFilter || candidate >= sideBound[side])) {
                    publishAt(ant);
                    if (rightTurnLimitsHit(w)) {
                        leftEarly = true;
                        break;
                    }
                }
            }
            if (stepMaxReached) [[unlikely]] {
                publishAt(ant);
                stopWith(w, StopReason::StepMax, MsgStepMax, BoxType::Warning);
                leftEarly = true;
                break;
            }
            if constexpr (!Lone) {
                if (w.handBrakeCount != 0) {
                    publishAt(ant);
                    handBrake<false>(w);
                    outsideCalled = true;
                    painter.reload(w);
                    // Painters changed by the events take over right after this ant.
                    if (!w.idle && chosenLangtonLoop<Update>(w) != &langtonLoop<Update, Lone, Painter>) {
                        w.resumeAnt = ant + 1;
                        return LoopExit::Redispatch;
                    }
                }
            }
            if (outsideCalled && w.idle) {
                leftEarly = true;
                break;
            }
        }
        if (!leftEarly) {
            c.currentAnt = antCount - 1;
            painter.stepDone(w);
        }
        if (!serveEvents(leftEarly)) return LoopExit::Finished;
        stepHook();
        ++step;
        firstAnt = 0;
        if (pacer.servedEvents() && chosenLangtonLoop<Update>(w) != &langtonLoop<Update, Lone, Painter>) {
            publish();
            return LoopExit::Redispatch;
        }
    }
    publish();
    w.lastStop = StopReason::MaxSteps;
    return LoopExit::Finished;
}

// Chooses the loop instance for what the run needs now, again whenever events change it.

template <class Update>
StepLoopEntry chosenLangtonLoop(const World& w) {
    if (w.hooks.chooseLoop)
        if (const StepLoopEntry chosen = w.hooks.chooseLoop(w)) return chosen;
    const bool lone = loneAntInstance(w);
    if (NoPainter::fits(w))
        return lone ? &langtonLoop<Update, true, NoPainter> : &langtonLoop<Update, false, NoPainter>;
    return lone ? &langtonLoop<Update, true, HookPainter> : &langtonLoop<Update, false, HookPainter>;
}

template <class Painter>
[[gnu::aligned(64)]] LoopExit generalizedLoop(World& w, StepPacer& pacer);

// The same for a generalized run.
inline StepLoopEntry chosenGeneralizedLoop(const World& w) {
    if (w.hooks.chooseLoop)
        if (const StepLoopEntry chosen = w.hooks.chooseLoop(w)) return chosen;
    return NoPainter::fits(w) ? &generalizedLoop<NoPainter> : &generalizedLoop<HookPainter>;
}

template <class Painter>
[[gnu::noinline]] LoopExit generalizedLoop(World& w, StepPacer& pacer) {
    RunCounters& c = w.counters;
    const int32_t antCount = c.antCount;
    Painter painter(w);
    auto publish = [&] {
        painter.publish(w);
        pacer.save(w);
    };
    int32_t firstAnt = w.resumeAnt;
    w.resumeAnt = 0;
    while (c.stepCount < w.limits.userMaxSteps) {
        painter.reload(w);
        bool leftEarly = false;
        for (int32_t ant = firstAnt; ant < antCount; ++ant) {
            c.currentAnt = ant;
            if (moveGeneralizedAnt(w, ant, painter) == MoveOutcome::LeaveAntLoop) {
                leftEarly = true;
                break;
            }
            // Painters changed by the hand brake's events take over right after this ant.
            if (w.handBrakeCount != 0 && chosenGeneralizedLoop(w) != &generalizedLoop<Painter>) {
                publish();
                w.resumeAnt = ant + 1;
                return LoopExit::Redispatch;
            }
        }
        if (!leftEarly) c.currentAnt = antCount - 1;
        w.squareStateFromStore = 1;
        if (!pacer.serveEvents(w, leftEarly, publish)) return LoopExit::Finished;
        pacer.stepHook(w, antCount, publish);
        ++c.stepCount;
        firstAnt = 0;
        if (pacer.servedEvents() && chosenGeneralizedLoop(w) != &generalizedLoop<Painter>) {
            publish();
            return LoopExit::Redispatch;
        }
    }
    publish();
    w.lastStop = StopReason::MaxSteps;
    return LoopExit::Finished;
}

// Runs a mode's loop from its chosen instance, again whenever one returns to be chosen anew.
template <class Choose>
void runChosenLoops(World& w, Choose&& choose) {
    w.lastStop = StopReason::None;
    StepPacer pacer(w);
    while (choose(w)(w, pacer) == LoopExit::Redispatch) {
    }
}

}  // namespace qm::steps
