// The three step loops: turns, moves, counters, limits and their messages, break and hand brake.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "ReferenceModel.h"
#include "TestSupport.h"
#include "core/SquareUpdate.h"
#include "core/MemoryBudget.h"

using namespace qm;
using qmtest::AntSpec;
using qmtest::TestWorld;

namespace {

constexpr int32_t kR = 2507;

struct Visit {
    int32_t x, y;
    bool operator==(const Visit&) const = default;
};

// Records the square of every hooked move.
struct VisitRecorder {
    World* w = nullptr;
    std::vector<Visit> visits;
    static void record(void* self) {
        auto* r = static_cast<VisitRecorder*>(self);
        const AntPos p = r->w->antPos[r->w->counters.currentAnt];
        r->visits.push_back({p.x, p.y});
    }
    void install(World& world) {
        w = &world;
        world.hooks.paint = world.hooks.erase = world.hooks.genSquare = &VisitRecorder::record;
        world.hooks.context = this;
    }
};

AntPos runSingle(RunMode mode, uint8_t dir, int64_t steps) {
    TestWorld t(mode, kR, {{0, 0, dir}});
    t.w.limits.userMaxSteps = steps;
    t.run();
    return t.pos(0);
}

}  // namespace

TEST(Highways, EachDirectionCodeBuildsItsDiagonal) {
    struct Case {
        uint8_t code;
        int sx, sy;  // expected signs of the drift
    };
    // 1 -> LT, 2 -> RT, 3 -> RB, 4 -> LB
    for (Case c : {Case{1, -1, 1}, Case{2, 1, 1}, Case{3, 1, -1}, Case{4, -1, -1}}) {
        const AntPos a = runSingle(RunMode::Indexed255, c.code, 11000);
        const AntPos b = runSingle(RunMode::Indexed255, c.code, 11000 + 104 * 10);  // ten highway periods
        const int dx = b.x - a.x, dy = b.y - a.y;
        EXPECT_GT(dx * c.sx, 10) << "code " << int(c.code);
        EXPECT_GT(dy * c.sy, 10) << "code " << int(c.code);
        EXPECT_EQ(std::abs(dx), std::abs(dy)) << "a highway is diagonal";
    }
}

TEST(ModesAgree, IndexedBlackWhiteAndGeneralizedMoveAlikeFor12000Steps) {
    TestWorld indexed(RunMode::Indexed255, kR, {{3, -2, 1}});
    TestWorld bw(RunMode::BlackWhite, kR, {{3, -2, 1}});
    TestWorld gen(RunMode::Generalized, kR, {{3, -2, 0}});
    VisitRecorder ri, rb, rg;
    ri.install(indexed.w);
    rb.install(bw.w);
    rg.install(gen.w);
    for (TestWorld* t : {&indexed, &bw, &gen}) {
        t->w.limits.userMaxSteps = 12500;
        t->run();
        EXPECT_EQ(t->w.counters.stepCount, 12500);
        EXPECT_TRUE(t->messages.messages.empty());
    }
    ASSERT_EQ(ri.visits.size(), 12500u);
    EXPECT_EQ(ri.visits, rb.visits);
    EXPECT_EQ(ri.visits, rg.visits);
    EXPECT_EQ(indexed.w.counters.filled, bw.w.counters.filled);
    EXPECT_EQ(indexed.w.counters.peakFilled, bw.w.counters.peakFilled);
    const RunCounters& a = indexed.w.counters;
    const RunCounters& c = gen.w.counters;
    EXPECT_EQ(std::tie(a.minX, a.maxX, a.minY, a.maxY), std::tie(c.minX, c.maxX, c.minY, c.maxY));

    qmtest::ReferenceModel model;
    model.ants.push_back({3, -2, 0});
    for (int i = 0; i < 12500; ++i) model.step();
    EXPECT_EQ(model.ants[0].x, indexed.pos(0).x);
    EXPECT_EQ(model.ants[0].y, indexed.pos(0).y);
    EXPECT_EQ(model.blackCount(), indexed.w.counters.filled);
    EXPECT_EQ(model.visited, gen.w.counters.filled);
}

