// The packed arrays and the three sorted stores of squares beyond the fast grid: key order,
// insert and remove positions, growth in fixed steps, failed growth, index errors, and a long
// random run of every store against an ordered map.

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <map>
#include <random>
#include <utility>
#include <vector>

#include "TestSupport.h"
#include "core/SparseStores.h"

using namespace qm;
using qmtest::AllocatorGuard;
using qmtest::CountingAllocator;

namespace {

using Key = std::pair<int32_t, int32_t>;

// One store of each kind with the search element (and counter) it is bound to. put() is what a
// square update does: toggle, or find-or-add.
struct IndexedHarness {
    using Element = IndexedSquare;
    static constexpr bool removes = true;
    IndexedSquare key{};
    IndexedSquareStore store{&key};
    int32_t put(int32_t x, int32_t y, uint16_t ant = 0) {
        key = {x, y, ant};
        return store.Toggle();
    }
};

struct BWHarness {
    using Element = BlackSquare;
    static constexpr bool removes = true;
    BlackSquare key{};
    BlackSquareStore store{&key};
    int32_t put(int32_t x, int32_t y, uint16_t = 0) {
        key = {x, y};
        return store.Toggle();
    }
};

struct MultiHarness {
    using Element = GeneralizedSquare;
    static constexpr bool removes = false;
    GeneralizedSquare key{0, 0, 1};
    int64_t counter = 0;
    GeneralizedSquareStore store{&key, &counter};
    int32_t put(int32_t x, int32_t y, uint16_t = 0) {
        key.X = x;
        key.Y = y;
        return store.FindOrAdd();
    }
};

// Whether put() reports that a new element went in.
template <class H>
bool added(int32_t result) {
    return H::removes ? result == 0 : result >= 0;
}

template <class Store>
std::vector<Key> keysOf(Store& store) {
    std::vector<Key> keys;
    for (int32_t i = 0; i < store.Count(); ++i) keys.emplace_back(int32_t{store.Item(i)->X}, int32_t{store.Item(i)->Y});  // packed fields: copy
    return keys;
}

// Every element's bytes, in key order.
template <class Store>
std::vector<unsigned char> bytesOf(const Store& store) {
    std::vector<unsigned char> bytes;
    store.ForEach([&](const auto& e) {
        const auto* raw = reinterpret_cast<const unsigned char*>(&e);
        bytes.insert(bytes.end(), raw, raw + sizeof e);
    });
    return bytes;
}

template <class H>
class StoreCommon : public ::testing::Test {};
using AllStores = ::testing::Types<IndexedHarness, BWHarness, MultiHarness>;
TYPED_TEST_SUITE(StoreCommon, AllStores);

template <class H>
class ToggleStore : public ::testing::Test {};
using ToggleStores = ::testing::Types<IndexedHarness, BWHarness>;
TYPED_TEST_SUITE(ToggleStore, ToggleStores);

}  // namespace

// ---- Order and positions, all three stores ---------------------------------------------------

TYPED_TEST(StoreCommon, NewKeysGoBeforeBetweenAndAfterTwoElements) {
    struct Case {
        Key key;
        int32_t position;
    };
    for (Case c : {Case{{-5, 7}, 0}, Case{{3, -9}, 1}, Case{{3, 4}, 1}, Case{{3, 6}, 2}, Case{{8, -100}, 2}}) {
        TypeParam h;
        ASSERT_TRUE(added<TypeParam>(h.put(3, 5)));
        ASSERT_TRUE(added<TypeParam>(h.put(-2, 9)));
        const int32_t result = h.put(c.key.first, c.key.second);
        ASSERT_TRUE(added<TypeParam>(result));
        if (!TypeParam::removes) {
            EXPECT_EQ(result, c.position) << "find-or-add returns where it inserted";
        }
        ASSERT_EQ(h.store.Count(), 3);
        EXPECT_EQ(int32_t{h.store.Item(c.position)->X}, c.key.first);
        EXPECT_EQ(int32_t{h.store.Item(c.position)->Y}, c.key.second);
    }
}

TYPED_TEST(StoreCommon, KeysSortByXThenYAsSignedNumbers) {
    const std::vector<Key> sorted = {{INT32_MIN, INT32_MIN}, {INT32_MIN, INT32_MAX}, {-1, -1}, {-1, 100},
                                     {0, -100},  {0, 0},     {0, 1},   {1, INT32_MIN}, {2, -3},
                                     {INT32_MAX, INT32_MIN}, {INT32_MAX, INT32_MAX}};
    std::mt19937 rng(1234);
    std::vector<Key> order = sorted;
    for (int round = 0; round < 40; ++round) {
        std::shuffle(order.begin(), order.end(), rng);
        TypeParam h;
        for (const Key& k : order) ASSERT_TRUE(added<TypeParam>(h.put(k.first, k.second)));
        EXPECT_EQ(keysOf(h.store), sorted);
    }
    TypeParam two;
    two.put(0, -100);
    two.put(-1, 100);
    EXPECT_EQ(keysOf(two.store), (std::vector<Key>{{-1, 100}, {0, -100}})) << "X decides before Y";
}

// ---- Toggle --------------------------------------------------------------------------------

