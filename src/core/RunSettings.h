#pragma once
// The settings a run is made with, as one plain value: the window owns it, the settings dialog
// shows and edits it, the window and its panels read it, and world files keep the part of it
// that belongs to a world.

#include <cstdint>

#include "core/MemoryBudget.h"
#include "core/WorldFile.h"

namespace qm {

inline constexpr int SpectrumCount = 4;  // items of the colour spectrum choice

struct RunSettings {
    int memoryItem = 1;              // item of the memory choice
    int memoryItemsOffered = MemoryChoiceCount;  // items the memory choice offers on this machine
    bool continueCompute = true;     // go on beyond the fast grid in the sparse stores
    AntMaxChoice antMax = AntMaxChoice::Ants255;
    bool generalized = false;        // generalized (multi-state) ants instead of Langton's
    int32_t states = 2;              // number of states of generalized ants
    int32_t spectrumItem = 0;        // item of the colour spectrum choice
    int32_t handBrakeCoefficient = 50;
    int32_t refreshSeconds = 5;      // state panel refresh while its numbers are hidden; 0: none
};

inline AntMaxChoice antMaxChoiceOf(RunMode mode) {
    switch (mode) {
        case RunMode::Indexed15: return AntMaxChoice::Ants15;
        case RunMode::Indexed65535: return AntMaxChoice::Ants65535;
        case RunMode::BlackWhite: return AntMaxChoice::BlackWhite;
        default: return AntMaxChoice::Ants255;
    }
}

// The settings a world file keeps; the mode and "continue" are the world's own (what its run
// was made with), so they come from the world, not from the settings.
inline void writeSettings(const RunSettings& settings, WorldSettings& into) {
    into.spectrum = settings.spectrumItem;
    into.memoryItem = settings.memoryItem;
}

// The settings as an opened world asks for them. Out-of-range items keep what was chosen.
inline RunSettings readSettings(const WorldSettings& from, RunSettings settings, int memoryItems,
                                bool continuePossible) {
    settings.generalized = from.mode == RunMode::Generalized;
    settings.antMax = settings.generalized ? AntMaxChoice::Ants255 : antMaxChoiceOf(from.mode);
    if (from.states >= 2 && from.states <= 64) settings.states = from.states;
    if (from.spectrum >= 0 && from.spectrum < SpectrumCount) settings.spectrumItem = from.spectrum;
    if (from.memoryItem >= 0 && from.memoryItem < memoryItems) settings.memoryItem = from.memoryItem;
    settings.continueCompute = from.continueCompute && continuePossible;
    return settings;
}

}  // namespace qm
