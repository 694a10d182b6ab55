#include "WorldSquares.h"

namespace qmtest {
namespace {

using namespace qm;

uint32_t emptyIndexedValue(RunMode mode) {
    return mode == RunMode::Indexed15 ? 15u : mode == RunMode::Indexed255 ? 255u : 65535u;
}

template <class Store, class ValueOf>
::testing::AssertionResult addStoreSquares(Store& store, const FastGrid& g, Squares& squares, ValueOf valueOf) {
    ::testing::AssertionResult result = ::testing::AssertionSuccess();
    bool first = true;
    int32_t px = 0, py = 0;
    store.ForEach([&](const auto& e) {
        const int32_t x = e.X, y = e.Y;  // packed fields: copy
        if (g.inside(x, y) && result)
            result = ::testing::AssertionFailure() << "(" << x << ", " << y << ") is inside the fast grid";
        if (!first && !(px < x || (px == x && py < y)) && result)
            result = ::testing::AssertionFailure() << "(" << px << ", " << py << ") and (" << x << ", " << y
                                                   << ") are out of order";
        first = false;
        px = x;
        py = y;
        squares.emplace(Square{x, y}, valueOf(e));
    });
    return result;
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
        return addStoreSquares(*w.storeIndexed, w.grid, squares, [](const IndexedSquare& e) { return uint32_t{e.ant}; });
    if (w.storeBW) return addStoreSquares(*w.storeBW, w.grid, squares, [](const BlackSquare&) { return 1u; });
    if (w.storeMulti)
        return addStoreSquares(*w.storeMulti, w.grid, squares, [](const GeneralizedSquare& e) { return uint32_t{e.state}; });
    return ::testing::AssertionSuccess();
}

}  // namespace qmtest