TEST(FastGridAddressing, NibblesShareBytesAcrossColumns) {
    TestWorld t(RunMode::Indexed15, 3, {});
    const FastGrid& g = t.w.grid;
    ASSERT_EQ(g.byteSize, (7 * 7 + 1) / 2);
    auto paint = [&](int32_t x, int32_t y, int32_t ant) { return squareUpdateIndexed<CellWidth::Nibble>(t.w, t.w.grid, ant, x, y); };
    // Cells hold the complement of the ant index: ant 1 is 0xE, an empty nibble 0.
    EXPECT_EQ(paint(-3, -3, 1), 0);
    EXPECT_EQ(g.cells[0], 0xE0) << "(-R,-R) is the high nibble of byte 0";
    EXPECT_EQ(paint(-3, -2, 2), 0);
    EXPECT_EQ(g.cells[0], 0xED) << "(-R,-R+1) is the low nibble of byte 0";
    EXPECT_EQ(paint(-3, 3, 3), 0);
    EXPECT_EQ(g.cells[3], 0xC0) << "(-R,R) is the high nibble of byte (S-1)/2";
    EXPECT_EQ(paint(-2, -3, 4), 0);
    EXPECT_EQ(g.cells[3], 0xCB) << "(-R+1,-R) shares that byte in the low nibble";
    EXPECT_EQ(paint(-2, -2, 5), 0);
    EXPECT_EQ(g.cells[4], 0xA0);
    // Clearing one nibble leaves its neighbour alone, whoever clears it.
    EXPECT_EQ(paint(-3, -3, 9), 1);
    EXPECT_EQ(g.cells[0], 0x0D);
    EXPECT_EQ(g.indexedValue(-3, -2), 2u);
    EXPECT_EQ(g.indexedValue(-3, -3), 15u);
    EXPECT_EQ(paint(3, 3, 14), 0);
    EXPECT_EQ(g.indexedValue(3, 3), 14u);
    EXPECT_EQ(g.cells[g.byteSize - 1] >> 4, 1) << "(R,R) is the last cell";
}

TEST(FastGridAddressing, BitsAreRowsOfBytesLowBitFirst) {
    TestWorld t(RunMode::BlackWhite, 10, {});
    const FastGrid& g = t.w.grid;
    ASSERT_EQ(g.rowBytes, 3);
    ASSERT_EQ(g.byteSize, 21 * 3) << "a tiny grid still holds all its rows";
    EXPECT_EQ(squareUpdateBW(t.w, t.w.grid, -10, -10), 0);
    EXPECT_EQ(g.cells[0], 0x01);
    EXPECT_EQ(squareUpdateBW(t.w, t.w.grid, -2, -10), 0);
    EXPECT_EQ(g.cells[1], 0x01) << "(-R+8, Y) is bit 0 of the second byte";
    EXPECT_EQ(squareUpdateBW(t.w, t.w.grid, -9, -9), 0);
    EXPECT_EQ(g.cells[3], 0x02) << "the next row starts after rowBytes bytes";
    EXPECT_EQ(squareUpdateBW(t.w, t.w.grid, 10, 10), 0);
    EXPECT_EQ(g.cells[20 * 3 + 2], 0x10);
    EXPECT_EQ(squareUpdateBW(t.w, t.w.grid, -10, -10), 1);
    EXPECT_EQ(g.cells[0], 0x00);
}

TEST(FastGridAddressing, LargestGridOfEveryModeGivesEverySquareItsOwnPlaceInTheBlock) {
    // Only the geometry: the blocks themselves would take a gigabyte.
    const std::pair<AntMaxChoice, CellWidth> modes[] = {{AntMaxChoice::Ants15, CellWidth::Nibble},
                                                        {AntMaxChoice::Ants255, CellWidth::Byte},
                                                        {AntMaxChoice::Ants65535, CellWidth::Word},
                                                        {AntMaxChoice::BlackWhite, CellWidth::Bit}};
    for (const auto& [choice, width] : modes) {
        FastGrid g;
        g.halfSize = computeHalfSizes(choice)[MemoryChoiceCount - 1];
        g.side = 2 * g.halfSize + 1;
        g.maxCell = 2 * g.halfSize;
        g.rowBytes = (g.side + 7) / 8;
        g.width = width;
        const int32_t r = g.halfSize;
        const int64_t blockBytes = fastGridByteSize(r, width);
        SCOPED_TRACE(r);
        if (width == CellWidth::Bit) {
            const int64_t rowBits = 8ll * g.rowBytes;
            EXPECT_EQ(g.bitNumber(r, r), int64_t{2} * r * rowBits + 2 * r);
            EXPECT_LT(g.bitByte(r, r), blockBytes);
            EXPECT_EQ(g.bitByte(r - 1, r), g.bitByte(r, r) - ((r - 1 + r) % 8 == 7 ? 1 : 0));
            // These two squares lie 2^32 bits apart in a 32-bit reckoning.
            EXPECT_NE(g.bitNumber(0, 10000), g.bitNumber(-36208, -38846));
            EXPECT_EQ(g.bitNumber(0, 10000) - g.bitNumber(-36208, -38846), 48846ull * rowBits + 36208);
        } else {
            const int64_t last = int64_t{g.side} * g.side - 1;
            EXPECT_EQ(g.cellIndex(r, r), last);
            EXPECT_EQ(g.cellIndex(-r, -r), 0);
            const int64_t lastByte = width == CellWidth::Nibble ? last / 2 : width == CellWidth::Word ? last * 2 + 1 : last;
            EXPECT_LT(lastByte, blockBytes);
        }
    }
}

