#include "core/GridLines.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <bit>
#include <cstring>
#include <memory>
#include <new>
#include <optional>
#include <system_error>
#include <thread>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "core/ThreadClock.h"
#include "core/TouchedPages.h"
#include "core/WorldFileFormat.h"
#include "core/ZstdFrames.h"

namespace qm {
namespace {

constexpr std::size_t LineBytes = 64;
constexpr std::size_t LinesPerChunk = worldformat::GridChunkBytes / LineBytes;
using LineMask = std::array<uint64_t, LinesPerChunk / 64>;
// Fewer chunks than this to a part are not worth a thread (4 MB, half a millisecond to read).
constexpr uint64_t LeastPartChunks = 64;
constexpr std::size_t BatchBytes = std::size_t{1} << 20;

bool zeros(const uint8_t* from, const uint8_t* to) {
    return std::all_of(from, to, [](uint8_t b) { return b == 0; });
}

// A scan reads every line of the touched pages: four vector loads each, at memory speed.
bool lineEmpty(const uint8_t* line, std::size_t size) {
    if (size != LineBytes) return zeros(line, line + size);
#if defined(__SSE2__)
    const auto* v = reinterpret_cast<const __m128i*>(line);
    const __m128i any = _mm_or_si128(_mm_or_si128(_mm_loadu_si128(v), _mm_loadu_si128(v + 1)),
                                     _mm_or_si128(_mm_loadu_si128(v + 2), _mm_loadu_si128(v + 3)));
    return _mm_movemask_epi8(_mm_cmpeq_epi8(any, _mm_setzero_si128())) == 0xFFFF;
#else
    uint64_t words[LineBytes / 8];
    std::memcpy(words, line, LineBytes);
    uint64_t any = 0;
    for (uint64_t word : words) any |= word;
    return any == 0;
#endif
}

// Whether a line holds no square, reading only its bytes on pages ever touched. The grid's block
// need not begin on a page, so a line may reach onto the next one: reading that page would map
// the zero page there (see TouchedPages), and the next scan would count it touched.
bool lineEmpty(const TouchedPages& pages, const uint8_t* line, std::size_t size) {
    const TouchedPages::Part part = pages.touchedPart(line, size);
    if (part.from == 0 && part.to == size) return lineEmpty(line, size);
    return zeros(line + part.from, line + part.to);
}

// Copies a line that holds squares to `out` (64 bytes: zeros past the grid's end and for its
// bytes on pages never touched); false for a line that holds none.
bool gatherLine(const TouchedPages& pages, const uint8_t* line, std::size_t size, uint8_t* out) {
    const TouchedPages::Part part = pages.touchedPart(line, size);
    if (part.from == 0 && part.to == LineBytes) {  // the usual line, wholly on a touched page
        if (lineEmpty(line, LineBytes)) return false;
        std::memcpy(out, line, LineBytes);
        return true;
    }
    if (zeros(line + part.from, line + part.to)) return false;
    std::memset(out, 0, LineBytes);
    std::memcpy(out + part.from, line + part.from, part.to - part.from);
    return true;
}

// Empties a line, writing only where it holds squares: a page never touched stays so.
void clearLine(const TouchedPages& pages, uint8_t* line, std::size_t size) {
    const TouchedPages::Part part = pages.touchedPart(line, size);
    if (!zeros(line + part.from, line + part.to)) std::memset(line + part.from, 0, part.to - part.from);
}

// The whole lines from `at` on that lie on a page never touched: a scan passes over them at once.
std::size_t untouchedLines(const TouchedPages& pages, const uint8_t* at) {
    return pages.untouchedRun(at) / LineBytes;
}

bool chunkEmpty(const TouchedPages& pages, const uint8_t* chunk, std::size_t size) {
    for (std::size_t at = 0; at < size; at += LineBytes) {
        if (const std::size_t skipped = untouchedLines(pages, chunk + at)) {
            at += (skipped - 1) * LineBytes;
            continue;
        }
        if (!lineEmpty(pages, chunk + at, std::min(LineBytes, size - at))) return false;
    }
    return true;
}

// The lines of a chunk that hold squares, gathered in order into `lines`: their count.
std::size_t gatherLines(const TouchedPages& pages, const uint8_t* chunk, std::size_t size, LineMask& mask,
                        uint8_t* lines) {
    mask.fill(0);
    std::size_t count = 0;
    for (std::size_t i = 0, at = 0; at < size; ++i, at += LineBytes) {
        if (const std::size_t skipped = untouchedLines(pages, chunk + at)) {
            i += skipped - 1;
            at += (skipped - 1) * LineBytes;
            continue;
        }
        if (!gatherLine(pages, chunk + at, std::min(LineBytes, size - at), lines + count * LineBytes)) continue;
        mask[i / 64] |= uint64_t{1} << (i % 64);
        ++count;
    }
    return count;
}

// One part's outcome, handed back from its thread.
struct PartResult {
    double seconds = 0.0;
    bool ok = false;
    bool outOfMemory = false;
};

// Compresses the part's bytes gathered so far, then those to come, into its frame.
class PartFrame {
public:
    explicit PartFrame(int level) : writer_(out_, level) {}
    void add(const uint8_t* bytes, std::size_t size) { writer_.add(bytes, size); }
    bool finish(std::string& frame) {
        const bool ok = writer_.finish();
        frame = std::move(out_.bytes());
        frame.shrink_to_fit();
        return ok;
    }

private:
    ByteWriter out_;
    ZstdFrameWriter writer_;
};

// The bytes of gathered lines all parts together may leave uncompressed. Shared, not split
// evenly: parts hold equal numbers of chunks, not of lines, and a part that outgrew an even
// share compressed on the caller's critical path while the others left room unused.
class DeferRoom {
public:
    explicit DeferRoom(std::size_t bytes) : left_(bytes), total_(bytes) {}
    std::size_t total() const { return total_; }
    // Takes `bytes` more of the room; false, taking nothing, when less is left.
    bool take(std::size_t bytes) {
        std::size_t left = left_.load(std::memory_order_relaxed);
        do {
            if (left < bytes) return false;
        } while (!left_.compare_exchange_weak(left, left - bytes, std::memory_order_relaxed));
        return true;
    }
    void giveBack(std::size_t bytes) { left_.fetch_add(bytes, std::memory_order_relaxed); }

private:
    std::atomic<std::size_t> left_;
    const std::size_t total_;
};

// Packs the chunks [from, to) that `mayHold` marks; clears the marks of those without squares
// (the words of [from, to) are this part's alone). Gathered lines are left uncompressed in the
// part, for compressGridLines, while `room` holds them; past that, or with no room at all, the
// part is compressed here.
PartResult packPart(const FastGrid& g, const TouchedPages& pages, ChunkBits& mayHold, uint64_t from, uint64_t to,
                    int level, DeferRoom& room, GridLinesPart& part) {
    PartResult result;
    const double start = threadSeconds();
    try {
        std::optional<PartFrame> frame;
        if (room.total() == 0) frame.emplace(level);
        // Chunks go to the compressor a batch at a time: a call for each chunk's few lines cost a
        // quarter of the checkpoint. A deferred part gathers into one buffer, no larger than its
        // marked chunks could fill (a sanitizer shadows all of it) and touched only as far as it
        // is written.
        constexpr std::size_t ChunkRoom = sizeof(LineMask) + worldformat::GridChunkBytes;
        uint64_t marked = 0;
        for (uint64_t k = from; k < to; ++k) marked += hasChunk(mayHold, k) ? 1 : 0;
        const auto bufferBytes =
            static_cast<std::size_t>(std::min<uint64_t>(frame ? BatchBytes : room.total(), marked * ChunkRoom));
        auto batch = std::make_unique_for_overwrite<uint8_t[]>(bufferBytes + ChunkRoom);
        // Compressing, from the start or once the room ran out, a batch at a time.
        const std::size_t flushAt = std::min(BatchBytes, bufferBytes);
        std::size_t batched = 0;
        std::size_t held = 0;  // of the room
        for (uint64_t k = from; k < to; ++k) {
            if (!hasChunk(mayHold, k)) continue;
            LineMask mask;
            const std::size_t count =
                gatherLines(pages, gridChunkAt(g, k), gridChunkSize(g, k), mask, batch.get() + batched + sizeof mask);
            if (count == 0) {
                mayHold[k >> 6] &= ~(uint64_t{1} << (k & 63));
                continue;
            }
            std::memcpy(batch.get() + batched, mask.data(), sizeof mask);
            batched += sizeof mask + count * LineBytes;
            if (!frame && batched > held) {
                if (room.take(batched - held)) {
                    held = batched;
                } else {
                    frame.emplace(level);  // too much to keep uncompressed
                    room.giveBack(held);
                    held = 0;
                }
            }
            if (frame && batched >= flushAt) {
                frame->add(batch.get(), batched);
                batched = 0;
            }
        }
        if (!frame && batched == 0) frame.emplace(level);  // nothing to leave for later
        if (frame) {
            frame->add(batch.get(), batched);
            result.ok = frame->finish(part.frame);
        } else {
            part.gathered = std::move(batch);
            part.gatheredBytes = batched;
            result.ok = true;
        }
    } catch (const std::bad_alloc&) {
        result.outOfMemory = true;
    }
    result.seconds = threadSeconds() - start;
    return result;
}

// Unpacks one part into the chunks [from, to).
PartResult unpackPart(FastGrid& g, const TouchedPages& pages, const ChunkBits& packed, const ChunkBits& mayHold,
                      uint64_t from, uint64_t to, const std::string& frame) {
    PartResult result;
    try {
        ZstdFrameReader reader(reinterpret_cast<const uint8_t*>(frame.data()), frame.size());
        std::vector<uint8_t> lines(worldformat::GridChunkBytes);
        LineMask mask;
        for (uint64_t k = from; k < to; ++k) {
            uint8_t* chunk = gridChunkAt(g, k);
            const std::size_t size = gridChunkSize(g, k);
            const bool held = hasChunk(mayHold, k);
            if (!hasChunk(packed, k)) {
                // Reading is cheaper than writing: a chunk already empty stays untouched.
                if (held && !chunkEmpty(pages, chunk, size)) std::memset(chunk, 0, size);
                continue;
            }
            if (!reader.fill(mask.data(), sizeof mask)) return result;
            std::size_t count = 0;
            for (uint64_t word : mask) count += static_cast<std::size_t>(std::popcount(word));
            if (count == 0 || count > (size + LineBytes - 1) / LineBytes || !reader.fill(lines.data(), count * LineBytes))
                return result;
            std::size_t next = 0;
            for (std::size_t i = 0, at = 0; at < size; ++i, at += LineBytes) {
                const std::size_t bytes = std::min(LineBytes, size - at);
                if ((mask[i / 64] >> (i % 64)) & 1u) {
                    std::memcpy(chunk + at, lines.data() + next * LineBytes, bytes);
                    ++next;
                } else if (held) {
                    clearLine(pages, chunk + at, bytes);
                }
            }
            if (next != count) return result;  // a line marked past the grid's end
        }
        result.ok = reader.finish();
    } catch (const std::bad_alloc&) {
        result.outOfMemory = true;
    }
    return result;
}

// Runs part i of `count` through `work(i)`, the first on the caller's thread and each other on a
// thread of its own (on the caller's too when no thread can be had).
template <class Work>
std::vector<PartResult> runParts(std::size_t count, Work work) {
    std::vector<PartResult> results(count);
    std::vector<std::thread> threads;
    threads.reserve(count);
    for (std::size_t i = 1; i < count; ++i) {
        try {
            threads.emplace_back([&results, &work, i] { results[i] = work(i); });
        } catch (const std::system_error&) {
            results[i] = work(i);
        }
    }
    results[0] = work(0);
    for (std::thread& t : threads) t.join();
    return results;
}

}  // namespace

int gridLinesParts() {
    // Asked at every frame, and the machine's answer reads a file.
    static const int parts = static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1u, 4u));
    return parts;
}

