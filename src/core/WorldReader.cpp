// Reading a world file. Nothing read is trusted: every length is checked against the bytes that
// are there, every size against the machine's memory, every value against what a run can leave.

#include <zstd.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <map>
#include <new>
#include <utility>
#include <vector>

#include "core/ByteStream.h"
#include "core/RunSetup.h"
#include "core/WorldFile.h"
#include "core/WorldFileFormat.h"
#include "settings/AboutBoxUnit/MemoryBudget.h"

namespace qm {
namespace {

using namespace worldformat;

// A reason the file cannot be used, thrown inside the reader and caught at its entry.
struct Unusable {
    std::string reason;
};

[[noreturn]] void fail(const std::string& reason) { throw Unusable{reason}; }
[[noreturn]] void damaged(const char* what) { fail(std::string("the file is damaged (") + what + ")"); }

template <class T>
void need(bool got, T what) {
    if (!got) damaged(what);
}

struct Sections {
    std::map<uint32_t, std::pair<const uint8_t*, std::size_t>> payloads;
    ByteReader reader(uint32_t tag) const {
        auto found = payloads.find(tag);
        if (found == payloads.end()) fail("the file is truncated");
        return ByteReader(found->second.first, found->second.second);
    }
};

// Magic, version, section frame and checksum, in that order, so that the reason given is the
// first thing wrong with the file.
Sections checkFrame(const uint8_t* data, std::size_t size) {
    if (size < sizeof Magic || std::memcmp(data, Magic, sizeof Magic) != 0) fail("it is not a world file");
    ByteReader head(data + sizeof Magic, size - sizeof Magic);
    uint32_t version = 0;
    if (!head.u32(version)) fail("the file is truncated");
    if (version == 0) fail("it is not a world file");
    if (version > WorldFormatVersion)
        fail("it was written by a newer version of the program (format " + std::to_string(version) +
             ", this one reads up to " + std::to_string(WorldFormatVersion) + ")");
    Sections sections;
    ByteReader body(data + HeaderBytes, size - HeaderBytes);
    while (body.left() > TrailerBytes) {
        uint32_t tag = 0;
        uint64_t length = 0;
        if (!body.u32(tag) || !body.u64(length) || length > body.left()) fail("the file is truncated");
        const uint8_t* payload = body.take(length);
        if (!sections.payloads.emplace(tag, std::make_pair(payload, static_cast<std::size_t>(length))).second)
            damaged("a section appears twice");
    }
    for (uint32_t required : {TagSettings, TagCounters, TagAnts, TagDefinition, TagGrid, TagStore})
        if (!sections.payloads.count(required) || body.left() != TrailerBytes) fail("the file is truncated");
    uint32_t stored = 0;
    body.u32(stored);
    if (crc32(data, size - TrailerBytes) != stored) fail("its checksum does not match (the file is damaged)");
    return sections;
}

// Every allocation the file asks for together, against what the machine has.
class MemoryBill {
public:
    void add(uint64_t bytes) { total_ += bytes; }
    void check() const {
        const uint64_t machine = queryMemoryStatus().total;
        if (total_ > machine)
            fail("it needs " + std::to_string(total_ / MiB) + " MB of memory, more than this machine has (" +
                 std::to_string(machine / MiB) + " MB)");
    }

private:
    uint64_t total_ = 0;
};

void readSettings(ByteReader in, LoadedWorld& world) {
    WorldSettings& s = world.document.settings;
    uint8_t mode = 0, continueCompute = 0;
    int32_t axisBound = 0;
    need(in.u8(mode) && in.i32(s.states) && in.i32(s.spectrum) && in.i32(s.memoryItem) && in.u8(continueCompute) &&
             in.i32(s.viewOffsetX) && in.i32(s.viewOffsetY) && in.i32(s.squareSizeItem) &&
             in.i64(world.limits.stepMax) && in.i64(world.limits.filledMax) && in.i32(axisBound),
         "settings");
    need(mode <= static_cast<uint8_t>(RunMode::Generalized), "run mode");
    s.mode = static_cast<RunMode>(mode);
    const int32_t lowestStates = s.mode == RunMode::Generalized ? 2 : 0;
    need(s.states >= lowestStates && s.states <= 64, "number of states");
    need(s.spectrum >= 0 && s.spectrum <= 3, "colour spectrum");
    need(s.memoryItem >= 0 && s.memoryItem < MemoryChoiceCount, "memory choice");
    need(continueCompute <= 1, "continue setting");
    need(s.squareSizeItem >= 0 && s.squareSizeItem <= 5, "square size");
    need(world.limits.stepMax >= 0 && world.limits.filledMax >= 0 && axisBound > 0, "limits");
    s.continueCompute = continueCompute != 0;
    world.limits.axisBound = axisBound;
    world.limits.axisBoundNeg = -axisBound;
    switch (s.mode) {
        case RunMode::Indexed15: world.antMax = 15; break;
        case RunMode::Indexed255: world.antMax = 255; break;
        case RunMode::Indexed65535: world.antMax = 65535; break;
        default: world.antMax = 15; break;  // the others size their arrays by the ants read
    }
}

void readCounters(ByteReader in, LoadedWorld& world) {
    RunCounters& c = world.counters;
    uint8_t stop = 0;
    need(in.i64(c.stepCount) && in.i64(c.filled) && in.i64(c.peakFilled) && in.i32(c.minX) && in.i32(c.maxX) &&
             in.i32(c.minY) && in.i32(c.maxY) && in.i32(c.antCount) && in.i32(c.currentAnt) &&
             in.i32(world.resumeAnt) && in.f64(c.elapsedDays) && in.u8(stop),
         "counters");
    need(c.stepCount >= 0 && c.filled >= 0 && c.peakFilled >= 0, "counters");
    need(c.minX <= 0 && c.minY <= 0 && c.maxX >= 0 && c.maxY >= 0, "bounding box");
    need(c.antCount >= 1, "ant count");
    if (isIndexedMode(world.document.settings.mode)) need(c.antCount <= world.antMax, "ant count");
    need(c.currentAnt >= 0 && c.currentAnt < c.antCount, "current ant");
    need(world.resumeAnt >= 0 && world.resumeAnt <= c.antCount, "resume point");
    need(std::isfinite(c.elapsedDays) && c.elapsedDays >= 0.0, "computing time");
    need(stop <= static_cast<uint8_t>(StopReason::Error), "stop reason");
    world.lastStop = static_cast<StopReason>(stop);
}

template <class T>
T* obtain(int64_t count) {
    return static_cast<T*>(allocator().allocate(static_cast<std::size_t>(count > 0 ? count : 1) * sizeof(T)));
}

void readAnts(ByteReader in, LoadedWorld& world, MemoryBill& bill) {
    const RunMode mode = world.document.settings.mode;
    const int32_t count = world.counters.antCount;
    need(in.left() == uint64_t{static_cast<uint32_t>(count)} * antEntryBytes(mode), "ants");
    const int32_t capacity = isIndexedMode(mode) ? world.antMax : count;
    bill.add(uint64_t{static_cast<uint32_t>(capacity)} * 21);
    bill.check();
    world.antCapacity = capacity;
    world.antPos = obtain<AntPos>(capacity);
    bool ok = world.antPos != nullptr;
    if (isIndexedMode(mode)) {
        world.antColour = obtain<uint32_t>(capacity);
        ok = ok && world.antColour;
        if (ok) {
            std::memset(world.antPos, 0, sizeof(AntPos) * static_cast<std::size_t>(capacity));
            std::memset(world.antColour, 0, sizeof(uint32_t) * static_cast<std::size_t>(capacity));
        }
    } else {
        world.antDir = obtain<uint8_t>(capacity);
        ok = ok && world.antDir;
        if (mode == RunMode::Generalized) {
            world.antProgram = obtain<uint64_t>(capacity);
            ok = ok && world.antProgram;
        }
    }
    if (!ok) fail("not enough memory for its ants");
    for (int32_t i = 0; i < count; ++i) {
        in.i32(world.antPos[i].x);
        in.i32(world.antPos[i].y);
        if (isIndexedMode(mode)) {
            in.u32(world.antColour[i]);
        } else {
            in.u8(world.antDir[i]);
            if (mode == RunMode::Generalized) {
                in.u64(world.antProgram[i]);
                need(world.antDir[i] <= 3, "ant direction");
            }
        }
    }
}

// Decompresses one frame into pieces of memory given in order; the frame must fill them exactly.
class FrameReader {
public:
    FrameReader(const uint8_t* frame, std::size_t size) : ctx_(ZSTD_createDCtx()), in_{frame, size, 0} {
        if (!ctx_) fail("not enough memory to decompress");
    }
    ~FrameReader() { ZSTD_freeDCtx(ctx_); }
    FrameReader(const FrameReader&) = delete;
    FrameReader& operator=(const FrameReader&) = delete;

