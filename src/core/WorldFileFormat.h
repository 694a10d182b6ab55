#pragma once
// Constants of the world file layout shared by its writer and reader (docs/WORLD_FORMAT.md).

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "core/World.h"

namespace qm::worldformat {

inline constexpr char Magic[8] = {'Q', 'M', 'W', 'O', 'R', 'L', 'D', '\x1A'};
inline constexpr uint32_t HeaderBytes = 12;   // magic and version
inline constexpr uint32_t TrailerBytes = 4;   // CRC-32 of everything before it
inline constexpr uint32_t SectionHeadBytes = 12;  // tag and payload length

constexpr uint32_t tag(const char (&name)[5]) {
    return static_cast<uint32_t>(static_cast<uint8_t>(name[0])) |
           static_cast<uint32_t>(static_cast<uint8_t>(name[1])) << 8 |
           static_cast<uint32_t>(static_cast<uint8_t>(name[2])) << 16 |
           static_cast<uint32_t>(static_cast<uint8_t>(name[3])) << 24;
}
inline constexpr uint32_t TagSettings = tag("SETT");
inline constexpr uint32_t TagCounters = tag("CNTR");
inline constexpr uint32_t TagAnts = tag("ANTS");
inline constexpr uint32_t TagDefinition = tag("DEFN");
inline constexpr uint32_t TagGrid = tag("GRID");
inline constexpr uint32_t TagStore = tag("STOR");

// The grid is written in chunks of this many bytes; chunks that hold only the empty fill are
// left out, so a file grows with the painted squares and not with the grid.
inline constexpr uint32_t GridChunkBytes = 65536;

enum class StoreKind : uint8_t { None = 0, Indexed = 1, BlackWhite = 2, Generalized = 3 };

inline bool isIndexedMode(RunMode mode) { return mode != RunMode::BlackWhite && mode != RunMode::Generalized; }

// The file holds indexed cells as the ant index, all ones when empty; the grid holds their
// complement (FastGrid.h). Complementing every byte converts either way in every indexed width.
// Eight bytes at a time: a byte loop costs a second a gigabyte, and checkpoints convert whole grids.
inline void complementBytes(uint8_t* bytes, std::size_t size) {
    std::size_t i = 0;
    for (; i + 8 <= size; i += 8) {
        uint64_t word;
        std::memcpy(&word, bytes + i, 8);
        word = ~word;
        std::memcpy(bytes + i, &word, 8);
    }
    for (; i < size; ++i) bytes[i] = static_cast<uint8_t>(~bytes[i]);
}

// Bytes per ant in the ants section: position, then the colour word (indexed), the direction
// byte (black-and-white), or the direction byte and the program (generalized).
inline uint32_t antEntryBytes(RunMode mode) {
    return mode == RunMode::Generalized ? 17 : mode == RunMode::BlackWhite ? 9 : 12;
}

}  // namespace qm::worldformat