TEST(FastGridAddressing, FreshGridsReadEmptyInEveryModeAndEdgesAreInside) {
    struct Case {
        RunMode mode;
        int32_t expected;
    };
    for (RunMode mode : {RunMode::Indexed15, RunMode::Indexed255, RunMode::Indexed65535, RunMode::BlackWhite,
                         RunMode::Generalized}) {
        TestWorld t(mode, 5, {});
        const FastGrid& g = t.w.grid;
        for (int32_t x = -5; x <= 5; ++x)
            for (int32_t y = -5; y <= 5; ++y) {
                if (mode == RunMode::BlackWhite) EXPECT_FALSE(g.blackAt(x, y));
                else if (mode == RunMode::Generalized) EXPECT_EQ(g.generalizedValue(x, y), 0);
                else EXPECT_EQ(g.indexedValue(x, y), mode == RunMode::Indexed15 ? 15u : mode == RunMode::Indexed255 ? 255u : 65535u);
            }
        EXPECT_TRUE(g.inside(5, 5));
        EXPECT_TRUE(g.inside(-5, -5));
        EXPECT_FALSE(g.inside(6, 0));
        EXPECT_FALSE(g.inside(0, -6));
        EXPECT_FALSE(g.inside(INT32_MAX, INT32_MIN));
        EXPECT_FALSE(g.inside(INT32_MIN, INT32_MAX));
    }
}

namespace {

// Hands out blocks full of garbage, as a heap may, unless asked for zeroed ones.
class GarbageAllocator final : public qm::Allocator {
public:
    void* allocate(std::size_t bytes) override {
        void* block = qm::allocatorDefault().allocate(bytes);
        if (block) std::memset(block, 0xA5, bytes);
        return block;
    }
    void* allocateZeroed(std::size_t bytes) override {
        ++zeroed;
        return qm::allocatorDefault().allocateZeroed(bytes);
    }
    void* reallocate(void* block, std::size_t bytes) override { return qm::allocatorDefault().reallocate(block, bytes); }
    void release(void* block) override { qm::allocatorDefault().release(block); }
    int zeroed = 0;
};

}  // namespace

TEST(FastGridAllocation, EveryModeTakesZeroedMemoryInWhichEverySquareIsEmpty) {
    for (RunMode mode : {RunMode::Indexed15, RunMode::Indexed255, RunMode::Indexed65535, RunMode::BlackWhite,
                         RunMode::Generalized}) {
        GarbageAllocator garbage;
        qmtest::AllocatorGuard guard(&garbage);
        FastGrid g;
        ASSERT_TRUE(allocateFastGrid(g, 40, cellWidthOf(mode)));
        EXPECT_EQ(garbage.zeroed, 1) << runModeName(mode);
        int64_t notEmpty = 0;
        for (int32_t x = -40; x <= 40; ++x)
            for (int32_t y = -40; y <= 40; ++y) {
                if (mode == RunMode::BlackWhite) notEmpty += g.blackAt(x, y);
                else if (mode == RunMode::Generalized) notEmpty += g.generalizedValue(x, y) != 0;
                else notEmpty += g.indexedValue(x, y) != (mode == RunMode::Indexed15 ? 15u : mode == RunMode::Indexed255 ? 255u : 65535u);
            }
        EXPECT_EQ(notEmpty, 0) << runModeName(mode);
        releaseFastGrid(g);
    }
}

