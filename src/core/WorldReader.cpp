// Reading a world file. Nothing read is trusted: every length is checked against the bytes that
// are there, every size against the machine's memory, every value against what a run can leave.

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <new>
#include <utility>
#include <vector>

#include "core/ByteStream.h"
#include "core/RunSetup.h"
#include "core/SafeFile.h"
#include "core/WorldFile.h"
#include "core/WorldFileFormat.h"
#include "core/WorldReaderParts.h"
#include "core/MemoryBudget.h"

namespace qm {
namespace {

using namespace worldformat;
using namespace worldread;

struct Sections {
    std::map<uint32_t, std::pair<const uint8_t*, std::size_t>> payloads;
    ByteReader reader(uint32_t tag) const {
        auto found = payloads.find(tag);
        if (found == payloads.end()) damaged("a section is missing");
        return ByteReader(found->second.first, found->second.second);
    }
};

// The sections as they lie between the header and the trailer; false when they do not add up.
bool walkSections(const uint8_t* data, std::size_t size, Sections& sections, bool& twice) {
    ByteReader body(data + HeaderBytes, size - HeaderBytes);
    while (body.left() > TrailerBytes) {
        uint32_t tag = 0;
        uint64_t length = 0;
        if (!body.u32(tag) || !body.u64(length) || length > body.left()) return false;
        const uint8_t* payload = body.take(length);
        if (!sections.payloads.emplace(tag, std::make_pair(payload, static_cast<std::size_t>(length))).second)
            twice = true;
    }
    return body.left() == TrailerBytes;
}

// Magic, checksum, version, then the sections, in that order: nothing the checksum covers is
// interpreted before it matches, so damage is reported as damage and not as what it altered.
Sections checkFrame(const uint8_t* data, std::size_t size) {
    if (size < sizeof Magic || std::memcmp(data, Magic, sizeof Magic) != 0) fail("it is not a world file");
    if (size < HeaderBytes + TrailerBytes) fail("the file is truncated");
    Sections sections;
    bool twice = false;
    const bool whole = walkSections(data, size, sections, twice);
    ByteReader trailer(data + size - TrailerBytes, TrailerBytes);
    uint32_t stored = 0;
    trailer.u32(stored);
    if (crc32(data, size - TrailerBytes) != stored)
        fail(whole ? "its checksum does not match (the file is damaged)"
                   : "its checksum does not match (the file is truncated or damaged)");
    ByteReader head(data + sizeof Magic, size - sizeof Magic);
    uint32_t version = 0;
    head.u32(version);
    if (version == 0) fail("it is not a world file");
    if (version > WorldFormatVersion)
        fail("it was written by a newer version of the program (format " + std::to_string(version) +
             ", this one reads up to " + std::to_string(WorldFormatVersion) + ")");
    if (!whole) damaged("sections");
    if (twice) damaged("a section appears twice");
    for (uint32_t required : {TagSettings, TagCounters, TagAnts, TagDefinition, TagGrid, TagStore})
        if (!sections.payloads.count(required)) damaged("a section is missing");
    return sections;
}

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
    // The filled count is not checked for sign: a world whose count disagrees with its squares
    // runs on with it (it may then fall below zero), and what it is saved as must open again.
    need(c.stepCount >= 0 && c.peakFilled >= 0, "counters");
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

std::unique_ptr<LoadedWorld> parseWorld(const uint8_t* data, std::size_t size, World& target, std::string& error,
                                        FastGrid* reuseGrid) {
    auto world = std::make_unique<LoadedWorld>();
    world->reuseGrid = reuseGrid;
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

bool startsAsWorldFile(const std::string& path) {
    std::string reason;
    const int fd = openRegularFileForReading(path, reason);
    if (fd < 0) return false;
    char magic[sizeof Magic] = {};
    const std::size_t got = readUpTo(fd, magic, sizeof magic);
    ::close(fd);
    return got == sizeof magic && std::memcmp(magic, Magic, sizeof magic) == 0;
}

std::unique_ptr<LoadedWorld> readWorldFile(const std::string& path, World& target, std::string& error) {
    const int fd = openRegularFileForReading(path, error);
    if (fd < 0) return nullptr;
    struct stat status {};
    if (::fstat(fd, &status) != 0 || status.st_size < 0) {
        ::close(fd);
        error = "the file cannot be read";
        return nullptr;
    }
    const auto length = static_cast<uint64_t>(status.st_size);
    if (length > physicalMemoryOf(queryMemoryStatus())) {
        ::close(fd);
        error = "the file is larger than this machine's memory";
        return nullptr;
    }
    std::vector<uint8_t> bytes;
    try {
        bytes.resize(static_cast<std::size_t>(length));
    } catch (const std::bad_alloc&) {
        ::close(fd);
        error = "not enough memory";
        return nullptr;
    }
    const std::size_t got = readUpTo(fd, bytes.data(), bytes.size());
    ::close(fd);
    if (got != bytes.size()) {
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