TYPED_TEST(ToggleStore, ToggleAddsThenRemovesTheSameKey) {
    TypeParam h;
    EXPECT_EQ(h.put(4, -4), 0) << "empty store: appended";
    ASSERT_EQ(h.store.Count(), 1);
    EXPECT_EQ(int32_t{h.store.Item(0)->X}, 4);
    EXPECT_EQ(int32_t{h.store.Item(0)->Y}, -4);
    EXPECT_EQ(h.put(4, -4), 1) << "present: removed";
    EXPECT_EQ(h.store.Count(), 0);
    EXPECT_EQ(h.put(4, -3), 0);
    EXPECT_EQ(h.put(4, -4), 0);
    EXPECT_EQ(h.put(4, -3), 1);
    EXPECT_EQ(keysOf(h.store), (std::vector<Key>{{4, -4}}));
    EXPECT_EQ(h.store.LastError(), SSErrorNone);
}

TYPED_TEST(ToggleStore, RemovingKeepsEveryOtherElementAndItsValue) {
    TypeParam h;
    ASSERT_TRUE(h.store.Reserve(8, 8));
    for (int32_t x = 0; x < 6; ++x) ASSERT_EQ(h.put(x, -x, static_cast<uint16_t>(100 + x)), 0);
    const std::vector<unsigned char> before = bytesOf(h.store);
    constexpr std::size_t E = sizeof(typename TypeParam::Element);

    EXPECT_EQ(h.put(5, -5), 1) << "the last element";
    EXPECT_EQ(bytesOf(h.store), std::vector<unsigned char>(before.begin(), before.begin() + 5 * E));
    EXPECT_EQ(h.put(0, 0), 1) << "the first element";
    EXPECT_EQ(bytesOf(h.store), std::vector<unsigned char>(before.begin() + E, before.begin() + 5 * E));
    EXPECT_EQ(h.put(2, -2), 1) << "one in the middle";
    EXPECT_EQ(keysOf(h.store), (std::vector<Key>{{1, -1}, {3, -3}, {4, -4}}));
    EXPECT_EQ(h.store.Capacity(), 8) << "removal never gives memory back";
}

TEST(IndexedStore, InsertedElementCarriesTheAntIndexAndAnyAntRemovesIt) {
    IndexedHarness h;
    EXPECT_EQ(h.put(-30, 2, 7), 0);
    EXPECT_EQ(h.put(-31, 2, 65534), 0);
    EXPECT_EQ(h.store.Item(0)->ant, 65534);
    EXPECT_EQ(h.store.Item(1)->ant, 7);
    EXPECT_EQ(h.put(-30, 2, 3), 1) << "removed whatever ant painted it";
    EXPECT_EQ(keysOf(h.store), (std::vector<Key>{{-31, 2}}));
    EXPECT_EQ(h.put(-30, 2, 3), 0);
    EXPECT_EQ(h.store.Item(1)->ant, 3) << "the square is now ant 3's, not ant 7's";
}

// ---- Find-or-add ---------------------------------------------------------------------------

TEST(MultiStore, FindOrAddCountsOnlyNewSquares) {
    MultiHarness h;
    h.counter = 41;
    EXPECT_EQ(h.put(10, 10), 0);
    EXPECT_EQ(h.counter, 42);
    EXPECT_EQ(h.put(-10, 10), 0) << "smaller key goes first";
    EXPECT_EQ(h.put(0, 0), 1);
    EXPECT_EQ(h.counter, 44);
    ASSERT_EQ(h.store.Count(), 3);
    for (int32_t i = 0; i < 3; ++i) EXPECT_EQ(h.store.Item(i)->state, 1) << "new squares enter in state 0";

    h.store.Item(1)->state = 5;  // the square update advances the state in place
    h.key.state = 9;             // must not leak into an existing element
    EXPECT_EQ(h.put(0, 0), 1);
    EXPECT_EQ(h.counter, 44);
    EXPECT_EQ(h.store.Count(), 3);
    EXPECT_EQ(h.store.Item(1)->state, 5);
    EXPECT_EQ(h.put(10, 10), 2);
    EXPECT_EQ(h.put(-10, 10), 0);
    EXPECT_EQ(h.counter, 44);
    EXPECT_EQ(h.put(10, 11), 3);
    EXPECT_EQ(h.store.Item(3)->state, 9) << "a new element is a copy of the search element";
    EXPECT_EQ(h.counter, 45);
}

// ---- Growth ----------------------------------------------------------------------------------

TYPED_TEST(StoreCommon, GrowsInStepsOfTheDelta) {
    constexpr int32_t d = 4;
    for (bool ascending : {true, false}) {  // appends, or inserts at the front
        TypeParam h;
        ASSERT_TRUE(h.store.Reserve(d, d));
        ASSERT_EQ(h.store.Capacity(), d);
        ASSERT_EQ(h.store.GrowDelta(), d);
        std::vector<Key> expected;
        for (int32_t k = 1; k <= 3 * d + 1; ++k) {
            const int32_t x = ascending ? k : -k;
            ASSERT_TRUE(added<TypeParam>(h.put(x, 7)));
            expected.insert(ascending ? expected.end() : expected.begin(), Key{x, 7});
            const int32_t capacity = k <= d ? d : k <= 2 * d ? 2 * d : k <= 3 * d ? 3 * d : 4 * d;
            EXPECT_EQ(h.store.Capacity(), capacity) << "after insertion " << k;
            EXPECT_EQ(keysOf(h.store), expected) << "growth keeps the contents";
        }
    }
    TypeParam fresh;  // one leaf sized for the default delta of 1000: 16 leaves of 63
    EXPECT_EQ(fresh.store.GrowDelta(), 1000);
    EXPECT_EQ(fresh.store.Capacity(), 63);
    for (int32_t k = 1; k <= 63; ++k) ASSERT_TRUE(added<TypeParam>(fresh.put(k, 1)));
    EXPECT_EQ(fresh.store.Capacity(), 63);
    ASSERT_TRUE(added<TypeParam>(fresh.put(64, 1)));
    EXPECT_EQ(fresh.store.Capacity(), 63 + 16 * 63) << "about one delta more, never doubling";
}

