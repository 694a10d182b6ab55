#include "core/World.h"

namespace qm {

RunMode runModeOf(AntMaxMode antMaxMode, bool generalized) {
    if (generalized) return RunMode::Generalized;
    switch (antMaxMode) {
        case AntMaxMode::Ants15: return RunMode::Indexed15;
        case AntMaxMode::Ants65535: return RunMode::Indexed65535;
        case AntMaxMode::BlackWhite: return RunMode::BlackWhite;
        default: return RunMode::Indexed255;
    }
}

const char* runModeName(RunMode mode) {
    switch (mode) {
        case RunMode::Indexed15: return "indexed15";
        case RunMode::Indexed255: return "indexed255";
        case RunMode::Indexed65535: return "indexed65535";
        case RunMode::BlackWhite: return "bw";
        case RunMode::Generalized: return "generalized";
    }
    return "indexed255";
}

CellWidth cellWidthOf(RunMode mode) {
    switch (mode) {
        case RunMode::Indexed15: return CellWidth::Nibble;
        case RunMode::Indexed65535: return CellWidth::Word;
        case RunMode::BlackWhite: return CellWidth::Bit;
        default: return CellWidth::Byte;
    }
}

const char* stopReasonName(StopReason reason) {
    switch (reason) {
        case StopReason::MaxSteps: return "maxsteps";
        case StopReason::UserBreak: return "break";
        case StopReason::Filled: return "filled";
        case StopReason::Axis: return "axis";
        case StopReason::StepMax: return "stepmax";
        case StopReason::InvalidStart: return "invalidstart";
        case StopReason::CannotSet: return "cannotset";
        case StopReason::NoAnts: return "noants";
        case StopReason::Error: return "error";
        case StopReason::None: break;
    }
    return "none";
}

void noHook(void*) {}

World::~World() { releaseAll(); }

void World::releaseStores() {
    delete storeIndexed;
    delete storeBW;
    delete storeMulti;
    storeIndexed = nullptr;
    storeBW = nullptr;
    storeMulti = nullptr;
}

void World::releaseRunAntArrays() {
    if (antProgram) allocator().release(antProgram);
    if (antDir) allocator().release(antDir);
    antDir = nullptr;
    antProgram = nullptr;
}

void World::releaseAll() {
    if (antPos) allocator().release(antPos);
    if (antColour) allocator().release(antColour);
    antPos = nullptr;
    antColour = nullptr;
    antPosCapacity = 0;
    releaseFastGrid(grid);
    releaseRunAntArrays();
    releaseStores();
}

}  // namespace qm