namespace {

template <CellWidth Width>
void checkIndexedEncoding(RunMode mode) {
    SCOPED_TRACE(runModeName(mode));
    const uint32_t empty = indexedEmpty(Width);
    const uint32_t largest = empty - 1;
    EXPECT_EQ(encodeIndexedCell(empty, Width), 0u);
    EXPECT_EQ(encodeIndexedCell(0, Width), empty);
    EXPECT_EQ(encodeIndexedCell(largest, Width), 1u);
    TestWorld t(mode, 2, {});
    FastGrid& g = t.w.grid;
    const uint64_t cell = g.cellNumber(0, 0);
    for (uint32_t value : {0u, largest, empty}) {
        SCOPED_TRACE(value);
        EXPECT_EQ(decodeIndexedCell(encodeIndexedCell(value, Width), Width), value);
        // By hand and by the square update, beside a painted neighbour that may share the byte.
        g.setIndexedValue(0, 1, 0);
        g.setIndexedValue(0, 0, value);
        EXPECT_EQ(g.indexedValue(0, 0), value);
        EXPECT_EQ(indexedCellPainted<Width>(g, cell), value != empty ? 1 : 0);
        g.setIndexedValue(0, 0, empty);
        if (value == empty) continue;
        EXPECT_EQ(squareUpdateIndexed<Width>(t.w, g, static_cast<int32_t>(value), 0, 0), 0);
        EXPECT_EQ(g.indexedValue(0, 0), value);
        EXPECT_EQ(squareUpdateIndexed<Width>(t.w, g, 0, 0, 0), 1);
        EXPECT_EQ(g.indexedValue(0, 0), empty);
        EXPECT_EQ(g.indexedValue(0, 1), 0u) << "the neighbour is untouched";
    }
    g.setIndexedValue(0, 1, empty);
    EXPECT_TRUE(std::all_of(g.cells, g.cells + g.byteSize, [](uint8_t b) { return b == 0; }))
        << "an emptied block is all zeros again";
}

}  // namespace

// The zero cell is the empty square; ant 0 and the largest ant number stay apart from it,
// whichever way a square is written or read.
TEST(FastGridAllocation, IndexedCellsEncodeEmptyAsZeroAndEveryAntNumberApart) {
    checkIndexedEncoding<CellWidth::Nibble>(RunMode::Indexed15);
    checkIndexedEncoding<CellWidth::Byte>(RunMode::Indexed255);
    checkIndexedEncoding<CellWidth::Word>(RunMode::Indexed65535);
}

TEST(FastGridSizing, ByteSizesPerMode) {
    EXPECT_EQ(fastGridByteSize(2507, CellWidth::Byte), 25150226);
    EXPECT_EQ(fastGridByteSize(3545, CellWidth::Nibble), (7091 * 7091 + 1) / 2);
    EXPECT_EQ(fastGridByteSize(1772, CellWidth::Word), 2 * 3545 * 3545 + 1);
    EXPECT_EQ(fastGridByteSize(6728, CellWidth::Bit), 25477258);
    EXPECT_EQ(fastGridByteSize(43962, CellWidth::Bit), 9 * 10991 * 10990 + 4);
}

TEST(SquareUpdates, IndexedClearsWhateverAntPaintedIt) {
    for (RunMode mode : {RunMode::Indexed15, RunMode::Indexed255, RunMode::Indexed65535}) {
        TestWorld t(mode, 4, {});
        auto update = [&](int32_t ant) {
            switch (mode) {
                case RunMode::Indexed15: return squareUpdateIndexed<CellWidth::Nibble>(t.w, t.w.grid, ant, 1, 2);
                case RunMode::Indexed255: return squareUpdateIndexed<CellWidth::Byte>(t.w, t.w.grid, ant, 1, 2);
                default: return squareUpdateIndexed<CellWidth::Word>(t.w, t.w.grid, ant, 1, 2);
            }
        };
        EXPECT_EQ(update(7), 0);
        EXPECT_EQ(t.w.grid.indexedValue(1, 2), 7u);
        EXPECT_EQ(update(3), 1);
        EXPECT_EQ(t.w.grid.indexedValue(1, 2), mode == RunMode::Indexed15 ? 15u : mode == RunMode::Indexed255 ? 255u : 65535u);
    }
}

TEST(SquareUpdates, GeneralizedStatesAdvanceAndWrap) {
    TestWorld t(RunMode::Generalized, 4, {}, false, 2);
    EXPECT_EQ(squareUpdateGeneralized(t.w, 0xAAAAAAAAAAAAAAAAull, 0, 0), 0);
    EXPECT_EQ(t.w.grid.generalizedValue(0, 0), 2);
    EXPECT_EQ(t.w.counters.filled, 1);
    EXPECT_EQ(t.w.counters.peakFilled, 0);
    EXPECT_EQ(squareUpdateGeneralized(t.w, 0xAAAAAAAAAAAAAAAAull, 0, 0), 1);
    EXPECT_EQ(t.w.grid.generalizedValue(0, 0), 1);
    EXPECT_EQ(t.w.counters.peakFilled, 1) << "the wrap from the last state counts";
    EXPECT_EQ(t.w.counters.filled, 1);

    t.w.states = 64;
    t.w.grid.cells[t.w.grid.cellIndex(1, 1)] = 64;  // state 63
    EXPECT_EQ(squareUpdateGeneralized(t.w, 1ull << 63, 1, 1), 1) << "state 63 reads bit 63";
    EXPECT_EQ(t.w.grid.generalizedValue(1, 1), 1) << "cell value 65 wraps to 1";
}
