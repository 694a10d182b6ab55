#pragma once
// The world of one run: ants, counters, limits, the fast grid, the sparse stores and the hooks.
// The main window owns one World; the step loops, the reader and the painters all work on it.

#include <cstdint>

#include "core/FastGrid.h"
#include "core/Platform.h"
#include "core/SparseStores.h"

namespace qm {

// Ant-maximum mode: which cell width an indexed run uses, or black-and-white.
enum class AntMaxMode : int32_t { Ants15 = 0, Ants255 = 1, Ants65535 = 2, BlackWhite = 3 };

// The five cell encodings a run can have.
enum class RunMode { Indexed15, Indexed255, Indexed65535, BlackWhite, Generalized };

RunMode runModeOf(AntMaxMode antMaxMode, bool generalized);
CellWidth cellWidthOf(RunMode mode);
const char* runModeName(RunMode mode);  // "indexed15", "indexed255", ... "bw", "generalized"

// Direction codes of indexed and black-and-white ants (generalized ants hold code - 1).
enum : uint8_t { DirXPlus = 1, DirYMinus = 2, DirXMinus = 3, DirYPlus = 4 };

struct AntPos {
    int32_t x;
    int32_t y;
};
static_assert(sizeof(AntPos) == 8);

// Indexed ants keep colour (low three bytes) and direction (top byte) in one word.
constexpr uint32_t colourOf(uint32_t word) { return word & 0x00FFFFFFu; }
constexpr uint8_t directionOf(uint32_t word) { return static_cast<uint8_t>(word >> 24); }
constexpr uint32_t makeColourWord(uint32_t colour, uint8_t direction) {
    return (colour & 0x00FFFFFFu) | (static_cast<uint32_t>(direction) << 24);
}

// Why the last loop returned; the window only shows the message, the benchmark prints the reason.
enum class StopReason { None, MaxSteps, UserBreak, Filled, Axis, StepMax, InvalidStart, CannotSet, NoAnts, Error };
const char* stopReasonName(StopReason reason);

// Display hooks: plain function pointers with one context, chosen when a control changes.
using Hook = void (*)(void* context);
void noHook(void* context);

// A step loop instance specialised for what is installed (StepLoopBodies.h): it returns
// Redispatch at a step boundary when another instance should go on.
struct World;
enum class LoopExit { Finished, Redispatch };
namespace steps { class StepPacer; }
using StepLoopEntry = LoopExit (*)(World& w, steps::StepPacer& pacer);
// The instance that runs the installed painters inlined, or null for the loop that calls the hooks.
using LoopChooser = StepLoopEntry (*)(const World& w);

struct DisplayHooks {
    Hook paint = noHook;      // after a square became painted (indexed, black-and-white)
    Hook erase = noHook;      // after a square became empty / white
    Hook genSquare = noHook;  // after every generalized square update
    Hook step = noHook;       // once per completed step
    void* context = nullptr;
    // Asked when a run starts and whenever events were served; it must choose an instance whose
    // painters draw what paint, erase and genSquare draw.
    LoopChooser chooseLoop = nullptr;
};

struct RunCounters {
    int64_t stepCount = 0;
    int64_t filled = 0;
    int64_t peakFilled = 0;  // generalized: number of state wrap-arounds
    int32_t minX = 0, maxX = 0, minY = 0, maxY = 0;
    int32_t antCount = 0;
    int32_t currentAnt = 0;
    double runStartDays = 0.0;
    double elapsedDays = 0.0;  // computing time of the run up to its last stop
};

// The squares left-turn moves of indexed and black-and-white runs reached since the step loop
// last began; the counters' box takes right turns only. Empty: minimum above maximum.
struct LeftTurnReach {
    int32_t minX = INT32_MAX, maxX = INT32_MIN, minY = INT32_MAX, maxY = INT32_MIN;
};

struct RunLimits {
    int64_t userMaxSteps = 2147483645;     // "Max steps:"
    int64_t stepMax = 4294967285;          // 2^32 - 11
    int64_t filledMax = 178257920;         // 0x0AA00000 until the limits are computed
    int32_t axisBound = 2147483637;        // +B
    int32_t axisBoundNeg = -2147483637;    // -B
};

struct World {
    // Mode of the run (and of the settings while idle).
    AntMaxMode antMaxMode = AntMaxMode::Ants255;
    bool generalized = false;
    int32_t antMax = 255;
    int32_t states = 0;  // N, read afresh at every generalized square update

    // Ant arrays. Indexed mode: antPos + antColour sized for antMax (owned by the settings).
    // Black-and-white / generalized: antPos + antDir (+ antProgram) sized per run.
    AntPos* antPos = nullptr;
    uint32_t* antColour = nullptr;
    uint8_t* antDir = nullptr;
    uint64_t* antProgram = nullptr;
    int32_t antPosCapacity = 0;

    RunCounters counters;
    RunLimits limits;

    uint8_t idle = 1;               // set while no run is active or a stop was requested
    uint32_t handBrakeCount = 0;    // counted event-processing calls after every ant move
    int32_t trackBarPosition = 0;   // 0-100; at 100 the hand brake never advances

    FastGrid grid;

    // Sparse stores: at most one exists, the one of the run's mode.
    IndexedSquareStore* storeIndexed = nullptr;
    BlackSquareStore* storeBW = nullptr;
    GeneralizedSquareStore* storeMulti = nullptr;

    // Search elements that carry a square from the square update into the store.
    IndexedSquare searchIndexed{};
    BlackSquare searchBW{};
    GeneralizedSquare searchMulti{};

    // Turn result of the square just updated (indexed and black-and-white), set before the paint
    // or erase hook runs: a painter installed in both slots draws without a branch of its own.
    uint8_t lastTurn = 0;
    LeftTurnReach leftTurnReach;  // written whenever the loop writes the counters back

    // Generalized hand-off to the square hook.
    int64_t currentCellIndex = 0;
    uint8_t currentSquareState = 0;
    uint8_t squareStateFromStore = 0;  // 1: use currentSquareState, 0: grid byte at currentCellIndex

    DisplayHooks hooks;
    EventPump* pump = nullptr;
    MessageSink* messages = nullptr;

    // Counts the times a run hands control to code that may change anything: its start, every
    // event processing, the step hook and every message. Nothing else runs between two per-move
    // hooks, so what a per-move hook derives from the window (image addresses, scales, colours)
    // stays valid while this count is unchanged: one comparison per move instead of checking
    // every input.
    uint64_t outsideCalls = 0;

    // Frame pacing of the loops: a countdown decremented per step; the pump's clock is asked
    // only when it reaches zero.
    int32_t frameCountdown = 1;
    int32_t frameCountdownReload = 4096;

    StopReason lastStop = StopReason::None;

    // Where the next loop starts: ants below this index have moved in the step that is not yet
    // counted (0: at a step boundary; antCount: only the end of that step is left).
    int32_t resumeAnt = 0;

    World() = default;
    World(const World&) = delete;
    World& operator=(const World&) = delete;
    ~World();

    RunMode mode() const { return runModeOf(antMaxMode, generalized); }

    // Releases the three stores (the fast grid is released by releaseFastGrid).
    void releaseStores();
    void releaseRunAntArrays();      // antDir and antProgram (per-run arrays)
    void releaseAll();
};

}  // namespace qm