double packGridLines(const FastGrid& g, ChunkBits& mayHold, GridLines& lines, int level, int parts,
                     std::size_t deferBytes) {
    const uint64_t chunks = gridChunkCount(g);
    uint64_t marked = 0;
    for (uint64_t word : mayHold) marked += static_cast<uint64_t>(std::popcount(word));
    const uint64_t most = std::clamp<uint64_t>(marked / LeastPartChunks, 1, static_cast<uint64_t>(std::max(parts, 1)));
    // Parts of about equal numbers of marked chunks, split between words of `mayHold`.
    std::vector<uint64_t> firstWord{0};
    uint64_t seen = 0;
    for (std::size_t word = 0; word + 1 < mayHold.size() && firstWord.size() < most; ++word) {
        seen += static_cast<uint64_t>(std::popcount(mayHold[word]));
        if (seen * most >= marked * firstWord.size()) firstWord.push_back(word + 1);
    }
    const TouchedPages pages(g.cells, static_cast<std::size_t>(std::max(g.byteSize, 0)));
    DeferRoom room(deferBytes);
    lines.clear();
    lines.resize(firstWord.size());
    for (std::size_t i = 0; i < lines.size(); ++i) lines[i].firstChunk = firstWord[i] * 64;
    const std::vector<PartResult> results = runParts(lines.size(), [&](std::size_t i) {
        const uint64_t to = i + 1 < lines.size() ? lines[i + 1].firstChunk : chunks;
        return packPart(g, pages, mayHold, lines[i].firstChunk, to, level, room, lines[i]);
    });
    double longest = 0.0;
    for (const PartResult& r : results) {
        if (r.outOfMemory) throw std::bad_alloc();
        if (!r.ok) return -1.0;
        longest = std::max(longest, r.seconds);
    }
    return longest - results[0].seconds;
}

