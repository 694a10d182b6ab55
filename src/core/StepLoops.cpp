#include "core/StepLoops.h"

#include "core/StepLoopBodies.h"

namespace qm {

namespace {

template <class Update>
void runLangtonLoop(World& w) {
    steps::runChosenLoops(w, &steps::chosenLangtonLoop<Update>);
}

}  // namespace

void runIndexedLoop(World& w) {
    using namespace steps;
    switch (w.antMaxMode) {
        case AntMaxMode::Ants15: runLangtonLoop<IndexedUpdate<CellWidth::Nibble>>(w); break;
        case AntMaxMode::Ants65535: runLangtonLoop<IndexedUpdate<CellWidth::Word>>(w); break;
        default: runLangtonLoop<IndexedUpdate<CellWidth::Byte>>(w); break;
    }
}

void runBlackWhiteLoop(World& w) { runLangtonLoop<steps::BWUpdate>(w); }

void runGeneralizedLoop(World& w) { steps::runChosenLoops(w, &steps::chosenGeneralizedLoop); }

int32_t resumePointAfterStop(const World& w) {
    const RunCounters& c = w.counters;
    if (w.lastStop == StopReason::MaxSteps || c.antCount <= 0) return 0;
    const bool failed = w.lastStop == StopReason::InvalidStart || w.lastStop == StopReason::CannotSet;
    // A failed indexed update leaves its ant where it was: that ant moves first on continuing.
    // Everywhere else the current ant has moved.
    if (failed && w.mode() != RunMode::BlackWhite && w.mode() != RunMode::Generalized) return c.currentAnt;
    return c.currentAnt + 1;
}

void runStepLoop(World& w) {
    steps::handControlOutside(w);  // everything before the run counts as outside
    if (w.resumeAnt < 0 || w.resumeAnt > w.counters.antCount) w.resumeAnt = 0;
    if (w.generalized) runGeneralizedLoop(w);
    else if (w.antMaxMode == AntMaxMode::BlackWhite) runBlackWhiteLoop(w);
    else runIndexedLoop(w);
    w.resumeAnt = resumePointAfterStop(w);
}

}  // namespace qm