TYPED_TEST(StoreCommon, FailedGrowthChangesNothingAndTheErrorSticks) {
    TypeParam h;
    ASSERT_TRUE(h.store.Reserve(4, 4));
    for (int32_t x : {-6, -2, 2, 6}) ASSERT_TRUE(added<TypeParam>(h.put(x, x, static_cast<uint16_t>(x + 10))));
    if constexpr (!TypeParam::removes) h.store.Item(2)->state = 3;
    const std::vector<unsigned char> before = bytesOf(h.store);
    const int64_t counterBefore = [&] {
        if constexpr (TypeParam::removes) return int64_t{0};
        else return h.counter;
    }();

    CountingAllocator failing;
    {
        AllocatorGuard guard(&failing);
        for (Key k : {Key{0, 0}, Key{9, 9}, Key{-9, 9}}) {  // middle, end (append), front
            failing.failAllocations = failing.failReallocations = 1;
            EXPECT_EQ(h.put(k.first, k.second), -1);
            EXPECT_TRUE(failing.failAllocations == 0 || failing.failReallocations == 0)
                << "the growth was attempted";
            failing.failAllocations = failing.failReallocations = 0;
            EXPECT_EQ(h.store.Count(), 4);
            EXPECT_EQ(h.store.Capacity(), 4);
            EXPECT_EQ(bytesOf(h.store), before);
            EXPECT_EQ(h.store.LastError(), SSErrorMemory);
        }
        if constexpr (!TypeParam::removes) {
            EXPECT_EQ(h.counter, counterBefore) << "a failed add counts nothing";
        }
        // A key that is present needs no memory.
        failing.failAllocations = failing.failReallocations = 1000;
        EXPECT_EQ(h.put(2, 2), TypeParam::removes ? 1 : 2);
        failing.failAllocations = failing.failReallocations = 0;
    }
    ASSERT_TRUE(added<TypeParam>(h.put(0, 0)));
    ASSERT_TRUE(added<TypeParam>(h.put(1, 0)));
    EXPECT_EQ(h.store.LastError(), SSErrorMemory) << "the error code is never cleared";
}

TYPED_TEST(StoreCommon, StoreWhoseFirstBufferFailsIsEmptyAndReportsIt) {
    qmtest::FailingAllocator failing(1);
    AllocatorGuard guard(&failing);
    TypeParam h;
    EXPECT_EQ(h.store.Capacity(), 0);
    EXPECT_EQ(h.store.Count(), 0);
    EXPECT_EQ(h.store.LastError(), SSErrorMemory);
    EXPECT_FALSE(h.store.Reserve(100, 100));
    EXPECT_EQ(h.put(1, 1), -1);
    EXPECT_EQ(h.store.Count(), 0);
}

// ---- The array templates ---------------------------------------------------------------------

namespace {

IndexedSquare element(int32_t x, int32_t y, uint16_t ant) { return {x, y, ant}; }

bool sameElement(const IndexedSquare* a, const IndexedSquare& b) {
    return a && std::memcmp(a, &b, sizeof b) == 0;
}

bool allZero(const IndexedSquare* e) {
    static const IndexedSquare zero{};
    return sameElement(e, zero);
}

}  // namespace

TEST(StoreArray, NewArrayHasOneElementAndTheDefaultDelta) {
    SortedArray<IndexedSquare> a;
    EXPECT_EQ(a.Count(), 0);
    EXPECT_EQ(a.Capacity(), 1);
    EXPECT_EQ(a.LastError(), SSErrorNone);
    EXPECT_EQ(a.GrowDelta(), 1000);
    EXPECT_NE(a.Data(), nullptr);
}

TEST(StoreArray, InsertOutsideZeroToCountFailsWithErrorTwoAndChangesNothing) {
    SortedArray<IndexedSquare> a;
    ASSERT_TRUE(a.Add(element(1, 2, 3)));
    ASSERT_TRUE(a.Add(element(4, 5, 6)));
    const int32_t capacity = a.Capacity();
    for (int32_t bad : {-1, 3, INT32_MIN, INT32_MAX}) {
        EXPECT_FALSE(a.Insert(bad, element(9, 9, 9))) << bad;
        EXPECT_FALSE(a.InsertZeroed(bad, 1)) << bad;
        EXPECT_EQ(a.LastError(), SSErrorIndex);
    }
    EXPECT_EQ(a.Count(), 2);
    EXPECT_EQ(a.Capacity(), capacity);
    EXPECT_TRUE(sameElement(a.Item(0), element(1, 2, 3)));
    EXPECT_TRUE(sameElement(a.Item(1), element(4, 5, 6)));

    EXPECT_TRUE(a.Insert(2, element(7, 8, 9))) << "count itself is a valid place (the end)";
    EXPECT_TRUE(a.Insert(0, element(0, 0, 0)));
    EXPECT_TRUE(a.Insert(2, element(2, 2, 2)));
    ASSERT_EQ(a.Count(), 5);
    EXPECT_TRUE(sameElement(a.Item(0), element(0, 0, 0)));
    EXPECT_TRUE(sameElement(a.Item(1), element(1, 2, 3)));
    EXPECT_TRUE(sameElement(a.Item(2), element(2, 2, 2)));
    EXPECT_TRUE(sameElement(a.Item(3), element(4, 5, 6)));
    EXPECT_TRUE(sameElement(a.Item(4), element(7, 8, 9)));
    EXPECT_EQ(a.LastError(), SSErrorIndex) << "sticky after later successes";
}

