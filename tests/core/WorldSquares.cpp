#include "WorldSquares.h"

namespace qmtest {
namespace {

using namespace qm;

uint32_t emptyIndexedValue(RunMode mode) {
    return mode == RunMode::Indexed15 ? 15u : mode == RunMode::Indexed255 ? 255u : 65535u;
}

template <class Store, class ValueOf>
::testing::AssertionResult addStoreSquares(Store& store, const FastGrid& g, Squares& squares, ValueOf valueOf) {
    for (int32_t i = 0; i < store.Count(); ++i) {
        const auto& e = *store.Item(i);
        if (g.inside(e.X, e.Y))
            return ::testing::AssertionFailure() << "(" << e.X << ", " << e.Y << ") is inside the fast grid";
        if (i > 0) {
            const auto& p = *store.Item(i - 1);
            if (!(p.X < e.X || (p.X == e.X && p.Y < e.Y)))
                return ::testing::AssertionFailure() << "elements " << i - 1 << " and " << i << " are out of order";
        }
        squares.emplace(Square{int32_t{e.X}, int32_t{e.Y}}, valueOf(e));  // packed fields: copy
    }
    return ::testing::AssertionSuccess();
}

}  // namespace

bool isIndexed(RunMode mode) { return mode != RunMode::BlackWhite && mode != RunMode::Generalized; }

int32_t storeCount(const World& w) {
    if (w.storeIndexed) return w.storeIndexed->Count();
    if (w.storeBW) return w.storeBW->Count();
    if (w.storeMulti) return w.storeMulti->Count();
    return 0;
}

uint8_t antDirection(const World& w, int32_t ant) {
    return isIndexed(w.mode()) ? directionOf(w.antColour[ant]) : w.antDir[ant];
}

Squares gridSquares(const World& w) {
    const FastGrid& g = w.grid;
    const RunMode mode = w.mode();
    const int32_t r = g.halfSize;
    Squares squares;
    for (int32_t x = -r; x <= r; ++x)
        for (int32_t y = -r; y <= r; ++y) {
            if (mode == RunMode::BlackWhite) {
                if (g.blackAt(x, y)) squares.emplace(Square{x, y}, 1u);
            } else if (mode == RunMode::Generalized) {
                if (const uint8_t value = g.generalizedValue(x, y); value != 0) squares.emplace(Square{x, y}, value);
            } else if (const uint32_t ant = g.indexedValue(x, y); ant != emptyIndexedValue(mode)) {
                squares.emplace(Square{x, y}, ant);
            }
        }
    return squares;
}

::testing::AssertionResult allSquares(World& w, Squares& squares) {
    squares = gridSquares(w);
    if (w.storeIndexed)
        return addStoreSquares(*w.storeIndexed, w.grid, squares, [](const TMyixUI16& e) { return uint32_t{e.ant}; });
    if (w.storeBW) return addStoreSquares(*w.storeBW, w.grid, squares, [](const TMyAntBW&) { return 1u; });
    if (w.storeMulti)
        return addStoreSquares(*w.storeMulti, w.grid, squares, [](const TMyMulti& e) { return uint32_t{e.state}; });
    return ::testing::AssertionSuccess();
}

}  // namespace qmtest
