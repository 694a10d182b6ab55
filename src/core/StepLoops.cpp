#include "core/StepLoops.h"

#include <cstdint>

#include "core/SquareUpdate.h"

namespace qm {
namespace {

// Coordinates wrap around at the ends of the 32-bit range instead of overflowing.
inline int32_t plusOne(int32_t v) { return static_cast<int32_t>(static_cast<uint32_t>(v) + 1u); }
inline int32_t minusOne(int32_t v) { return static_cast<int32_t>(static_cast<uint32_t>(v) - 1u); }

enum class MoveOutcome { Continue, LeaveAntLoop };

void stopWith(World& w, StopReason reason, const char* text, BoxType type) {
    w.lastStop = reason;
    w.messages->showMessage(text, type);
    w.idle = 1;
}

void reportFailedUpdate(World& w) {
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
        w.pump->processEvents();
        if (w.trackBarPosition < 100) ++k;
        if (w.idle) break;
    }
}

// Direction held in the top byte of the colour word (indexed) or in a byte array (black-and-white).
struct IndexedDirections {
    static uint8_t get(const World& w, int32_t ant) { return directionOf(w.antColour[ant]); }
    static void set(World& w, int32_t ant, uint8_t d) {
        w.antColour[ant] = makeColourWord(w.antColour[ant], d);
    }
};
struct ByteDirections {
    static uint8_t get(const World& w, int32_t ant) { return w.antDir[ant]; }
    static void set(World& w, int32_t ant, uint8_t d) { w.antDir[ant] = d; }
};

template <CellWidth Width>
struct IndexedUpdate {
    using Directions = IndexedDirections;
    static constexpr bool failureLeavesAntLoop = true;
    static int32_t apply(World& w, const FastGrid& g, int32_t ant, int32_t x, int32_t y) {
        return squareUpdateIndexed<Width>(w, g, ant, x, y);
    }
};
struct BWUpdate {
    using Directions = ByteDirections;
    static constexpr bool failureLeavesAntLoop = false;
    static int32_t apply(World& w, const FastGrid& g, int32_t, int32_t x, int32_t y) {
        return squareUpdateBW(w, g, x, y);
    }
};

// Turning and moving of indexed and black-and-white ants by table, without a branch per move:
// kTurn[r][code] is the new code (codes outside 1-4 act as 4), kStep* its move.
struct LangtonTables {
    uint8_t turn[2][256];
    int32_t stepX[5];
    int32_t stepY[5];
    constexpr LangtonTables() : turn{}, stepX{0, 1, 0, -1, 0}, stepY{0, 0, -1, 0, 1} {
        for (int d = 0; d < 256; ++d) {
            turn[0][d] = d == 1 ? 2 : d == 2 ? 3 : d == 3 ? 4 : 1;  // right: 1 -> 2 -> 3 -> 4 -> 1
            turn[1][d] = d == 1 ? 4 : d == 2 ? 1 : d == 3 ? 2 : 3;  // left:  1 -> 4 -> 3 -> 2 -> 1
        }
    }
};
constexpr LangtonTables kLangton;

// One ant move of generalized mode (directions 0 = X+, 1 = Y-, 2 = X-, 3 = Y+).
inline MoveOutcome moveGeneralizedAnt(World& w, int32_t ant) {
    AntPos& p = w.antPos[ant];
    uint8_t& dir = w.antDir[ant];
    const int32_t r = squareUpdateGeneralized(w, w.antProgram[ant], p.x, p.y);
    w.hooks.genSquare(w.hooks.context);
    if (r == 1) {
        dir = static_cast<uint8_t>((dir + 3) & 3);
        switch (dir) {
            case 0: p.x = plusOne(p.x); break;
            case 1: p.y = minusOne(p.y); break;
            case 2: p.x = minusOne(p.x); break;
            default: p.y = plusOne(p.y); break;
        }
    } else {
        if (r != 0) reportFailedUpdate(w);
        RunCounters& c = w.counters;
        dir = static_cast<uint8_t>((dir + 1) & 3);
        switch (dir) {
            case 0: p.x = plusOne(p.x); if (p.x > c.maxX) c.maxX = p.x; break;
            case 1: p.y = minusOne(p.y); if (p.y < c.minY) c.minY = p.y; break;
            case 2: p.x = minusOne(p.x); if (p.x < c.minX) c.minX = p.x; break;
            default: p.y = plusOne(p.y); if (p.y > c.maxY) c.maxY = p.y; break;
        }
        if (rightTurnLimitsHit(w)) return MoveOutcome::LeaveAntLoop;
    }
    if (stepMaxHit(w)) return MoveOutcome::LeaveAntLoop;
    handBrake<true>(w);
    return w.idle ? MoveOutcome::LeaveAntLoop : MoveOutcome::Continue;
}

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
        bool outsideCalled = leftEarly;  // only messages and event processing set the idle flag
        if (presentNow_ || w.handBrakeCount != 0) {
            presentNow_ = false;
            publish();
            w.pump->processEvents();
            outsideCalled = true;
        }
        if (outsideCalled && w.idle) {
            publish();
            if (w.lastStop == StopReason::None) w.lastStop = StopReason::UserBreak;
            return false;
        }
        return true;
    }

    // Calls the step hook when this step's picture will be presented.
    template <class Publish>
    void stepHook(World& w, int32_t antCount, Publish&& publish) {
        countdown_ -= antCount;
        if (countdown_ <= 0) {
            countdown_ = w.frameCountdownReload;
            presentNow_ = w.pump->frameDue();
        }
        if (presentNow_ || w.handBrakeCount != 0) {
            publish();
            w.hooks.step(w.hooks.context);
        }
    }

    void save(World& w) const { w.frameCountdown = countdown_; }