TEST(StoreArray, ItemOutsideTheCountIsNone) {
    SortedArray<IndexedSquare> a;
    EXPECT_EQ(a.Item(0), nullptr) << "capacity 1, count 0";
    ASSERT_TRUE(a.Reserve(10, 0));
    ASSERT_TRUE(a.AppendZeroed(3));
    EXPECT_EQ(a.Item(-1), nullptr);
    EXPECT_EQ(a.Item(3), nullptr) << "inside the capacity but beyond the count";
    EXPECT_EQ(a.Item(INT32_MIN), nullptr);
    EXPECT_EQ(a.Item(INT32_MAX), nullptr);
    EXPECT_EQ(a.Item(0), a.Data());
    EXPECT_EQ(a.Item(2), a.Data() + 2);
    EXPECT_EQ(a.LastError(), SSErrorNone) << "a lookup is not an error";
}

TEST(StoreArray, ReserveSetsCapacityDeltaAndZeroFills) {
    SortedArray<IndexedSquare> a;
    ASSERT_TRUE(a.Reserve(5, 0));
    EXPECT_EQ(a.GrowDelta(), 1000) << "delta 0 keeps the current delta";
    EXPECT_EQ(a.Capacity(), 5);
    a.SetDelta(7);
    ASSERT_TRUE(a.Reserve(6, 0));
    EXPECT_EQ(a.GrowDelta(), 7);
    a.SetDelta(0);
    ASSERT_TRUE(a.Reserve(6, 0));
    EXPECT_EQ(a.GrowDelta(), 1000) << "a zero delta becomes the default";
    ASSERT_TRUE(a.Reserve(6, 3));
    EXPECT_EQ(a.GrowDelta(), 3);

    for (int32_t i = 0; i < 6; ++i) ASSERT_TRUE(a.Add(element(i, i, 0xFFFF)));
    ASSERT_TRUE(a.Reserve(4, 0));
    EXPECT_EQ(a.Capacity(), 4);
    EXPECT_EQ(a.Count(), 4) << "count is cut to the capacity";
    for (int32_t i = 0; i < 4; ++i) EXPECT_TRUE(allZero(a.Item(i))) << "the whole buffer is zero-filled";
}

TEST(StoreArray, AppendZeroedGrowsAndZeroesTheNewElements) {
    SortedArray<IndexedSquare> a;
    ASSERT_TRUE(a.Reserve(3, 2));
    ASSERT_TRUE(a.Add(element(-1, -1, 1)));
    ASSERT_TRUE(a.Add(element(-2, -2, 2)));
    std::memset(a.Data() + 2, 0xA5, sizeof(IndexedSquare));  // garbage in the spare element
    ASSERT_TRUE(a.AppendZeroed(5));
    ASSERT_EQ(a.Count(), 7);
    EXPECT_GE(a.Capacity(), 7);
    EXPECT_TRUE(sameElement(a.Item(0), element(-1, -1, 1)));
    EXPECT_TRUE(sameElement(a.Item(1), element(-2, -2, 2)));
    for (int32_t i = 2; i < 7; ++i) EXPECT_TRUE(allZero(a.Item(i))) << i;
    ASSERT_TRUE(a.AppendZeroed(0));
    EXPECT_EQ(a.Count(), 7);
}

TEST(StoreArray, InsertZeroedOpensAZeroGapAndMovesTheTail) {
    SortedArray<IndexedSquare> a;
    ASSERT_TRUE(a.Reserve(4, 3));
    for (int32_t i = 0; i < 4; ++i) ASSERT_TRUE(a.Add(element(i, 10 * i, static_cast<uint16_t>(i))));
    ASSERT_TRUE(a.InsertZeroed(1, 3));
    ASSERT_EQ(a.Count(), 7);
    EXPECT_TRUE(sameElement(a.Item(0), element(0, 0, 0)));
    for (int32_t i = 1; i <= 3; ++i) EXPECT_TRUE(allZero(a.Item(i))) << i;
    EXPECT_TRUE(sameElement(a.Item(4), element(1, 10, 1)));
    EXPECT_TRUE(sameElement(a.Item(5), element(2, 20, 2)));
    EXPECT_TRUE(sameElement(a.Item(6), element(3, 30, 3)));
    ASSERT_TRUE(a.InsertZeroed(7, 1)) << "at the end";
    EXPECT_TRUE(allZero(a.Item(7)));
    EXPECT_EQ(a.LastError(), SSErrorNone);
}

TEST(StoreArray, FailedZeroedGrowthChangesNothing) {
    SortedArray<IndexedSquare> a;
    ASSERT_TRUE(a.Reserve(2, 2));
    ASSERT_TRUE(a.Add(element(1, 1, 1)));
    ASSERT_TRUE(a.Add(element(2, 2, 2)));
    CountingAllocator failing;
    AllocatorGuard guard(&failing);
    failing.failAllocations = failing.failReallocations = 1;
    EXPECT_FALSE(a.AppendZeroed(1));
    failing.failAllocations = failing.failReallocations = 1;
    EXPECT_FALSE(a.InsertZeroed(0, 1));
    EXPECT_EQ(a.LastError(), SSErrorMemory);
    EXPECT_EQ(a.Count(), 2);
    EXPECT_EQ(a.Capacity(), 2);
    EXPECT_TRUE(sameElement(a.Item(0), element(1, 1, 1)));
    EXPECT_TRUE(sameElement(a.Item(1), element(2, 2, 2)));
}