    void fill(uint8_t* target, std::size_t size, const char* what) {
        ZSTD_outBuffer out{target, size, 0};
        while (out.pos < out.size) {
            need(!ended_, what);  // the frame ended before the pieces were full
            step(out, what);
        }
    }
    // Nothing may follow what the pieces took: the frame ends exactly there.
    void finish(const char* what) {
        uint8_t spare = 0;
        while (!ended_) {
            ZSTD_outBuffer out{&spare, 1, 0};
            step(out, what);
            need(out.pos == 0, what);
        }
        need(in_.pos == in_.size, what);
    }

private:
    ZSTD_DCtx* ctx_;
    ZSTD_inBuffer in_;
    bool ended_ = false;

    void step(ZSTD_outBuffer& out, const char* what) {
        const std::size_t inBefore = in_.pos;
        const std::size_t outBefore = out.pos;
        const std::size_t hint = ZSTD_decompressStream(ctx_, &out, &in_);
        need(!ZSTD_isError(hint), what);
        if (hint == 0) ended_ = true;
        else need(in_.pos != inBefore || out.pos != outBefore, what);  // the data ran out
    }
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

// Widens the painted extent by the squares of every byte of a chunk that is not the fill; a
// byte of four-bit or one-bit cells counts all of its squares.
void notePaintedSquares(LoadedWorld& world, const uint8_t* chunk, std::size_t size, uint64_t firstByte, uint8_t fill) {
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
        if (chunk[i] == fill) continue;
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

void readGrid(ByteReader in, LoadedWorld& world, MemoryBill& bill) {
    const RunMode mode = world.document.settings.mode;
    int32_t halfSize = 0;
    uint8_t width = 0;
    uint32_t byteSize = 0, chunkBytes = 0, listed = 0;
    need(in.i32(halfSize) && in.u8(width) && in.u32(byteSize) && in.u32(chunkBytes) && in.u32(listed), "grid");
    need(halfSize >= 1 && halfSize <= 1 << 20, "grid size");
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

    bill.add(byteSize);
    bill.check();
    if (!allocateFastGrid(world.grid, halfSize, cellWidthOf(mode), fillByteOf(mode)))
        fail("not enough memory for its grid");
    FrameReader reader(frame, static_cast<std::size_t>(frameBytes));
    for (uint32_t k : chunks) {
        const uint64_t at = uint64_t{k} * chunkBytes;
        const std::size_t size = static_cast<std::size_t>(std::min<uint64_t>(chunkBytes, byteSize - at));
        uint8_t* chunk = world.grid.cells + at;
        reader.fill(chunk, size, "grid data");
        notePaintedSquares(world, chunk, size, at, fillByteOf(mode));
        if (mode == RunMode::Generalized) {
            uint8_t highest = 0;
            for (std::size_t i = 0; i < size; ++i) highest = std::max(highest, chunk[i]);
            need(highest <= 64, "square state");
        }
    }
    reader.finish("grid data");
}

template <class Element>
bool elementFits(const Element&, const LoadedWorld&) {
    return true;
}
template <>
bool elementFits(const TMyixUI16& e, const LoadedWorld& world) {
    return e.ant < world.antMax;
}
template <>
bool elementFits(const TMyMulti& e, const LoadedWorld&) {
    return e.state >= 1 && e.state <= 64;
}

template <class Element, class Store>
void fillStore(Store& store, const uint8_t* elements, uint32_t count, LoadedWorld& world) {
    for (uint32_t i = 0; i < count; ++i) {
        Element e;
        std::memcpy(&e, elements + uint64_t{i} * sizeof(Element), sizeof(Element));
        need(!world.grid.inside(e.X, e.Y), "a stored square lies inside the grid");
        need(elementFits(e, world), "stored square");
        if (!store.AppendSorted(e)) {
            if (store.LastError() == SSErrorIndex) damaged("stored squares out of order");
            fail("not enough memory for its stored squares");
        }
    }
}

template <class Element, class Store>
Store* readStoreElements(ByteReader& in, LoadedWorld& world, MemoryBill& bill, Store* store) {
    std::unique_ptr<Store> owned(store);
    uint32_t count = 0;
    uint64_t frameBytes = 0;
    need(in.u32(count) && count <= INT32_MAX && in.u64(frameBytes) && frameBytes == in.left(), "stored squares");
    const uint8_t* frame = in.take(frameBytes);
    const uint64_t bytes = uint64_t{count} * sizeof(Element);
    need(frameCanHold(frameBytes, bytes), "stored squares");
    bill.add(2 * bytes);  // the unpacked elements and the store holding them
    bill.check();
    need(ZSTD_getFrameContentSize(frame, static_cast<std::size_t>(frameBytes)) == bytes, "stored squares");
    std::vector<uint8_t> elements;
    try {
        elements.resize(static_cast<std::size_t>(bytes));
    } catch (const std::bad_alloc&) {
        fail("not enough memory for its stored squares");
    }
    const std::size_t got =
        ZSTD_decompress(elements.data(), elements.size(), frame, static_cast<std::size_t>(frameBytes));
    need(!ZSTD_isError(got) && got == bytes, "stored squares");
    const int32_t delta = sparseStoreDelta(world.document.settings.memoryItem, queryMemoryStatus().available,
                                           world.grid.byteSize);
    if (owned->LastError() != SSErrorNone ||
        !owned->Reserve(std::max<int32_t>(static_cast<int32_t>(count), std::max(delta, 1)), std::max(delta, 1)))
        fail("not enough memory for its stored squares");
    fillStore<Element>(*owned, elements.data(), count, world);
    return owned.release();
}

void readStore(ByteReader in, LoadedWorld& world, World& target, MemoryBill& bill) {
    uint8_t kind = 0;
    need(in.u8(kind), "stored squares");
    const RunMode mode = world.document.settings.mode;
    switch (static_cast<StoreKind>(kind)) {
        case StoreKind::None: need(in.left() == 0, "stored squares"); return;
        case StoreKind::Indexed:
            need(isIndexedMode(mode), "store kind");
            world.storeIndexed = readStoreElements<TMyixUI16>(in, world, bill, new TSS_SortAddArray(&target.searchIndexed));
            return;
        case StoreKind::BlackWhite:
            need(mode == RunMode::BlackWhite, "store kind");
            world.storeBW = readStoreElements<TMyAntBW>(in, world, bill, new TSS_SortAddArrayBW(&target.searchBW));
            return;
        case StoreKind::Generalized:
            need(mode == RunMode::Generalized, "store kind");
            world.storeMulti = readStoreElements<TMyMulti>(
                in, world, bill, new TSS_SortAddArrayMulti(&target.searchMulti, &target.counters.filled));
            return;
    }
    damaged("store kind");
}

template <class T>
void releaseBlock(T*& block) {
    if (block) allocator().release(block);
    block = nullptr;
}

}  // namespace

LoadedWorld::~LoadedWorld() {
    releaseFastGrid(grid);
    delete storeIndexed;
    delete storeBW;
    delete storeMulti;
    releaseBlock(antPos);
    releaseBlock(antColour);
    releaseBlock(antDir);
    releaseBlock(antProgram);
}

std::unique_ptr<LoadedWorld> parseWorld(const uint8_t* data, std::size_t size, World& target, std::string& error) {
    auto world = std::make_unique<LoadedWorld>();
    try {
        const Sections sections = checkFrame(data, size);
        MemoryBill bill;
        readSettings(sections.reader(TagSettings), *world);
        readCounters(sections.reader(TagCounters), *world);
        ByteReader definition = sections.reader(TagDefinition);
        const std::size_t textBytes = definition.left();
        const uint8_t* text = definition.take(textBytes);
        world->document.definitionText.assign(reinterpret_cast<const char*>(text), textBytes);
        readAnts(sections.reader(TagAnts), *world, bill);
        readGrid(sections.reader(TagGrid), *world, bill);
        readStore(sections.reader(TagStore), *world, target, bill);
    } catch (const Unusable& unusable) {
        error = unusable.reason;
        return nullptr;
    } catch (const std::bad_alloc&) {
        error = "not enough memory";
        return nullptr;
    }
    return world;
}

std::unique_ptr<LoadedWorld> readWorldFile(const std::string& path, World& target, std::string& error) {
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    if (!file) {
        error = "the file cannot be read";
        return nullptr;
    }
    const std::streamoff length = file.tellg();
    if (length < 0) {
        error = "the file cannot be read";
        return nullptr;
    }
    if (static_cast<uint64_t>(length) > queryMemoryStatus().total) {
        error = "the file is larger than this machine's memory";
        return nullptr;
    }
    std::vector<uint8_t> bytes;
    try {
        bytes.resize(static_cast<std::size_t>(length));
    } catch (const std::bad_alloc&) {
        error = "not enough memory";
        return nullptr;
    }
    file.seekg(0);
    if (!file.read(reinterpret_cast<char*>(bytes.data()), length)) {
        error = "the file cannot be read";
        return nullptr;
    }
    return parseWorld(bytes.data(), bytes.size(), target, error);
}

void installWorld(World& w, LoadedWorld& loaded) {
    w.releaseAll();
    const WorldSettings& s = loaded.document.settings;
    w.generalized = s.mode == RunMode::Generalized;
    switch (s.mode) {
        case RunMode::Indexed15: w.antMaxMode = AntMaxMode::Ants15; break;
        case RunMode::Indexed65535: w.antMaxMode = AntMaxMode::Ants65535; break;
        case RunMode::BlackWhite: w.antMaxMode = AntMaxMode::BlackWhite; break;
        default: w.antMaxMode = AntMaxMode::Ants255; break;
    }
    w.antMax = w.generalized ? loaded.counters.antCount : loaded.antMax;
    w.states = s.states;
    const int64_t userMaxSteps = w.limits.userMaxSteps;
    w.limits = loaded.limits;
    w.limits.userMaxSteps = userMaxSteps > w.limits.stepMax ? w.limits.stepMax : userMaxSteps;
    w.counters = loaded.counters;
    w.resumeAnt = loaded.resumeAnt;
    w.lastStop = loaded.lastStop;
    w.idle = 1;

    w.grid = loaded.grid;
    loaded.grid.cells = nullptr;
    w.storeIndexed = std::exchange(loaded.storeIndexed, nullptr);
    w.storeBW = std::exchange(loaded.storeBW, nullptr);
    w.storeMulti = std::exchange(loaded.storeMulti, nullptr);
    w.searchMulti.state = 1;
    w.antPos = std::exchange(loaded.antPos, nullptr);
    w.antColour = std::exchange(loaded.antColour, nullptr);
    w.antDir = std::exchange(loaded.antDir, nullptr);
    w.antProgram = std::exchange(loaded.antProgram, nullptr);
    w.antPosCapacity = loaded.antCapacity;
}

}  // namespace qm
