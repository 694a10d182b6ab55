#pragma once
// The three sorted sparse stores: squares outside the fast grid, kept sorted by (X, Y) in
// leaf blocks under an index (LeafStore.h), so a square costs the same in a store of a
// thousand or of a hundred million.

#include <cstdint>

#include "core/LeafStore.h"

namespace qm {

#pragma pack(push, 1)
struct IndexedSquare {  // indexed mode: square and the index of the ant that painted it
    int32_t X;
    int32_t Y;
    uint16_t ant;
};
struct BlackSquare {  // black-and-white mode: a black square
    int32_t X;
    int32_t Y;
};
struct GeneralizedSquare {  // generalized mode: square and its cell value (state + 1)
    int32_t X;
    int32_t Y;
    uint8_t state;
};
#pragma pack(pop)
static_assert(sizeof(IndexedSquare) == 10, "indexed store element must be packed to 10 bytes");
static_assert(sizeof(BlackSquare) == 8, "black-and-white store element must be 8 bytes");
static_assert(sizeof(GeneralizedSquare) == 9, "generalized store element must be packed to 9 bytes");

// Present: removed, 1. Absent: inserted, 0. Insertion failed: -1 (store unchanged).
template <class T>
class TogglingStore : public SortedStore<T> {
public:
    using SortedStore<T>::SortedStore;
    // Out of the step loops' line: inlined, its leaf stamps made the compiler lay out the loops'
    // grid path worse (a third fewer moves a second for ants that never leave the grid).
    [[gnu::noinline]] int32_t Toggle() {
        if (!this->ensureRoot()) return -1;
        typename SortedStore<T>::Place at;
        if (this->locate(keyOrdinal(this->key_->X, this->key_->Y), at)) {
            this->removeAt(at);
            return 1;
        }
        return this->insertAt(at, *this->key_) ? 0 : -1;
    }
};

class IndexedSquareStore : public TogglingStore<IndexedSquare> {
public:
    using TogglingStore::TogglingStore;
};

class BlackSquareStore : public TogglingStore<BlackSquare> {
public:
    using TogglingStore::TogglingStore;
};

class GeneralizedSquareStore : public SortedStore<GeneralizedSquare> {
public:
    GeneralizedSquareStore(const GeneralizedSquare* key, int64_t* counter)
        : SortedStore(key), counter_(counter) {}

    // The key's element; a new key is inserted (a copy of the search element) and counted.
    // None when the insertion fails. Valid until the store next changes.
    [[gnu::noinline]] GeneralizedSquare* FindOrAddElement() {  // out of line, as Toggle
        if (!ensureRoot()) return nullptr;
        Place at;
        if (locate(keyOrdinal(key_->X, key_->Y), at)) {
            touch(at.top, at.leaf);  // the caller changes its state
            return itemsOf(at.leaf) + at.pos;
        }
        GeneralizedSquare* added = insertAt(at, *key_);
        if (added) ++*counter_;
        return added;
    }
    // The same, answered with the element's rank in key order (-1 on failure); it walks the
    // index, so the square update uses FindOrAddElement.
    int32_t FindOrAdd() {
        if (!ensureRoot()) return -1;
        Place at;
        const bool found = locate(keyOrdinal(key_->X, key_->Y), at);
        const auto rank = static_cast<int32_t>(rankOf(at));
        if (found) return rank;
        if (!insertAt(at, *key_)) return -1;
        ++*counter_;
        return rank;
    }

private:
    int64_t* counter_;
};

}  // namespace qm