TEST(StoreArray, ResizeSetsCapacityFromTheCount) {
    SortedArray<IndexedSquare> a;
    for (int32_t i = 0; i < 5; ++i) ASSERT_TRUE(a.Add(element(i, i, 1)));
    ASSERT_TRUE(a.Resize(3));
    EXPECT_EQ(a.Capacity(), 8);
    EXPECT_EQ(a.Count(), 5);
    ASSERT_TRUE(a.Resize(-2));
    EXPECT_EQ(a.Capacity(), 3);
    EXPECT_EQ(a.Count(), 3) << "cut to the new capacity";
    EXPECT_TRUE(sameElement(a.Item(2), element(2, 2, 1)));
}

TEST(StoreArray, EveryBufferIsReturnedExactlyOnce) {
    CountingAllocator counting;
    AllocatorGuard guard(&counting);
    {
        BlackSquare key{};
        auto* store = new BlackSquareStore(&key);
        ASSERT_TRUE(store->Reserve(2, 2));
        for (int32_t x = 0; x < 2000; ++x) {  // leaves, nodes and a grown top array
            key = {x, 0};
            store->Toggle();
        }
        for (int32_t x = 0; x < 2000; x += 2) {  // leaves and nodes given back and merged
            key = {x, 0};
            store->Toggle();
        }
        delete store;
    }
    EXPECT_EQ(counting.allocations, counting.releases);

    {
        SortedArray<BlackSquare> a;
        auto* adopted = static_cast<BlackSquare*>(qm::allocator().allocate(4 * sizeof(BlackSquare)));
        adopted[0] = {5, 6};
        const int releasesBefore = counting.releases;
        a.Attach(adopted, 1, 4, true);
        EXPECT_EQ(counting.releases, releasesBefore + 1) << "the old buffer is returned";
        EXPECT_EQ(a.Count(), 1);
        EXPECT_EQ(a.Capacity(), 4);
        EXPECT_EQ(int32_t{a.Item(0)->X}, 5);

        a.Detach(false);
        EXPECT_EQ(a.Data(), nullptr);
        EXPECT_EQ(counting.releases, releasesBefore + 1) << "detached, not returned";
        qm::allocator().release(adopted);
    }
    {
        SortedArray<BlackSquare> a;
        const int releasesBefore = counting.releases;
        a.Detach(true);
        EXPECT_EQ(counting.releases, releasesBefore + 1);
        EXPECT_EQ(a.Count(), 0);
        EXPECT_EQ(a.Capacity(), 0);
        EXPECT_EQ(a.Data(), nullptr);
    }
    EXPECT_EQ(counting.allocations, counting.releases);
}

// ---- Long random runs against an ordered map --------------------------------------------------

namespace {

// Coordinates from a few values (many hits), the ends of the 32-bit range, and sometimes a wider
// square (many misses, a growing store).
class KeyDraw {
public:
    explicit KeyDraw(uint32_t seed) : rng_(seed) {}
    Key next() {
        static const int32_t few[] = {INT32_MIN, INT32_MIN + 1, -100, -1, 0, 1, 2, 100, INT32_MAX - 1, INT32_MAX};
        std::uniform_int_distribution<int> pickFew(0, 9), wide(-25, 25), choose(0, 9);
        if (choose(rng_) < 7) return {few[pickFew(rng_)], few[pickFew(rng_)]};
        return {wide(rng_), wide(rng_)};
    }
    uint32_t value(uint32_t below) { return std::uniform_int_distribution<uint32_t>(0, below - 1)(rng_); }

private:
    std::mt19937 rng_;
};

constexpr int kOperations = 20000;

template <class Store, class Model, class SameValue>
::testing::AssertionResult matchesModel(Store& store, const Model& model, SameValue sameValue) {
    if (store.Count() != static_cast<int32_t>(model.size()))
        return ::testing::AssertionFailure() << "count " << store.Count() << ", model " << model.size();
    int32_t i = 0;
    for (const auto& [key, value] : model) {
        const auto* e = store.Item(i);
        if (e->X != key.first || e->Y != key.second)
            return ::testing::AssertionFailure() << "element " << i << " is (" << e->X << ", " << e->Y
                                                 << "), expected (" << key.first << ", " << key.second << ")";
        if (!sameValue(*e, value)) return ::testing::AssertionFailure() << "element " << i << " holds the wrong value";
        ++i;
    }
    return ::testing::AssertionSuccess();
}

}  // namespace

