// The three sorted sparse stores driven by a stream of operations, each checked against an
// ordered map after every operation: count, key order, the stored ant index or state, the
// results of toggle and find-or-add, the bound counter, and growth in steps of the delta.
//
// Input: byte 0 sets the grow delta (1-8 elements, so growth happens often) and the number of
// states (2-64). Then two bytes per operation:
//   op byte:  bits 0-1 kind (0 indexed toggle, 1 black-and-white toggle, 2 find-or-add,
//             3 find-or-add and bump the state), bit 2 extreme X, bit 3 extreme Y,
//             bits 4-7 ant index (spread over 0-65535) or number of bumps;
//   key byte: bits 4-6 and 0-2 pick X and Y, in -4..3 or from the extreme values.

#include <climits>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <map>
#include <utility>

#include "FuzzCheck.h"
#include "core/SparseStores.h"

namespace {

using Key = std::pair<int32_t, int32_t>;

constexpr int32_t Extremes[8] = {INT32_MIN, INT32_MIN + 1, -65536, -1, 0, 65535, INT32_MAX - 1, INT32_MAX};

int32_t coordinate(unsigned bits, bool extreme) {
    return extreme ? Extremes[bits & 7] : static_cast<int32_t>(bits & 7) - 4;
}

// Capacity may only change on an insertion that finds no room in its leaf or a neighbour's, and
// then by one delta (one leaf of `delta` elements at these small deltas); it never shrinks.
template <class Store>
class GrowthWatch {
public:
    explicit GrowthWatch(const Store& store) : count_(store.Count()), capacity_(store.Capacity()) {}
    void check(const Store& store, int32_t delta) const {
        FUZZ_CHECK(store.Capacity() >= store.Count());
        FUZZ_CHECK(store.Capacity() % delta == 0);
        if (store.Capacity() != capacity_) {
            FUZZ_CHECK(store.Capacity() == capacity_ + delta);
            FUZZ_CHECK(store.Count() == count_ + 1);
        }
    }

private:
    int32_t count_;
    int64_t capacity_;
};

template <class Store, class Model, class Same>
void checkAgainst(Store& store, const Model& model, Same same) {
    FUZZ_CHECK(store.LastError() == qm::SSErrorNone);
    FUZZ_CHECK(store.Count() == static_cast<int32_t>(model.size()));
    FUZZ_CHECK(store.Item(-1) == nullptr);
    FUZZ_CHECK(store.Item(store.Count()) == nullptr);
    int32_t i = 0;
    for (const auto& entry : model) {
        const auto* element = store.Item(i++);
        FUZZ_CHECK(element != nullptr);
        FUZZ_CHECK(same(*element, entry));
    }
}

struct Stores {
    int32_t delta;
    uint8_t states;

    qm::IndexedSquare indexedKey{};
    qm::BlackSquare bwKey{};
    qm::GeneralizedSquare multiKey{0, 0, 1};  // a new generalized square enters in state 1
    int64_t counter = 0;
    qm::IndexedSquareStore indexed{&indexedKey};
    qm::BlackSquareStore bw{&bwKey};
    qm::GeneralizedSquareStore multi{&multiKey, &counter};

    std::map<Key, uint16_t> indexedModel;
    std::map<Key, int> bwModel;  // the value is unused
    std::map<Key, uint8_t> multiModel;
    int64_t counterModel = 0;

    Stores(int32_t d, uint8_t n) : delta(d), states(n) {
        FUZZ_CHECK(indexed.Reserve(delta, delta));
        FUZZ_CHECK(bw.Reserve(delta, delta));
        FUZZ_CHECK(multi.Reserve(delta, delta));
    }

    void toggleIndexed(Key key, uint16_t ant) {
        indexedKey = {key.first, key.second, ant};
        const GrowthWatch watch(indexed);
        const int32_t result = indexed.Toggle();
        const auto found = indexedModel.find(key);
        if (found != indexedModel.end()) {
            FUZZ_CHECK(result == 1);  // removed whatever ant index it held
            indexedModel.erase(found);
        } else {
            FUZZ_CHECK(result == 0);
            indexedModel.emplace(key, ant);
        }
        watch.check(indexed, delta);
    }

    void toggleBW(Key key) {
        bwKey = {key.first, key.second};
        const GrowthWatch watch(bw);
        const int32_t result = bw.Toggle();
        if (bwModel.erase(key) == 1) {
            FUZZ_CHECK(result == 1);
        } else {
            FUZZ_CHECK(result == 0);
            bwModel.emplace(key, 0);
        }
        watch.check(bw, delta);
    }

    void findOrAdd(Key key, int bumps) {
        multiKey.X = key.first;
        multiKey.Y = key.second;
        const GrowthWatch watch(multi);
        const int32_t index = multi.FindOrAdd();
        const auto [at, added] = multiModel.emplace(key, uint8_t{1});
        if (added) ++counterModel;
        FUZZ_CHECK(index == static_cast<int32_t>(std::distance(multiModel.begin(), at)));
        FUZZ_CHECK(counter == counterModel);
        FUZZ_CHECK(multiKey.state == 1);  // the search element is only read
        watch.check(multi, delta);
        // What the generalized square update does to the found element: next state, wrapping.
        qm::GeneralizedSquare* element = multi.Item(index);
        FUZZ_CHECK(element != nullptr);
        for (int b = 0; b < bumps; ++b) {
            element->state = static_cast<uint8_t>(element->state + 1);
            if (element->state > states) element->state = 1;
            at->second = static_cast<uint8_t>(at->second + 1);
            if (at->second > states) at->second = 1;
        }
    }

    void checkAll() {
        checkAgainst(indexed, indexedModel, [](const qm::IndexedSquare& e, const auto& entry) {
            return e.X == entry.first.first && e.Y == entry.first.second && e.ant == entry.second;
        });
        checkAgainst(bw, bwModel, [](const qm::BlackSquare& e, const auto& entry) {
            return e.X == entry.first.first && e.Y == entry.first.second;
        });
        checkAgainst(multi, multiModel, [](const qm::GeneralizedSquare& e, const auto& entry) {
            return e.X == entry.first.first && e.Y == entry.first.second && e.state == entry.second;
        });
        FUZZ_CHECK(counter == counterModel);
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    Stores stores(1 + (data[0] & 7), static_cast<uint8_t>(2 + (data[0] >> 3) * 62 / 31));
    for (size_t pos = 1; pos + 1 < size; pos += 2) {
        const unsigned op = data[pos];
        const unsigned keyBits = data[pos + 1];
        const Key key{coordinate(keyBits >> 4, (op & 4) != 0), coordinate(keyBits, (op & 8) != 0)};
        const unsigned high = op >> 4;
        switch (op & 3) {
            case 0: stores.toggleIndexed(key, static_cast<uint16_t>(high * 4369)); break;
            case 1: stores.toggleBW(key); break;
            case 2: stores.findOrAdd(key, 0); break;
            default: stores.findOrAdd(key, 1 + static_cast<int>(high % 4)); break;
        }
        stores.checkAll();
    }
    return 0;
}
