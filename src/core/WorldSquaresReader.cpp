// Reading the squares of a world file: the fast grid's painted chunks and the sparse store's
// elements, each checked before it is used.

#include <zstd.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "core/GridChunks.h"
#include "core/RunSetup.h"
#include "core/WorldFileFormat.h"
#include "core/WorldReaderParts.h"
#include "core/ZstdFrames.h"
#include "core/RunSettings.h"

namespace qm::worldread {
namespace {

using namespace worldformat;

// A frame of the file, read into pieces of memory given in order; any fault is damage.
class FrameReader {
public:
    FrameReader(const uint8_t* frame, std::size_t size) : frame_(frame, size) {
        if (!frame_.ready()) fail("not enough memory to decompress");
    }
    void fill(uint8_t* target, std::size_t size, const char* what) { need(frame_.fill(target, size), what); }
    // Nothing may follow what the pieces took: the frame ends exactly there.
    void finish(const char* what) { need(frame_.finish(), what); }

private:
    ZstdFrameReader frame_;
};

// zstd expands a block of at most 128 KiB from no fewer than 4 bytes: a frame can never unpack to
// more than this, so a count that needs more is a lie of the file, found before allocating.
bool frameCanHold(uint64_t frameBytes, uint64_t unpackedBytes) {
    return unpackedBytes <= frameBytes * 32768 + 131072;
}

int64_t gridBytesFor(int32_t halfSize, CellWidth width) {
    const int64_t side = 2 * static_cast<int64_t>(halfSize) + 1;
    if (width == CellWidth::Bit) {
        const int64_t rowBytes = (side + 7) / 8;
        return std::max<int64_t>(9 * rowBytes * (side / 8) + 4, side * rowBytes);
    }
    return width == CellWidth::Nibble ? side * side / 2 + 1 : side * side * (width == CellWidth::Word ? 2 : 1) + 1;
}

// A run gets its half size from its memory choice, so any other size is damage that could make
// a small file take gigabytes. Grids below the smallest choice (tools and tests choose their
// own) cost no more than that choice.
bool halfSizeFits(int32_t halfSize, RunMode mode, int memoryItem) {
    const std::array<int32_t, MemoryChoiceCount> table = computeHalfSizes(antMaxChoiceOf(mode));
    return halfSize == table[static_cast<std::size_t>(memoryItem)] || halfSize < table[0];
}

// Widens the painted extent by the squares of every byte of a chunk, as the grid holds it, that
// is not zero; a byte of four-bit or one-bit cells counts all of its squares.
void notePaintedSquares(LoadedWorld& world, const uint8_t* chunk, std::size_t size, uint64_t firstByte) {
    const FastGrid& g = world.grid;
    const auto side = static_cast<uint64_t>(g.side);
    auto note = [&](uint64_t u, uint64_t v) {
        if (u >= side || v >= side) return;
        const int32_t x = static_cast<int32_t>(u) - g.halfSize;
        const int32_t y = static_cast<int32_t>(v) - g.halfSize;
        world.paintedMinX = std::min(world.paintedMinX, x);
        world.paintedMaxX = std::max(world.paintedMaxX, x);
        world.paintedMinY = std::min(world.paintedMinY, y);
        world.paintedMaxY = std::max(world.paintedMaxY, y);
    };
    for (std::size_t i = 0; i < size; ++i) {
        // Painted squares are few: empty words are passed over whole.
        if ((i & 7) == 0 && i + 8 <= size) {
            uint64_t word;
            std::memcpy(&word, chunk + i, 8);
            if (word == 0) {
                i += 7;
                continue;
            }
        }
        if (chunk[i] == 0) continue;
        const uint64_t at = firstByte + i;
        switch (g.width) {
            case CellWidth::Bit: {
                const uint64_t v = at / static_cast<uint64_t>(g.rowBytes);
                const uint64_t u = (at % static_cast<uint64_t>(g.rowBytes)) * 8;
                note(u, v);
                note(std::min(u + 7, side - 1), v);
                break;
            }
            case CellWidth::Nibble:
                note(2 * at / side, 2 * at % side);
                note((2 * at + 1) / side, (2 * at + 1) % side);
                break;
            case CellWidth::Word: note(at / 2 / side, at / 2 % side); break;
            default: note(at / side, at % side); break;
        }
    }
}

}  // namespace

void readGrid(ByteReader in, LoadedWorld& world, MemoryBill& bill) {
    const RunMode mode = world.document.settings.mode;
    int32_t halfSize = 0;
    uint8_t width = 0;
    uint32_t byteSize = 0, chunkBytes = 0, listed = 0;
    need(in.i32(halfSize) && in.u8(width) && in.u32(byteSize) && in.u32(chunkBytes) && in.u32(listed), "grid");
    need(halfSize >= 1 && halfSizeFits(halfSize, mode, world.document.settings.memoryItem), "grid size");
    need(width == static_cast<uint8_t>(cellWidthOf(mode)), "grid cell width");
    const int64_t expected = gridBytesFor(halfSize, cellWidthOf(mode));
    need(expected <= INT32_MAX && byteSize == static_cast<uint64_t>(expected) &&
             byteSize == static_cast<uint32_t>(fastGridByteSize(halfSize, cellWidthOf(mode))),
         "grid size");
    need(chunkBytes == GridChunkBytes, "grid chunk size");
    const uint64_t chunkCount = (uint64_t{byteSize} + chunkBytes - 1) / chunkBytes;
    need(listed <= chunkCount && uint64_t{listed} * 4 <= in.left(), "grid chunks");
    std::vector<uint32_t> chunks(listed);
    for (uint32_t i = 0; i < listed; ++i) {
        in.u32(chunks[i]);
        need(chunks[i] < chunkCount && (i == 0 || chunks[i] > chunks[i - 1]), "grid chunks");
    }
    uint64_t frameBytes = 0;
    need(in.u64(frameBytes) && frameBytes == in.left(), "grid data");
    const uint8_t* frame = in.take(frameBytes);
    need(frameCanHold(frameBytes, uint64_t{listed > 0 ? listed - 1 : 0} * chunkBytes), "grid data");

    FastGrid* reuse = world.reuseGrid;
    if (reuse && reuse->exists() && reuse->halfSize == halfSize && reuse->width == cellWidthOf(mode) &&
        static_cast<uint32_t>(reuse->byteSize) == byteSize) {
        world.grid = *reuse;
        reuse->cells = nullptr;
    } else {
        bill.add(byteSize);
        bill.check();
        if (!allocateFastGrid(world.grid, halfSize, cellWidthOf(mode)))
            fail("not enough memory for its grid");
    }
    FrameReader reader(frame, static_cast<std::size_t>(frameBytes));
    for (uint32_t k : chunks) {
        const std::size_t size = gridChunkSize(world.grid, k);  // the grid checked to be as the file says
        uint8_t* chunk = gridChunkAt(world.grid, k);
        reader.fill(chunk, size, "grid data");
        if (isIndexedMode(mode)) complementBytes(chunk, size);
        notePaintedSquares(world, chunk, size, uint64_t{k} * chunkBytes);
        if (mode == RunMode::Generalized) {
            uint8_t highest = 0;
            for (std::size_t i = 0; i < size; ++i) highest = std::max(highest, chunk[i]);
            need(highest <= 64, "square state");
        }
    }
    reader.finish("grid data");
}

namespace {

template <class Element>
bool elementFits(const Element&, const LoadedWorld&) {
    return true;
}
template <>
bool elementFits(const IndexedSquare& e, const LoadedWorld& world) {
    return e.ant < world.antMax;
}
template <>
bool elementFits(const GeneralizedSquare& e, const LoadedWorld&) {
    return e.state >= 1 && e.state <= 64;
}

// Elements are unpacked a batch at a time and added as they come: memory follows the data the
// frame really holds, not the count the file declares.
template <class Element, class Store>
Store* readStoreElements(ByteReader& in, LoadedWorld& world, MemoryBill& bill, Store* store) {
    std::unique_ptr<Store> owned(store);
    uint32_t count = 0;
    uint64_t frameBytes = 0;
    need(in.u32(count) && count <= INT32_MAX && in.u64(frameBytes) && frameBytes == in.left(), "stored squares");
    const uint8_t* frame = in.take(frameBytes);
    const uint64_t bytes = uint64_t{count} * sizeof(Element);
    need(frameCanHold(frameBytes, bytes), "stored squares");
    bill.add(bytes);
    bill.check();
    need(ZSTD_getFrameContentSize(frame, static_cast<std::size_t>(frameBytes)) == bytes, "stored squares");
    const int32_t delta = std::max(sparseStoreDelta(world.document.settings.memoryItem,
                                                    queryMemoryStatus().available, world.grid.byteSize),
                                   1);
    if (owned->LastError() != SSErrorNone || !owned->Reserve(delta, delta))
        fail("not enough memory for its stored squares");
    constexpr uint32_t BatchElements = 4096;
    std::vector<uint8_t> batch(BatchElements * sizeof(Element));
    FrameReader reader(frame, static_cast<std::size_t>(frameBytes));
    for (uint32_t done = 0; done < count;) {
        const uint32_t take = std::min(BatchElements, count - done);
        reader.fill(batch.data(), take * sizeof(Element), "stored squares");
        for (uint32_t i = 0; i < take; ++i) {
            Element e;
            std::memcpy(&e, batch.data() + std::size_t{i} * sizeof(Element), sizeof(Element));
            need(!world.grid.inside(e.X, e.Y), "a stored square lies inside the grid");
            need(elementFits(e, world), "stored square");
            if (!owned->AppendSorted(e)) {
                if (owned->LastError() == SSErrorIndex) damaged("stored squares out of order");
                fail("not enough memory for its stored squares");
            }
        }
        done += take;
    }
    reader.finish("stored squares");
    return owned.release();
}

}  // namespace

void readStore(ByteReader in, LoadedWorld& world, World& target, MemoryBill& bill) {
    uint8_t kind = 0;
    need(in.u8(kind), "stored squares");
    const RunMode mode = world.document.settings.mode;
    switch (static_cast<StoreKind>(kind)) {
        case StoreKind::None: need(in.left() == 0, "stored squares"); return;
        case StoreKind::Indexed:
            need(isIndexedMode(mode), "store kind");
            world.storeIndexed = readStoreElements<IndexedSquare>(in, world, bill, new IndexedSquareStore(&target.searchIndexed));
            return;
        case StoreKind::BlackWhite:
            need(mode == RunMode::BlackWhite, "store kind");
            world.storeBW = readStoreElements<BlackSquare>(in, world, bill, new BlackSquareStore(&target.searchBW));
            return;
        case StoreKind::Generalized:
            need(mode == RunMode::Generalized, "store kind");
            world.storeMulti = readStoreElements<GeneralizedSquare>(
                in, world, bill, new GeneralizedSquareStore(&target.searchMulti, &target.counters.filled));
            return;
    }
    damaged("store kind");
}

}  // namespace qm::worldread