TEST(StoreDifferential, IndexedToggleFollowsAnOrderedMap) {
    IndexedHarness h;
    ASSERT_TRUE(h.store.Reserve(3, 5));
    std::map<Key, uint16_t> model;
    KeyDraw draw(20240611), probe(7);
    int hits = 0;
    for (int op = 0; op < kOperations; ++op) {
        const Key k = draw.next();
        const auto ant = static_cast<uint16_t>(draw.value(65535));
        const int32_t result = h.put(k.first, k.second, ant);
        const auto it = model.find(k);
        if (it != model.end()) {
            model.erase(it);
            ++hits;
            ASSERT_EQ(result, 1) << "op " << op;
        } else {
            model.emplace(k, ant);
            ASSERT_EQ(result, 0) << "op " << op;
        }
        ASSERT_TRUE(matchesModel(h.store, model, [](const IndexedSquare& e, uint16_t a) { return e.ant == a; }))
            << "after op " << op;
        // Find answers for the key just toggled and for another one, present or not.
        for (const Key& q : {k, probe.next()}) {
            const IndexedSquare* found = h.store.Find(q.first, q.second);
            const auto m = model.find(q);
            ASSERT_EQ(found != nullptr, m != model.end()) << "op " << op;
            if (found) {
                ASSERT_TRUE(found->X == q.first && found->Y == q.second && found->ant == m->second) << "op " << op;
            }
        }
    }
    EXPECT_GT(hits, kOperations / 4);
    EXPECT_GT(kOperations - hits, kOperations / 4);
    EXPECT_EQ(h.store.LastError(), SSErrorNone);
}

TEST(StoreDifferential, BlackWhiteToggleFollowsAnOrderedSet) {
    BWHarness h;
    ASSERT_TRUE(h.store.Reserve(2, 3));
    std::map<Key, bool> model;
    KeyDraw draw(77);
    int hits = 0;
    for (int op = 0; op < kOperations; ++op) {
        const Key k = draw.next();
        const int32_t result = h.put(k.first, k.second);
        if (model.erase(k)) {
            ++hits;
            ASSERT_EQ(result, 1) << "op " << op;
        } else {
            model.emplace(k, true);
            ASSERT_EQ(result, 0) << "op " << op;
        }
        ASSERT_TRUE(matchesModel(h.store, model, [](const BlackSquare&, bool) { return true; })) << "after op " << op;
    }
    EXPECT_GT(hits, kOperations / 4);
    EXPECT_GT(kOperations - hits, kOperations / 4);
}

TEST(StoreDifferential, MultiFindOrAddFollowsAnOrderedMap) {
    MultiHarness h;
    ASSERT_TRUE(h.store.Reserve(1, 4));
    std::map<Key, uint8_t> model;
    KeyDraw draw(5);
    int hits = 0;
    for (int op = 0; op < kOperations; ++op) {
        const Key k = draw.next();
        const int32_t result = h.put(k.first, k.second);
        auto it = model.lower_bound(k);
        const auto rank = static_cast<int32_t>(std::distance(model.begin(), it));
        if (it != model.end() && it->first == k) {
            ++hits;
        } else {
            it = model.emplace_hint(it, k, uint8_t{1});
        }
        ASSERT_EQ(result, rank) << "op " << op;
        ASSERT_EQ(h.counter, static_cast<int64_t>(model.size())) << "op " << op;
        // Advance the state in place, as the square update does.
        const auto next = static_cast<uint8_t>(it->second % 64 + 1);
        h.store.Item(result)->state = next;
        it->second = next;
        ASSERT_TRUE(matchesModel(h.store, model, [](const GeneralizedSquare& e, uint8_t s) { return e.state == s; }))
            << "after op " << op;
    }
    EXPECT_GT(hits, kOperations / 2);
    EXPECT_GT(model.size(), 500u);
}

// ---- Leaves and index ------------------------------------------------------------------------

namespace {

// Refuses the small blocks (leaf slabs at tiny deltas) and grants the rest (index nodes).
class SmallBlockRefusal final : public qm::Allocator {
public:
    void* allocate(std::size_t bytes) override {
        return bytes < 100 ? nullptr : qm::allocatorDefault().allocate(bytes);
    }
    void* reallocate(void* block, std::size_t bytes) override {
        return qm::allocatorDefault().reallocate(block, bytes);
    }
    void release(void* block) override { qm::allocatorDefault().release(block); }
};

std::vector<Key> keysFromX(const BlackSquareStore& store, int32_t minX, int limit) {
    std::vector<Key> keys;
    store.ForEachFromX(minX, [&](const BlackSquare& e) {
        keys.emplace_back(int32_t{e.X}, int32_t{e.Y});
        return static_cast<int>(keys.size()) < limit;
    });
    return keys;
}

}  // namespace

TEST(LeafStore, AFullLeafSplitsWhereKeysArriveInOrderAndInTheMiddleOtherwise) {
    BWHarness h;
    ASSERT_TRUE(h.store.Reserve(4, 4));
    ASSERT_EQ(h.store.LeafCapacity(), 4);
    for (int32_t x = 1; x <= 5; ++x) ASSERT_EQ(h.put(x, 0), 0);
    EXPECT_EQ(h.store.LeafCount(), 2) << "the fifth key opens a leaf of its own";
    for (int32_t x = 6; x <= 8; ++x) ASSERT_EQ(h.put(x, 0), 0);
    EXPECT_EQ(h.store.LeafCount(), 2) << "in-order keys fill the new leaf";
    EXPECT_EQ(h.store.Capacity(), 8);

    ASSERT_EQ(h.put(2, 1), 0);  // inside the full first leaf, whose neighbour is full too
    EXPECT_EQ(h.store.LeafCount(), 3);
    EXPECT_EQ(keysOf(h.store), (std::vector<Key>{{1, 0}, {2, 0}, {2, 1}, {3, 0}, {4, 0}, {5, 0}, {6, 0}, {7, 0}, {8, 0}}));
}

