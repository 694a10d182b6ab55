#pragma once
// The three sorted sparse stores: squares outside the fast grid, kept sorted by (X, Y),
// found by bisection and inserted or removed with one move of the tail.

#include <cstdint>

#include "core/Sortarray.h"

namespace qm {

#pragma pack(push, 1)
struct TMyixUI16 {  // indexed mode: square and the index of the ant that painted it
    int32_t X;
    int32_t Y;
    uint16_t ant;
};
struct TMyAntBW {  // black-and-white mode: a black square
    int32_t X;
    int32_t Y;
};
struct TMyMulti {  // generalized mode: square and its cell value (state + 1)
    int32_t X;
    int32_t Y;
    uint8_t state;
};
#pragma pack(pop)
static_assert(sizeof(TMyixUI16) == 10, "indexed store element must be packed to 10 bytes");
static_assert(sizeof(TMyAntBW) == 8, "black-and-white store element must be 8 bytes");
static_assert(sizeof(TMyMulti) == 9, "generalized store element must be packed to 9 bytes");

// Shared bisection search and key order of the three stores.
template <class T>
class TSS_SortedStore : public TSS_Array<T> {
public:
    explicit TSS_SortedStore(const T* key) : key_(key) {}

    // Position of the key: found (true) at `position`, or absent with `position` the insertion
    // place (the first greater key, Count() when there is none).
    bool Search(int32_t& position) {
        const int32_t n = this->count_;
        const int32_t kx = key_->X;
        const int32_t ky = key_->Y;
        low = 0;
        high = n - 1;
        if (n >= 3) {
            do {
                middle = (low + high) / 2;
                const int cmp = compare(this->items_[middle], kx, ky);
                if (cmp == 0) {
                    position = middle;
                    return true;
                }
                if (cmp > 0) high = middle - 1;
                else low = middle + 1;
            } while (low < high);
            high = middle + 1;
            if (high > n - 1) high = n - 1;
        }
        for (int32_t i = low; i <= high; ++i) {
            const int cmp = compare(this->items_[i], kx, ky);
            if (cmp == 0) {
                position = i;
                return true;
            }
            if (cmp > 0) {
                position = i;
                return false;
            }
        }
        position = high + 1;
        return false;
    }

    // Every element in key order. The readers (painters, world files, pictures) walk a store only
    // through these, so they do not depend on how the store lays out its elements.
    template <class F>
    void ForEach(F&& visit) const {
        for (int32_t i = 0; i < this->count_; ++i) visit(this->items_[i]);
    }
    // The elements with X >= minX in key order, until `visit` returns false.
    template <class F>
    void ForEachFromX(int32_t minX, F&& visit) const {
        int32_t first = 0, last = this->count_;
        while (first < last) {
            const int32_t mid = first + (last - first) / 2;
            if (this->items_[mid].X < minX) first = mid + 1;
            else last = mid;
        }
        for (int32_t i = first; i < this->count_; ++i)
            if (!visit(this->items_[i])) return;
    }
    // Appends an element whose key is greater than every key present (loading a saved store in
    // order). False, with the store unchanged, when the key is out of order or memory fails.
    bool AppendSorted(const T& element) {
        if (this->count_ > 0 && compare(this->items_[this->count_ - 1], element.X, element.Y) >= 0) {
            this->lastError_ = SSErrorIndex;
            return false;
        }
        return this->Add(element);
    }

    int32_t low = 0, high = 0, middle = 0;  // search bounds: one search at a time

protected:
    static int compare(const T& element, int32_t kx, int32_t ky) {
        if (element.X != kx) return element.X < kx ? -1 : 1;
        if (element.Y != ky) return element.Y < ky ? -1 : 1;
        return 0;
    }
    bool insertAt(int32_t position) {
        return position == this->count_ ? this->Add(*key_) : this->Insert(position, *key_);
    }
    void removeAt(int32_t position) {
        std::memmove(static_cast<void*>(this->items_ + position), this->items_ + position + 1,
                     TSS_ArrayBase<T>::bytesFor(this->count_ - position - 1));
        --this->count_;
    }

    const T* key_;
};

// Present: removed, 1. Absent: inserted, 0. Insertion failed: -1 (store unchanged).
template <class T>
class TSS_ToggleStore : public TSS_SortedStore<T> {
public:
    using TSS_SortedStore<T>::TSS_SortedStore;
    int32_t Toggle() {
        int32_t position = 0;
        if (this->Search(position)) {
            this->removeAt(position);
            return 1;
        }
        return this->insertAt(position) ? 0 : -1;
    }
};

class TSS_SortAddArray : public TSS_ToggleStore<TMyixUI16> {
public:
    using TSS_ToggleStore::TSS_ToggleStore;
    ~TSS_SortAddArray() override = default;
};

class TSS_SortAddArrayBW : public TSS_ToggleStore<TMyAntBW> {
public:
    using TSS_ToggleStore::TSS_ToggleStore;
    ~TSS_SortAddArrayBW() override = default;
};

class TSS_SortAddArrayMulti : public TSS_SortedStore<TMyMulti> {
public:
    TSS_SortAddArrayMulti(const TMyMulti* key, int64_t* counter)
        : TSS_SortedStore(key), counter_(counter) {}
    ~TSS_SortAddArrayMulti() override = default;

    // Index of the key's element; a new key is inserted (from the search element) and counted.
    int32_t FindOrAdd() {
        int32_t position = 0;
        if (Search(position)) return position;
        if (!insertAt(position)) return -1;
        ++*counter_;
        return position;
    }

private:
    int64_t* counter_;
};

}  // namespace qm