private:
    int32_t countdown_;
    bool presentNow_ = true;
};

// The loop of indexed and black-and-white mode. The counters a move changes live in locals and
// are written back to the world before anything outside the loop can look at them (messages,
// event processing, the step hook); the per-move hooks read only the current ant.
template <class Update>
void langtonLoop(World& w) {
    w.lastStop = StopReason::None;
    RunCounters& c = w.counters;
    const RunLimits limits = w.limits;  // fixed for the run; only "Max steps:" may change
    const int32_t antCount = c.antCount;
    AntPos* const positions = w.antPos;
    const FastGrid grid = w.grid;  // fixed for the run

    int64_t filled = c.filled;
    int64_t peak = c.peakFilled;
    int64_t step = c.stepCount;
    StepPacer pacer(w);
    // Bounding box by the direction code of a right-turn move; slot 0 takes left turns. The
    // minimum sides are held bit-inverted (~v reverses the order without overflow), so every side
    // widens by a plain maximum and meets its bound by a plain comparison.
    int32_t box[5] = {0, c.maxX, ~c.minY, ~c.minX, c.maxY};
    constexpr int32_t sideMask[5] = {0, 0, -1, -1, 0};
    const int32_t sideBound[5] = {INT32_MAX, limits.axisBound, ~limits.axisBoundNeg, ~limits.axisBoundNeg,
                                  limits.axisBound};
    auto publish = [&] {
        c.stepCount = step;
        pacer.save(w);
        c.filled = filled;
        c.peakFilled = peak;
        c.maxX = box[1];
        c.minY = ~box[2];
        c.minX = ~box[3];
        c.maxY = box[4];
    };

    while (step < w.limits.userMaxSteps) {
        const bool stepMaxReached = step >= limits.stepMax;
        bool leftEarly = false;
        for (int32_t ant = 0; ant < antCount; ++ant) {
            c.currentAnt = ant;
            AntPos& p = positions[ant];
            bool outsideCalled = false;  // only messages and event processing can set the idle flag
            int32_t r = Update::apply(w, grid, ant, p.x, p.y);
            if (static_cast<uint32_t>(r) > 1u) {
                publish();
                reportFailedUpdate(w);
                if constexpr (Update::failureLeavesAntLoop) {
                    leftEarly = true;
                    break;
                }
                outsideCalled = true;
                r = 0;
            }
            w.lastTurn = static_cast<uint8_t>(r);
            const Hook hook = r ? w.hooks.erase : w.hooks.paint;
            hook(w.hooks.context);
            const uint8_t code = kLangton.turn[r][Update::Directions::get(w, ant)];
            Update::Directions::set(w, ant, code);
            p.x = static_cast<int32_t>(static_cast<uint32_t>(p.x) + static_cast<uint32_t>(kLangton.stepX[code]));
            p.y = static_cast<int32_t>(static_cast<uint32_t>(p.y) + static_cast<uint32_t>(kLangton.stepY[code]));

            filled += 1 - 2 * r;
            peak = filled > peak ? filled : peak;
            // Only a right turn widens the box, and only on the side of its move.
            const int side = r ? 0 : code;
            const int32_t candidate = ((code & 1) ? p.x : p.y) ^ sideMask[side];
            const int32_t current = box[side];
            box[side] = candidate > current ? candidate : current;

            // Every earlier move passed the checks and a left turn lowers the filled count and
            // leaves the box alone, so only the side just moved can newly reach its bound: one
            // cheap, predictable filter in front of the checks in their documented order.
            const bool limitHit = (filled >= limits.filledMax) | (candidate >= sideBound[side]);
            if (limitHit && r == 0) {
                publish();
                if (rightTurnLimitsHit(w)) {
                    leftEarly = true;
                    break;
                }
            }
            if (stepMaxReached) {
                publish();
                stopWith(w, StopReason::StepMax, MsgStepMax, BoxType::Warning);
                leftEarly = true;
                break;
            }
            if (w.handBrakeCount != 0) {
                publish();
                handBrake<false>(w);
                outsideCalled = true;
            }
            if (outsideCalled && w.idle) {
                leftEarly = true;
                break;
            }
        }
        if (!leftEarly) c.currentAnt = antCount - 1;
        if (!pacer.serveEvents(w, leftEarly, publish)) return;
        pacer.stepHook(w, antCount, publish);
        ++step;
    }
    publish();
    w.lastStop = StopReason::MaxSteps;
}

}  // namespace