// A checkpoint's squares go back a leaf at a time: whole leaves filled in key order, the same
// store as squares appended one by one, and a key out of order refused where it stands.
TEST(LeafStore, ARunAppendedInKeyOrderFillsWholeLeavesAndStopsAtAKeyOutOfOrder) {
    std::vector<BlackSquare> run;
    for (int32_t x = 0; x < 30; ++x) run.push_back(BlackSquare{x, x % 3});
    BWHarness h;
    ASSERT_TRUE(h.store.Reserve(4, 4));
    ASSERT_TRUE(h.store.AppendSortedRun(run.data(), 10));
    ASSERT_TRUE(h.store.AppendSortedRun(run.data() + 10, 20));
    EXPECT_EQ(h.store.Count(), 30);
    EXPECT_EQ(h.store.LeafCount(), 8) << "full leaves of four";
    std::vector<Key> expected;
    for (const BlackSquare& e : run) expected.emplace_back(e.X, e.Y);
    EXPECT_EQ(keysOf(h.store), expected);
    EXPECT_EQ(h.put(31, 0), 0) << "the index still finds the end";
    EXPECT_EQ(h.put(13, 1), 1) << "and the middle";

    BWHarness bad;
    ASSERT_TRUE(bad.store.Reserve(4, 4));
    std::swap(run[6], run[7]);
    EXPECT_FALSE(bad.store.AppendSortedRun(run.data(), 30));
    EXPECT_EQ(bad.store.LastError(), SSErrorIndex);
    std::vector<Key> kept(expected.begin(), expected.begin() + 6);
    kept.emplace_back(7, 1);
    EXPECT_EQ(keysOf(bad.store), kept) << "all before the key out of order";
}

TEST(LeafStore, AFullLeafHandsElementsToANeighbourWithRoomBeforeSplitting) {
    BWHarness h;
    ASSERT_TRUE(h.store.Reserve(16, 8));
    for (int32_t x = 0; x <= 8; ++x) ASSERT_EQ(h.put(x, 0), 0);  // a full leaf, then one of 1
    ASSERT_EQ(h.store.LeafCount(), 2);
    for (int32_t y = 1; y <= 5; ++y) ASSERT_EQ(h.put(0, y), 0);  // all into the first leaf
    EXPECT_EQ(h.store.LeafCount(), 2);
    EXPECT_EQ(h.store.Capacity(), 16);
    EXPECT_EQ(h.store.Count(), 14);
    const std::vector<Key> keys = keysOf(h.store);
    EXPECT_TRUE(std::is_sorted(keys.begin(), keys.end()));
    EXPECT_EQ(keys.front(), (Key{0, 0}));
    EXPECT_EQ(keys.back(), (Key{8, 0}));
}

TEST(LeafStore, TheFirstAndLastKeyOfALeafAreFoundThroughTheIndex) {
    BWHarness h;
    ASSERT_TRUE(h.store.Reserve(4, 4));
    for (int32_t x = 1; x <= 12; ++x) ASSERT_EQ(h.put(x, 0), 0);  // leaves 1-4, 5-8, 9-12
    ASSERT_EQ(h.store.LeafCount(), 3);
    for (int32_t x : {5, 8, 9, 4, 12, 1}) {
        EXPECT_EQ(h.put(x, 0), 1) << x << " is present";
        EXPECT_EQ(h.put(x, 0), 0) << x << " goes back in";
    }
    EXPECT_EQ(h.put(4, 1), 0) << "between two leaves";
    EXPECT_EQ(int32_t{h.store.Item(4)->X}, 4);
    EXPECT_EQ(int32_t{h.store.Item(4)->Y}, 1);
    EXPECT_EQ(int32_t{h.store.Item(12)->X}, 12);
    EXPECT_EQ(h.store.Item(13), nullptr);

    EXPECT_EQ(keysFromX(h.store, 5, 3), (std::vector<Key>{{5, 0}, {6, 0}, {7, 0}})) << "stops when told";
    EXPECT_EQ(keysFromX(h.store, 12, 100), (std::vector<Key>{{12, 0}}));
    EXPECT_TRUE(keysFromX(h.store, 13, 100).empty());
    EXPECT_EQ(keysFromX(h.store, INT32_MIN, 1), (std::vector<Key>{{1, 0}}));
}

TEST(LeafStore, AnEmptiedLeafIsDroppedAndReusedWithoutNewMemory) {
    BWHarness h;
    ASSERT_TRUE(h.store.Reserve(8, 4));
    for (int32_t x = 1; x <= 8; ++x) ASSERT_EQ(h.put(x, 0), 0);
    ASSERT_EQ(h.store.LeafCount(), 2);
    for (int32_t x = 5; x <= 8; ++x) ASSERT_EQ(h.put(x, 0), 1);
    EXPECT_EQ(h.store.LeafCount(), 1) << "removing a leaf's last element drops the leaf";
    EXPECT_EQ(keysOf(h.store), (std::vector<Key>{{1, 0}, {2, 0}, {3, 0}, {4, 0}}));

    CountingAllocator counting;
    AllocatorGuard guard(&counting);
    for (int32_t x = 5; x <= 8; ++x) ASSERT_EQ(h.put(x, 0), 0);
    EXPECT_EQ(counting.allocations + counting.reallocations, 0) << "the dropped leaf serves again";
    EXPECT_EQ(h.store.LeafCount(), 2);
    for (int32_t x = 1; x <= 8; ++x) ASSERT_EQ(h.put(x, 0), 1);
    EXPECT_EQ(h.store.Count(), 0);
    EXPECT_EQ(h.store.LeafCount(), 1) << "an empty store keeps one leaf";
    EXPECT_EQ(h.put(3, 3), 0);
    EXPECT_EQ(keysOf(h.store), (std::vector<Key>{{3, 3}}));
}

