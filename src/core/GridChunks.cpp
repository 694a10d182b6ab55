#include "core/GridChunks.h"

#include <algorithm>

#include "core/WorldFileFormat.h"

namespace qm {

uint64_t gridChunkCount(const FastGrid& g) {
    return (static_cast<uint64_t>(g.byteSize) + worldformat::GridChunkBytes - 1) / worldformat::GridChunkBytes;
}

uint8_t* gridChunkAt(const FastGrid& g, uint64_t k) { return g.cells + k * worldformat::GridChunkBytes; }

std::size_t gridChunkSize(const FastGrid& g, uint64_t k) {
    const auto total = static_cast<uint64_t>(g.byteSize);
    return static_cast<std::size_t>(std::min<uint64_t>(worldformat::GridChunkBytes, total - k * worldformat::GridChunkBytes));
}

ChunkBits everyChunk(const FastGrid& g) {
    const uint64_t count = gridChunkCount(g);
    ChunkBits bits((count + 63) / 64, ~uint64_t{0});
    if (count % 64) bits.back() = (uint64_t{1} << (count % 64)) - 1;
    return bits;
}

namespace {

uint64_t byteOf(const FastGrid& g, int32_t x, int32_t y) {
    switch (g.width) {
        case CellWidth::Bit: return g.bitNumber(x, y) >> 3;
        case CellWidth::Nibble: return g.cellNumber(x, y) >> 1;
        case CellWidth::Word: return g.cellNumber(x, y) * 2;
        default: return g.cellNumber(x, y);
    }
}

}  // namespace

void markChunksAround(ChunkBits& bits, const FastGrid& g, int32_t x, int32_t y, int64_t radius) {
    const int64_t r = g.halfSize;
    const int64_t x0 = std::max<int64_t>(int64_t{x} - radius, -r), x1 = std::min<int64_t>(int64_t{x} + radius, r);
    const int64_t y0 = std::max<int64_t>(int64_t{y} - radius, -r), y1 = std::min<int64_t>(int64_t{y} + radius, r);
    if (x0 > x1 || y0 > y1) return;
    const uint64_t first = byteOf(g, static_cast<int32_t>(x0), static_cast<int32_t>(y0));
    const uint64_t last = byteOf(g, static_cast<int32_t>(x1), static_cast<int32_t>(y1)) + 1;  // a word's second byte
    const uint64_t count = gridChunkCount(g);
    const uint64_t from = first / worldformat::GridChunkBytes;
    const uint64_t to = std::min(last / worldformat::GridChunkBytes, count - 1);
    // Whole words at once: a frame marks thousands of ants.
    const uint64_t firstWord = from >> 6, lastWord = to >> 6;
    const uint64_t headMask = ~uint64_t{0} << (from & 63);
    const uint64_t tailMask = ~uint64_t{0} >> (63 - (to & 63));
    if (firstWord == lastWord) {
        bits[firstWord] |= headMask & tailMask;
        return;
    }
    bits[firstWord] |= headMask;
    for (uint64_t word = firstWord + 1; word < lastWord; ++word) bits[word] = ~uint64_t{0};
    bits[lastWord] |= tailMask;
}

}  // namespace qm