void runIndexedLoop(World& w) {
    switch (w.antMaxMode) {
        case AntMaxMode::Ants15: langtonLoop<IndexedUpdate<CellWidth::Nibble>>(w); break;
        case AntMaxMode::Ants65535: langtonLoop<IndexedUpdate<CellWidth::Word>>(w); break;
        default: langtonLoop<IndexedUpdate<CellWidth::Byte>>(w); break;
    }
}

void runBlackWhiteLoop(World& w) { langtonLoop<BWUpdate>(w); }

void runGeneralizedLoop(World& w) {
    w.lastStop = StopReason::None;
    RunCounters& c = w.counters;
    const int32_t antCount = c.antCount;
    StepPacer pacer(w);
    auto publish = [&] { pacer.save(w); };
    while (c.stepCount < w.limits.userMaxSteps) {
        bool leftEarly = false;
        for (int32_t ant = 0; ant < antCount; ++ant) {
            c.currentAnt = ant;
            if (moveGeneralizedAnt(w, ant) == MoveOutcome::LeaveAntLoop) {
                leftEarly = true;
                break;
            }
        }
        if (!leftEarly) c.currentAnt = antCount - 1;
        w.squareStateFromStore = 1;
        if (!pacer.serveEvents(w, leftEarly, publish)) return;
        pacer.stepHook(w, antCount, publish);
        ++c.stepCount;
    }
    publish();
    w.lastStop = StopReason::MaxSteps;
}

void runStepLoop(World& w) {
    if (w.generalized) runGeneralizedLoop(w);
    else if (w.antMaxMode == AntMaxMode::BlackWhite) runBlackWhiteLoop(w);
    else runIndexedLoop(w);
}

}  // namespace qm