TEST(LeafStore, SparseNeighbourLeavesMerge) {
    BWHarness h;
    ASSERT_TRUE(h.store.Reserve(16, 8));
    for (int32_t x = 1; x <= 16; ++x) ASSERT_EQ(h.put(x, 0), 0);
    ASSERT_EQ(h.store.LeafCount(), 2);
    for (int32_t x = 9; x <= 15; ++x) ASSERT_EQ(h.put(x, 0), 1);
    EXPECT_EQ(h.store.LeafCount(), 2) << "a full neighbour leaves no room for a merge";
    for (int32_t x = 1; x <= 7; ++x) ASSERT_EQ(h.put(x, 0), 1);
    EXPECT_EQ(h.store.LeafCount(), 1);
    EXPECT_EQ(keysOf(h.store), (std::vector<Key>{{8, 0}, {16, 0}}));
}

TEST(LeafStore, AFailedSplitOfALeafOrOfTheIndexChangesNothing) {
    BWHarness h;
    ASSERT_TRUE(h.store.Reserve(2, 2));
    int32_t x = 0;
    auto fill = [&](int64_t leaves) {
        while (h.store.LeafCount() < leaves || h.store.Count() < 2 * leaves) ASSERT_EQ(h.put(x++, 0), 0);
    };
    auto expectRefused = [&](qm::Allocator& refusing, const char* what) {
        const std::vector<unsigned char> before = bytesOf(h.store);
        const int64_t capacity = h.store.Capacity(), leaves = h.store.LeafCount();
        const std::size_t bytes = h.store.StoreBytes();
        {
            AllocatorGuard guard(&refusing);
            EXPECT_EQ(h.put(x, 0), -1) << what;
        }
        EXPECT_EQ(bytesOf(h.store), before) << what;
        EXPECT_EQ(h.store.Capacity(), capacity) << what;
        EXPECT_EQ(h.store.LeafCount(), leaves) << what;
        EXPECT_EQ(h.store.StoreBytes(), bytes) << what;
    };
    fill(BlackSquareStore::NodeFanout);  // one full node of full leaves
    CountingAllocator counting;
    counting.failAllocations = 1;
    expectRefused(counting, "the new node");
    EXPECT_EQ(counting.allocations, 1);
    SmallBlockRefusal small;
    expectRefused(small, "the leaf slab, after the node was had");

    fill(int64_t{64} * BlackSquareStore::NodeFanout);  // the top array's first 64 nodes
    CountingAllocator noTop;
    noTop.failReallocations = 1;
    expectRefused(noTop, "the top array");
    EXPECT_EQ(noTop.allocations, noTop.releases) << "the node obtained first is returned";

    EXPECT_EQ(h.put(x, 0), 0);
    EXPECT_EQ(h.store.Count(), x + 1);
    EXPECT_EQ(h.store.LastError(), SSErrorMemory);
}

TEST(LeafStore, SquaresAddedInKeyOrderTakeLittleMoreThanTheirPackedSize) {
    for (bool ascending : {true, false}) {
        BWHarness h;
        ASSERT_TRUE(h.store.Reserve(196486, 196486));
        // A highway's trail: new columns at one end, a few squares each, some cleared again.
        for (int32_t i = 0; i < 250000; ++i) {
            const int32_t x = ascending ? i : -i;
            for (int32_t y = 0; y < 4; ++y) ASSERT_EQ(h.put(x, y), 0);
            if (i % 3 == 0) {
                ASSERT_EQ(h.put(x, 1), 1);
            }
        }
        ASSERT_GT(h.store.Count(), 900000);
        EXPECT_LE(static_cast<double>(h.store.StoreBytes()), 1.5 * sizeof(BlackSquare) * h.store.Count())
            << (ascending ? "ascending" : "descending");
    }
}

TEST(StoreDifferential, AWalkOverManyLeavesAndNodesFollowsAnOrderedSet) {
    BWHarness h;
    ASSERT_TRUE(h.store.Reserve(2, 2));  // leaves of two: splits and merges of nodes as well
    std::map<Key, bool> model;
    std::mt19937 rng(99);
    int32_t x = 0, y = 0;
    for (int op = 0; op < 200000; ++op) {
        const int step = static_cast<int>(rng() % 4);
        x = std::clamp(x + (step == 0) - (step == 1), -400, 400);
        y = std::clamp(y + (step == 2) - (step == 3), -400, 400);
        const int32_t result = h.put(x, y);
        ASSERT_EQ(result, model.erase({x, y}) ? 1 : 0) << "op " << op;
        if (result == 0) model.emplace(Key{x, y}, true);
        if (op % 5000 == 0) {
            ASSERT_TRUE(matchesModel(h.store, model, [](const BlackSquare&, bool) { return true; })) << "op " << op;
            const int32_t fromX = x - 3;
            std::vector<Key> expected;
            for (auto it = model.lower_bound({fromX, INT32_MIN}); it != model.end() && expected.size() < 50; ++it)
                expected.push_back(it->first);
            EXPECT_EQ(keysFromX(h.store, fromX, 50), expected) << "op " << op;
        }
    }
    EXPECT_GT(h.store.LeafCount(), 2 * BlackSquareStore::NodeFanout);
}
