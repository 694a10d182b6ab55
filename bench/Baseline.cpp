#include "Baseline.h"

#include <chrono>
#include <cstring>
#include <memory>
#include <unordered_map>
#include <vector>

#include "headless/HeadlessRun.h"
#include "core/RunSetup.h"
#include "definitions/AntReader.h"
#include "core/MemoryBudget.h"
#include "core/RunSettings.h"

namespace qmbench {
namespace {

struct PlainAnt {
    uint32_t u, v;  // shifted coordinates
    int dir;        // 0 = X+, 1 = Y-, 2 = X-, 3 = Y+
    int32_t index;
    uint64_t program;
};

constexpr int DX[4] = {1, 0, -1, 0};
constexpr int DY[4] = {0, -1, 0, 1};

// Cell policies: toggle returns 1 for a left turn.
// One cell per byte or word, all ones when empty, the painting ant's index otherwise.
template <class Cell>
struct WholeCells {
    static constexpr Cell Empty = static_cast<Cell>(~Cell{0});
    std::vector<Cell> cells;
    uint32_t side;
    explicit WholeCells(uint32_t s) : cells(size_t(s) * s, Empty), side(s) {}
    int toggle(const PlainAnt& a) {
        Cell& c = cells[size_t(a.u) * side + a.v];
        if (c != Empty) { c = Empty; return 1; }
        c = Cell(a.index);
        return 0;
    }
};
using ByteCells = WholeCells<uint8_t>;
using WordCells = WholeCells<uint16_t>;
struct NibbleCells {
    std::vector<uint8_t> cells;
    uint32_t side;
    explicit NibbleCells(uint32_t s) : cells((size_t(s) * s + 1) / 2, 0xFF), side(s) {}
    int toggle(const PlainAnt& a) {
        const size_t cell = size_t(a.u) * side + a.v;
        uint8_t& b = cells[cell >> 1];
        const int shift = (cell & 1) ? 0 : 4;
        const uint8_t mask = uint8_t(0x0F << shift);
        if ((b & mask) != mask) { b |= mask; return 1; }
        b = uint8_t((b & ~mask) | ((a.index & 0x0F) << shift));
        return 0;
    }
};
struct BitCells {
    std::vector<uint8_t> cells;
    uint32_t rowBytes;
    explicit BitCells(uint32_t s) : cells(size_t(s) * ((s + 7) / 8), 0), rowBytes((s + 7) / 8) {}
    int toggle(const PlainAnt& a) {
        uint8_t& b = cells[size_t(a.v) * rowBytes + (a.u >> 3)];
        const uint8_t m = uint8_t(1u << (a.u & 7));
        const int was = (b & m) != 0;
        b ^= m;
        return was;
    }
};
struct StateCells {
    std::vector<uint8_t> cells;
    uint32_t side;
    int states;
    StateCells(uint32_t s, int n) : cells(size_t(s) * s, 0), side(s), states(n) {}
    int toggle(const PlainAnt& a) {
        uint8_t& c = cells[size_t(a.u) * side + a.v];
        if (c == 0) c = 1;
        const int turn = int((a.program >> (c - 1)) & 1);
        if (++c > states) c = 1;
        return turn;
    }
};

// Squares beyond the block, as a simple peer keeps them: a hash map from the square to its
// value (the painting ant, or the cell value of a generalized square; present = black).
struct HashedSquares {
    std::unordered_map<uint64_t, uint16_t> squares;
    uint32_t half;
    bool generalized;
    int states;
    int toggle(const PlainAnt& a) {
        const uint64_t key = (uint64_t{a.u - half} << 32) | uint32_t(a.v - half);
        if (generalized) {
            uint16_t& c = squares[key];
            if (c == 0) c = 1;
            const int turn = int((a.program >> (c - 1)) & 1);
            if (++c > states) c = 1;
            return turn;
        }
        const auto found = squares.find(key);
        if (found != squares.end()) {
            squares.erase(found);
            return 1;
        }
        squares.emplace(key, uint16_t(a.index));
        return 0;
    }
    // Node, bucket and value per square, as the standard library lays them out.
    int64_t bytes() const {
        return int64_t(squares.bucket_count() * sizeof(void*)) +
               int64_t(squares.size()) * int64_t(sizeof(void*) + sizeof(std::pair<const uint64_t, uint16_t>) + sizeof(size_t));
    }
};

// Without `beyond` the loop stops at the block's edge; with it, squares beyond go to the map.
template <bool Beyond, class Cells>
RunReport plainLoop(Cells& cells, std::vector<PlainAnt>& ants, uint32_t maxCell, int64_t maxSteps,
                    RunReport r, HashedSquares* beyond) {
    int64_t filled = 0, peak = 0, moves = 0, steps = 0;
    bool atEdge = false;
    const auto start = std::chrono::steady_clock::now();
    for (; steps < maxSteps && !atEdge; ++steps) {
        for (PlainAnt& a : ants) {
            int left;
            if constexpr (Beyond) left = a.u <= maxCell && a.v <= maxCell ? cells.toggle(a) : beyond->toggle(a);
            else left = cells.toggle(a);
            a.dir = (a.dir + (left ? 3 : 1)) & 3;
            filled += left ? -1 : 1;
            if (filled > peak) peak = filled;
            a.u += uint32_t(DX[a.dir]);
            a.v += uint32_t(DY[a.dir]);
            ++moves;
            if (!Beyond && (a.u > maxCell || a.v > maxCell)) atEdge = true;
        }
    }
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    r.steps = steps;
    r.moves = moves;
    r.filled = filled;
    r.peak = peak;
    r.stop = atEdge ? qm::StopReason::Axis : qm::StopReason::MaxSteps;
    r.seconds = elapsed.count();
    if constexpr (Beyond) r.storeBytes = beyond->bytes();
    return r;
}

class QuietMessages final : public qm::MessageSink {
public:
    qm::BoxResult showMessage(const std::string&, qm::BoxType, qm::BoxButtons) override { return qm::BoxResult::Ok; }
};

}  // namespace

RunReport runBaseline(const RunOptions& o) {
    // The same ants as the program's run, read by the program's reader.
    qm::World w;
    QuietMessages messages;
    w.messages = &messages;
    w.generalized = o.mode == qm::RunMode::Generalized;
    w.antMaxMode = qm::AntMaxMode::Ants65535;
    w.antMax = 65535;
    const std::vector<std::string> defaultLines{"0,0,1"};
    std::unique_ptr<qm::DefinitionSource> source;
    if (o.antsFile.empty()) source = std::make_unique<qm::EditorSource>(defaultLines);
    else source = std::make_unique<qm::FileSource>(o.antsFile);
    RunReport r;
    r.mode = o.mode;
    const int32_t lines = source->countLines(messages);
    if (lines < 0) {
        r.stop = qm::StopReason::Error;
        return r;
    }
    if (w.generalized) qm::allocateRunAntArrays(w, lines);
    else qm::allocateIndexedAntArrays(w, lines > 0 ? lines : 1);
    const int32_t count = qm::readAnts(w, *source, lines, true);

    const qm::AntMaxChoice choice = qm::antMaxChoiceOf(o.mode);
    const int32_t R = qm::computeHalfSizes(choice)[size_t(o.memoryItem)];
    const uint32_t side = uint32_t(2 * R + 1);
    std::vector<PlainAnt> ants;
    for (int32_t i = 0; i < count; ++i) {
        const qm::AntPos p = w.antPos[i];
        int dir = 0;
        if (w.generalized) dir = w.antDir[i] & 3;
        else {
            const uint8_t code = qm::directionOf(w.antColour[i]);
            dir = code >= 1 && code <= 4 ? code - 1 : 3;
        }
        ants.push_back({uint32_t(p.x) + uint32_t(R), uint32_t(p.y) + uint32_t(R), dir, i,
                        w.generalized ? w.antProgram[i] : 0});
    }
    r.ants = count;
    const int64_t maxSteps = o.maxSteps.value_or(INT64_MAX);
    const uint32_t maxCell = uint32_t(2 * R);
    HashedSquares hashed{{}, uint32_t(R), w.generalized, o.states};
    auto run = [&](auto& cells) {
        return o.continueCompute ? plainLoop<true>(cells, ants, maxCell, maxSteps, r, &hashed)
                                 : plainLoop<false>(cells, ants, maxCell, maxSteps, r, nullptr);
    };
    switch (o.mode) {
        case qm::RunMode::Indexed15: { NibbleCells c(side); return run(c); }
        case qm::RunMode::Indexed65535: { WordCells c(side); return run(c); }
        case qm::RunMode::BlackWhite: { BitCells c(side); return run(c); }
        case qm::RunMode::Generalized: { StateCells c(side, o.states); return run(c); }
        default: { ByteCells c(side); return run(c); }
    }
}

}  // namespace qmbench
