#pragma once
// A checkpoint's grid squares, kept apart from its world bytes: for each chunk that holds
// squares, which of its 64-byte lines hold any, then those lines as the grid holds them, in zstd
// frames. Runs leave most lines of a chunk empty even where their highways cross it: passing over
// empty lines at memory speed and compressing the rest costs a third of compressing whole chunks.
// A large grid goes in parts, one to a core, each its own frame over a range of chunks: a
// checkpoint of a 256 MB grid then holds its run up for about as long as one of 128 MB.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/FastGrid.h"
#include "core/GridChunks.h"

namespace qm {

struct GridLinesPart {
    uint64_t firstChunk = 0;  // it holds the chunks from here to the next part's first (or the end)
    std::string frame;
    // Left uncompressed by packGridLines: the bytes the frame is to hold.
    std::unique_ptr<uint8_t[]> gathered;
    std::size_t gatheredBytes = 0;
};
using GridLines = std::vector<GridLinesPart>;

// The parts a grid is packed in by default: one per core, at most four.
int gridLinesParts();

// Packs the chunks of `mayHold` that hold squares into `lines`, in at most `parts` parts (fewer
// for few chunks), each but the first on a thread of its own, and narrows `mayHold` to those
// chunks. Answers how much longer than its own part the caller waited for the others, in their
// computing time (0 for one part), or a negative value when compression fails; throws
// std::bad_alloc when memory does. Up to `deferBytes` of lines, all parts together, are left
// uncompressed, for compressGridLines to finish where it costs the caller nothing: compressing
// costs as much as gathering. A part whose lines no longer fit is compressed at once.
double packGridLines(const FastGrid& g, ChunkBits& mayHold, GridLines& lines, int level, int parts = gridLinesParts(),
                     std::size_t deferBytes = 0);

// Compresses the parts packGridLines left uncompressed; false when compression failed. Throws
// std::bad_alloc when memory fails.
bool compressGridLines(GridLines& lines, int level);

// Puts the squares of `lines` (packed from the chunks `packed`) back into the grid, which holds
// squares only in the chunks of `mayHold`: every other square of those ends empty. False when
// the lines do not fit `packed`, are not all compressed, or memory fails (the grid is then
// partly restored).
bool unpackGridLines(FastGrid& g, const ChunkBits& packed, const GridLines& lines, const ChunkBits& mayHold);

uint64_t gridLinesBytes(const GridLines& lines);

}  // namespace qm
