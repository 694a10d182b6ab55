// Writing a world file: sections in a fixed order, the grid and the store compressed.

#include <algorithm>
#include <cstring>
#include <vector>

#include "core/ByteStream.h"
#include "core/GridChunks.h"
#include "core/SafeFile.h"
#include "core/WorldFile.h"
#include "core/WorldFileFormat.h"
#include "core/ZstdFrames.h"

namespace qm {
namespace {

using namespace worldformat;

class Section {
public:
    Section(ByteWriter& out, uint32_t tag) : out_(out) {
        out_.u32(tag);
        lengthAt_ = out_.size();
        out_.u64(0);
    }
    ~Section() { out_.patchU64(lengthAt_, out_.size() - lengthAt_ - 8); }

private:
    ByteWriter& out_;
    std::size_t lengthAt_;
};

void writeSettings(ByteWriter& out, const World& w, const WorldSettings& s) {
    Section section(out, TagSettings);
    out.u8(static_cast<uint8_t>(w.mode()));
    out.i32(w.states);
    out.i32(s.spectrum);
    out.i32(s.memoryItem);
    out.u8(s.continueCompute ? 1 : 0);
    out.i32(s.viewOffsetX);
    out.i32(s.viewOffsetY);
    out.i32(s.squareSizeItem);
    out.i64(w.limits.stepMax);
    out.i64(w.limits.filledMax);
    out.i32(w.limits.axisBound);
}

void writeCounters(ByteWriter& out, const WorldPoint& point) {
    Section section(out, TagCounters);
    const RunCounters& c = point.counters;
    out.i64(c.stepCount);
    out.i64(c.filled);
    out.i64(c.peakFilled);
    out.i32(c.minX);
    out.i32(c.maxX);
    out.i32(c.minY);
    out.i32(c.maxY);
    out.i32(c.antCount);
    out.i32(c.currentAnt);
    out.i32(point.resumeAnt);
    out.f64(c.elapsedDays);
    out.u8(static_cast<uint8_t>(point.lastStop));
}

void writeAnts(ByteWriter& out, const World& w) {
    Section section(out, TagAnts);
    const RunMode mode = w.mode();
    for (int32_t i = 0; i < w.counters.antCount; ++i) {
        out.i32(w.antPos[i].x);
        out.i32(w.antPos[i].y);
        if (isIndexedMode(mode)) {
            out.u32(w.antColour[i]);
        } else {
            out.u8(w.antDir[i]);
            if (mode == RunMode::Generalized) out.u64(w.antProgram[i]);
        }
    }
}

void writeDefinition(ByteWriter& out, const std::string& text) {
    Section section(out, TagDefinition);
    out.raw(text.data(), text.size());
}

bool chunkEmpty(const uint8_t* chunk, std::size_t size) {
    return size == 0 || (chunk[0] == 0 && std::memcmp(chunk, chunk + 1, size - 1) == 0);
}

// Without `squares`, the grid's size and no chunk.
bool writeGrid(ByteWriter& out, const World& w, bool squares, int level) {
    Section section(out, TagGrid);
    const FastGrid& g = w.grid;
    const bool complemented = isIndexedMode(w.mode());
    const uint64_t chunkCount = gridChunkCount(g);
    std::vector<uint32_t> painted;
    uint64_t paintedBytes = 0;
    for (uint64_t k = 0; squares && k < chunkCount; ++k) {
        const std::size_t size = gridChunkSize(g, k);
        if (chunkEmpty(gridChunkAt(g, k), size)) continue;
        painted.push_back(static_cast<uint32_t>(k));
        paintedBytes += size;
    }
    out.i32(g.halfSize);
    out.u8(static_cast<uint8_t>(g.width));
    out.u32(static_cast<uint32_t>(g.byteSize));
    out.u32(GridChunkBytes);
    out.u32(static_cast<uint32_t>(painted.size()));
    for (uint32_t k : painted) out.u32(k);
    const std::size_t frameLengthAt = out.size();
    out.u64(0);
    ZstdFrameWriter frame(out, level);
    frame.setSize(paintedBytes);
    std::vector<uint8_t> converted(complemented ? GridChunkBytes : 0);
    for (uint32_t k : painted) {
        const uint8_t* chunk = gridChunkAt(g, k);
        const std::size_t size = gridChunkSize(g, k);
        if (complemented) {
            std::memcpy(converted.data(), chunk, size);
            complementBytes(converted.data(), size);
            chunk = converted.data();
        }
        frame.add(chunk, size);
    }
    const bool ok = frame.finish();
    out.patchU64(frameLengthAt, out.size() - frameLengthAt - 8);
    return ok;
}

template <class Element, class Store>
bool writeStoreElements(ByteWriter& out, const Store& store, int level, bool elements) {
    if (!elements) {
        out.u32(0);
        const std::size_t frameLengthAt = out.size();
        out.u64(0);
        ZstdFrameWriter frame(out, level);
        frame.setSize(0);
        const bool ok = frame.finish();
        out.patchU64(frameLengthAt, out.size() - frameLengthAt - 8);
        return ok;
    }
    out.u32(static_cast<uint32_t>(store.Count()));
    const std::size_t frameLengthAt = out.size();
    out.u64(0);
    ZstdFrameWriter frame(out, level);
    frame.setSize(uint64_t{static_cast<uint32_t>(store.Count())} * sizeof(Element));
    // Elements go to the frame in batches: one call per element would cost more than the copy.
    std::vector<Element> batch;
    batch.reserve(4096);
    store.ForEach([&](const Element& e) {
        batch.push_back(e);
        if (batch.size() == 4096) {
            frame.add(batch.data(), batch.size() * sizeof(Element));
            batch.clear();
        }
    });
    frame.add(batch.data(), batch.size() * sizeof(Element));
    const bool ok = frame.finish();
    out.patchU64(frameLengthAt, out.size() - frameLengthAt - 8);
    return ok;
}

bool writeStore(ByteWriter& out, const World& w, int level, bool elements) {
    Section section(out, TagStore);
    if (w.storeIndexed) {
        out.u8(static_cast<uint8_t>(StoreKind::Indexed));
        return writeStoreElements<IndexedSquare>(out, *w.storeIndexed, level, elements);
    }
    if (w.storeBW) {
        out.u8(static_cast<uint8_t>(StoreKind::BlackWhite));
        return writeStoreElements<BlackSquare>(out, *w.storeBW, level, elements);
    }
    if (w.storeMulti) {
        out.u8(static_cast<uint8_t>(StoreKind::Generalized));
        return writeStoreElements<GeneralizedSquare>(out, *w.storeMulti, level, elements);
    }
    out.u8(static_cast<uint8_t>(StoreKind::None));
    return true;
}

}  // namespace

WorldPoint WorldPoint::of(const World& w) { return WorldPoint{w.counters, w.resumeAnt, w.lastStop}; }

std::string encodeWorld(const World& w, const WorldDocument& document, const WorldPoint& point, std::string& bytes,
                        int level, bool squares) {
    if (!w.grid.exists()) return "there is no world to save";
    if (w.counters.antCount <= 0 || !w.antPos) return "the world has no ants";
    ByteWriter out;
    out.raw(Magic, sizeof Magic);
    out.u32(WorldFormatVersion);
    writeSettings(out, w, document.settings);
    writeCounters(out, point);
    writeAnts(out, w);
    writeDefinition(out, document.definitionText);
    if (!writeGrid(out, w, squares, level) || !writeStore(out, w, level, squares)) return "compression failed";
    out.u32(crc32(out.bytes().data(), out.size()));
    bytes = std::move(out.bytes());
    return {};
}

std::string saveWorldFile(const std::string& path, const World& w, const WorldDocument& document) {
    std::string bytes;
    const std::string reason = encodeWorld(w, document, WorldPoint::of(w), bytes);
    if (!reason.empty()) return reason;
    return replaceFileContent(path, bytes.data(), bytes.size());
}

std::string worldOpenMessage(const std::string& path, const std::string& reason) {
    return "ERROR: Cannot open world file " + path + ": " + reason;
}

std::string worldSaveMessage(const std::string& path, const std::string& reason) {
    return "ERROR: Cannot save world file " + path + ": " + reason;
}

}  // namespace qm
