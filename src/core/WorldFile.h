#pragma once
// World files: the whole state of a run on disk, to be opened and continued later.
// The layout is documented in docs/WORLD_FORMAT.md.

#include <cstdint>
#include <memory>
#include <string>

#include "core/World.h"

namespace qm {

inline constexpr uint32_t WorldFormatVersion = 1;
inline constexpr const char* WorldFileSuffix = "qmw";

// The settings and window state a world file keeps beside the World itself.
struct WorldSettings {
    RunMode mode = RunMode::Indexed255;
    int32_t states = 2;
    int32_t spectrum = 0;        // item of the colour spectrum choice
    int32_t memoryItem = 1;
    bool continueCompute = false;
    int32_t viewOffsetX = 0;
    int32_t viewOffsetY = 0;
    int32_t squareSizeItem = 2;  // item of "Ant square size:"
};

struct WorldDocument {
    WorldSettings settings;
    std::string definitionText;  // the definition the run started from
};

// Where a run stands: written in place of the world's own counters, so that a state seen at a
// step end (before the loop counts the step) can be kept as the stopped run it equals.
struct WorldPoint {
    RunCounters counters;
    int32_t resumeAnt = 0;
    StopReason lastStop = StopReason::None;
    static WorldPoint of(const World& w);
};

// The bytes of a world file, in memory: what saveWorldFile writes, with `point` for the
// counters. `level`: zstd's (files: 1; checkpoints kept in memory a faster one). Without
// `squares` the grid lists no chunk and the store is written empty, of its kind (checkpoints keep
// their squares apart). Empty on success, else the reason.
inline constexpr int WorldFileLevel = 1;
std::string encodeWorld(const World& w, const WorldDocument& document, const WorldPoint& point, std::string& bytes,
                        int level = WorldFileLevel, bool squares = true);

// Writes the world (the last run: grid, store, ants, counters, limits) and the document to
// `path`. An existing file is replaced only once the new one is complete. Empty on success,
// else the reason.
std::string saveWorldFile(const std::string& path, const World& w, const WorldDocument& document);

// A world read and checked in full, held apart from any world in use until installed.
class LoadedWorld {
public:
    LoadedWorld() = default;
    LoadedWorld(const LoadedWorld&) = delete;
    LoadedWorld& operator=(const LoadedWorld&) = delete;
    ~LoadedWorld();

    WorldDocument document;
    RunCounters counters;
    RunLimits limits;
    int32_t antMax = 0;
    int32_t resumeAnt = 0;
    StopReason lastStop = StopReason::None;
    // Where painted squares of the grid lie (a little generously), for a view that repaints
    // only where squares can be; empty (min > max) when none.
    int32_t paintedMinX = INT32_MAX, paintedMaxX = INT32_MIN, paintedMinY = INT32_MAX, paintedMaxY = INT32_MIN;

    FastGrid grid;
    IndexedSquareStore* storeIndexed = nullptr;
    BlackSquareStore* storeBW = nullptr;
    GeneralizedSquareStore* storeMulti = nullptr;
    AntPos* antPos = nullptr;
    uint32_t* antColour = nullptr;
    uint8_t* antDir = nullptr;
    uint64_t* antProgram = nullptr;
    int32_t antCapacity = 0;

    // A grid of the same size to read the squares into instead of a new one (not owned; taken
    // over, and emptied in the caller, once the grid section is found to match it).
    FastGrid* reuseGrid = nullptr;
};

// Reads a world file into memory; nothing in `target` changes. The stores are made for
// `target` (they search with its search elements) but stay apart until installWorld.
// Null with the reason in `error` when the file cannot be used.
std::unique_ptr<LoadedWorld> readWorldFile(const std::string& path, World& target, std::string& error);
// Whether the file is a regular file that begins as a world file does (a pipe is not waited on).
bool startsAsWorldFile(const std::string& path);
// With `reuseGrid`, a grid of the file's size is taken over (its holder is left without it,
// also when the file then fails): no new block, no page faults. The chunks the file lists are
// written; the others are left as they stand, for the caller to put right.
std::unique_ptr<LoadedWorld> parseWorld(const uint8_t* data, std::size_t size, World& target, std::string& error,
                                        FastGrid* reuseGrid = nullptr);

// Replaces the run in `w` with the loaded one (mode, ants, counters, limits except "Max steps:",
// grid, store). The world is left idle; `loaded` is emptied.
void installWorld(World& w, LoadedWorld& loaded);

// The one message for a world file that could not be opened or saved.
std::string worldOpenMessage(const std::string& path, const std::string& reason);
std::string worldSaveMessage(const std::string& path, const std::string& reason);

}  // namespace qm