bool compressGridLines(GridLines& lines, int level) {
    bool ok = true;
    for (GridLinesPart& part : lines) {
        if (!part.gathered) continue;
        PartFrame frame(level);
        frame.add(part.gathered.get(), part.gatheredBytes);
        ok = frame.finish(part.frame) && ok;
        part.gathered.reset();
        part.gatheredBytes = 0;
    }
    return ok;
}

bool unpackGridLines(FastGrid& g, const ChunkBits& packed, const GridLines& lines, const ChunkBits& mayHold) {
    const uint64_t chunks = gridChunkCount(g);
    if (packed.size() != mayHold.size() || packed.size() != (chunks + 63) / 64 || lines.empty() ||
        lines.front().firstChunk != 0)
        return false;
    for (const GridLinesPart& part : lines)
        if (part.gathered) return false;  // not compressed yet
    for (std::size_t i = 1; i < lines.size(); ++i)
        if (lines[i].firstChunk <= lines[i - 1].firstChunk || lines[i].firstChunk >= chunks) return false;
    const TouchedPages pages(g.cells, static_cast<std::size_t>(std::max(g.byteSize, 0)));
    const std::vector<PartResult> results = runParts(lines.size(), [&](std::size_t i) {
        const uint64_t to = i + 1 < lines.size() ? lines[i + 1].firstChunk : chunks;
        return unpackPart(g, pages, packed, mayHold, lines[i].firstChunk, to, lines[i].frame);
    });
    return std::all_of(results.begin(), results.end(), [](const PartResult& r) { return r.ok; });
}

uint64_t gridLinesBytes(const GridLines& lines) {
    uint64_t bytes = 0;
    for (const GridLinesPart& part : lines) bytes += part.frame.size() + part.gatheredBytes + sizeof(GridLinesPart);
    return bytes;
}

}  // namespace qm
