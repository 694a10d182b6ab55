#pragma once
// Which chunks of the fast grid (in the world file's chunks) may hold squares: one bit per chunk.
// A timeline keeps this between checkpoints, so that taking one or going back reads only the
// chunks the ants can have reached instead of the whole block.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/FastGrid.h"

namespace qm {

using ChunkBits = std::vector<uint64_t>;

uint64_t gridChunkCount(const FastGrid& g);
// Chunk k's first byte and its size: the last chunk ends with the grid.
uint8_t* gridChunkAt(const FastGrid& g, uint64_t k);
std::size_t gridChunkSize(const FastGrid& g, uint64_t k);
ChunkBits everyChunk(const FastGrid& g);
inline bool hasChunk(const ChunkBits& bits, uint64_t k) { return (bits[k >> 6] >> (k & 63)) & 1u; }

// Adds the chunks of every square within `radius` steps of (x, y) on each axis (clamped to the
// grid; none when the square is farther than that off it). The squares of such a box lie
// between the bytes of its first and its last corner in either layout.
void markChunksAround(ChunkBits& bits, const FastGrid& g, int32_t x, int32_t y, int64_t radius);

}  // namespace qm
