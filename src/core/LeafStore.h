#pragma once
// A sorted set of packed (X, Y) records whose search, insertion and removal cost does not grow
// with its size beyond a logarithm. Records lie in leaves of up to 64 elements, taken
// from a LeafPool; each leaf is listed with its separator (no key of the leaf is smaller, every
// key of the leaf before is) in a node of up to NodeFanout leaves, and the nodes with theirs in
// one top array. An ant's next square is almost always in the leaf of its previous one, so that
// leaf's key range is kept and tried before any bisection.
//
// Leaves fill before they split: a full leaf first hands elements to a neighbour with room, and
// a leaf that overflows at one of its ends splits there, so squares added in key order (a
// highway walking away) leave full leaves behind. Sparse leaves and nodes merge with a
// neighbour. Everything a change needs is obtained before anything moves, so a failed growth
// leaves the store as it was.

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>

#include "core/LeafPool.h"
#include "core/Platform.h"
#include "core/SortedArray.h"

namespace qm {

// (X, Y) as one unsigned number in key order: X, then Y, both signed.
inline uint64_t keyOrdinal(int32_t x, int32_t y) {
    return (uint64_t{static_cast<uint32_t>(x) ^ 0x80000000u} << 32) | (static_cast<uint32_t>(y) ^ 0x80000000u);
}

// Every store its own number, never reused: a checkpoint's record of a store's leaves is good
// only for that store, and a new store may lie where an old one lay.
inline uint64_t nextStoreIdentity() {
    static std::atomic<uint64_t> next{1};
    return next.fetch_add(1, std::memory_order_relaxed);
}

template <class T>
class SortedStore {
public:
    static constexpr int32_t DefaultDelta = 1000;
    static constexpr int32_t MaxLeafElements = 64;
    static constexpr int32_t NodeFanout = 256;

    // A new store holds one empty leaf for the default delta; when that cannot be had it holds
    // nothing and reports a memory error.
    explicit SortedStore(const T* key) : key_(key) {
        if (!build(1, DefaultDelta)) lastError_ = SSErrorMemory;
    }
    SortedStore(const SortedStore&) = delete;
    SortedStore& operator=(const SortedStore&) = delete;
    ~SortedStore() { releaseIndex(); }

    // For a new, empty store: room for `capacity` elements and growth in steps of about `delta`
    // (0 keeps the current delta, or the default).
    bool Reserve(int32_t capacity, int32_t delta) {
        if (delta > 0) growDelta_ = delta;
        else if (growDelta_ <= 0) growDelta_ = DefaultDelta;
        if (capacity < 0 || !build(capacity, growDelta_)) {
            lastError_ = SSErrorMemory;
            return false;
        }
        return true;
    }

    int32_t Count() const { return count_; }
    // Elements the leaves obtained so far can hold.
    int64_t Capacity() const { return pool_.totalLeaves() * leafCapacity_; }
    int32_t GrowDelta() const { return growDelta_; }
    int32_t LastError() const { return lastError_; }
    int32_t LeafCapacity() const { return leafCapacity_; }
    int64_t LeafCount() const {
        int64_t leaves = 0;
        for (int32_t t = 0; t < topCount_; ++t) leaves += top_[t].node->count;
        return leaves;
    }
    // Bytes held: slabs, nodes and the top array.
    std::size_t StoreBytes() const {
        return pool_.totalBytes() + static_cast<std::size_t>(nodeCount_) * sizeof(Node) +
               static_cast<std::size_t>(topCapacity_) * sizeof(TopEntry);
    }

    // The element of square (x, y), or none. It leaves the search cache of the updates alone.
    const T* Find(int32_t x, int32_t y) const {
        if (count_ == 0) return nullptr;
        const uint64_t k = keyOrdinal(x, y);
        const Node* node = top_[lastAtMost(top_, topCount_, k)].node;
        const Leaf* leaf = node->entries[lastAtMost(node->entries, node->count, k)].leaf;
        const int32_t pos = lowerBound(leaf, k);
        return pos < leaf->count && ordinalOf(itemsOf(leaf)[pos]) == k ? itemsOf(leaf) + pos : nullptr;
    }

    // The element of rank `index` in key order, or none outside 0 to Count() - 1. It walks the
    // index: for checks, not for loops over the store.
    T* Item(int64_t index) {
        if (index < 0 || index >= count_) return nullptr;
        int32_t t = 0;
        while (index >= top_[t].total) index -= top_[t++].total;
        const Node* node = top_[t].node;
        int32_t n = 0;
        while (index >= node->entries[n].leaf->count) index -= node->entries[n++].leaf->count;
        touch(t, node->entries[n].leaf);  // the caller may change it
        return itemsOf(node->entries[n].leaf) + index;
    }

    // Every element in key order. The readers (painters, world files, pictures) walk a store only
    // through these, so they do not depend on how the store lays out its elements.
    template <class F>
    void ForEach(F&& visit) const {
        walkFrom(0, 0, 0, [&](const T& e) {
            visit(e);
            return true;
        });
    }
    // The elements with X >= minX in key order, until `visit` returns false.
    template <class F>
    void ForEachFromX(int32_t minX, F&& visit) const {
        if (count_ == 0) return;
        const uint64_t k = keyOrdinal(minX, std::numeric_limits<int32_t>::min());
        const int32_t t = lastAtMost(top_, topCount_, k);
        const Node* node = top_[t].node;
        const int32_t n = lastAtMost(node->entries, node->count, k);
        walkFrom(t, n, lowerBound(node->entries[n].leaf, k), visit);
    }
    // Every leaf in key order, node by node: visit(group) for each index node. The group's
    // forEachLeaf(visit) calls visit(leaf, items, count, stamp) for its leaves, empty ones
    // included, `leaf` naming it while it stays in the store; leaves() and leaf(i) name them
    // without reading them. A leaf changed since the last Seal() (its elements, their number, or
    // new in the store) has a stamp above the epoch that Seal() returned; the others hold what
    // they held then. The group's stamp() is above it when any of its leaves, or their list,
    // changed since. Checkpoints take an unchanged node whole and an unchanged leaf unread.
    class LeafGroup;
    template <class F>
    void ForEachLeafGroup(F&& visit) const {
        for (int32_t t = 0; t < topCount_; ++t) visit(LeafGroup(top_[t].node, top_[t].stamp));
    }
    uint32_t Seal() { return epoch_++; }
    uint64_t Identity() const { return identity_; }

    // Appends an element whose key is greater than every key present (loading a saved store in
    // order). False, with the store unchanged, when the key is out of order or memory fails.
    bool AppendSorted(const T& element) {
        if (!ensureRoot()) return false;
        const int32_t t = topCount_ - 1;
        const Node* node = top_[t].node;
        Place at{t, node->count - 1, 0, node->entries[node->count - 1].leaf};
        at.pos = at.leaf->count;
        if (at.pos > 0 && ordinalOf(itemsOf(at.leaf)[at.pos - 1]) >= ordinalOf(element)) {
            lastError_ = SSErrorIndex;
            return false;
        }
        return insertAt(at, element) != nullptr;
    }

    // Appends `n` elements in strictly increasing key order, all above every key present (a
    // checkpoint's blocks): each leaf filled with one copy. False, with the elements before the
    // first out of order (or the first memory failed for) appended, as AppendSorted would.
    bool AppendSortedRun(const T* items, int64_t n) {
        for (int64_t i = 0; i < n;) {
            if (!AppendSorted(items[i])) return false;  // opens a new leaf when the last is full
            ++i;
            Leaf* leaf = top_[topCount_ - 1].node->entries[top_[topCount_ - 1].node->count - 1].leaf;
            int64_t take = std::min<int64_t>({leafCapacity_ - leaf->count, n - i,
                                              std::numeric_limits<int32_t>::max() - int64_t{count_}});
            for (int64_t k = 0; k < take; ++k)
                if (ordinalOf(items[i + k]) <= ordinalOf(items[i + k - 1])) take = k;  // AppendSorted refuses it
            std::memcpy(static_cast<void*>(itemsOf(leaf) + leaf->count), items + i, bytesFor(take));
            leaf->count += static_cast<int32_t>(take);
            top_[topCount_ - 1].total += take;
            count_ += static_cast<int32_t>(take);
            touch(topCount_ - 1, leaf);
            i += take;
        }
        return true;
    }

protected:
    struct Leaf {
        int32_t count;
        uint32_t stamp;  // the epoch of its last change (see ForEachLeafGroup)
    };
    static constexpr std::size_t LeafHeader = sizeof(Leaf);  // the packed elements follow
    struct NodeEntry {
        uint64_t first;  // separator; not read for the first leaf of a node (the node's is)
        Leaf* leaf;
    };
    struct Node {
        int32_t count;
        int32_t unused;
        NodeEntry entries[NodeFanout];
    };
    struct TopEntry {
        uint64_t first;  // separator of the node's first leaf
        Node* node;
        int64_t total;   // elements under the node
        uint32_t stamp;  // the epoch of the last change to its leaves or their list
    };
    struct Place {
        int32_t top;
        int32_t entry;
        int32_t pos;
        Leaf* leaf;
    };

public:
    class LeafGroup {
    public:
        uint32_t stamp() const { return stamp_; }
        int32_t leaves() const { return node_->count; }
        const void* leaf(int32_t i) const { return node_->entries[i].leaf; }
        template <class F>
        void forEachLeaf(F&& visit) const {
            for (int32_t n = 0; n < node_->count; ++n) {
                const Leaf* leaf = node_->entries[n].leaf;
                visit(static_cast<const void*>(leaf), itemsOf(leaf), leaf->count, leaf->stamp);
            }
        }

    private:
        friend class SortedStore;
        LeafGroup(const Node* node, uint32_t stamp) : node_(node), stamp_(stamp) {}
        const Node* node_;
        uint32_t stamp_;
    };

protected:
    static constexpr int32_t TopStep = 64;

    static T* itemsOf(Leaf* leaf) { return reinterpret_cast<T*>(reinterpret_cast<unsigned char*>(leaf) + LeafHeader); }
    static const T* itemsOf(const Leaf* leaf) {
        return reinterpret_cast<const T*>(reinterpret_cast<const unsigned char*>(leaf) + LeafHeader);
    }
    static uint64_t ordinalOf(const T& e) { return keyOrdinal(e.X, e.Y); }
    // A leaf of node t changes: both carry the epoch.
    void touch(int32_t t, Leaf* leaf) const {
        leaf->stamp = epoch_;
        top_[t].stamp = epoch_;
    }
    static std::size_t bytesFor(int64_t elements) { return static_cast<std::size_t>(elements) * sizeof(T); }

    // Index of the last entry whose separator is at most k; the first entry is taken as the
    // lowest separator.
    template <class E>
    static int32_t lastAtMost(const E* entries, int32_t n, uint64_t k) {
        int32_t lo = 1, hi = n;
        while (lo < hi) {
            const int32_t mid = lo + (hi - lo) / 2;
            if (entries[mid].first <= k) lo = mid + 1;
            else hi = mid;
        }
        return lo - 1;
    }
    static int32_t lowerBound(const Leaf* leaf, uint64_t k) {
        const T* items = itemsOf(leaf);
        int32_t lo = 0, hi = leaf->count;
        while (lo < hi) {
            const int32_t mid = lo + (hi - lo) / 2;
            if (ordinalOf(items[mid]) < k) lo = mid + 1;
            else hi = mid;
        }
        return lo;
    }
    // Removes entry i of a separator array; a new first entry keeps the old first separator.
    template <class E>
    static void removeEntry(E* entries, int32_t& n, int32_t i) {
        const uint64_t first = entries[0].first;
        std::memmove(static_cast<void*>(entries + i), entries + i + 1, sizeof(E) * static_cast<std::size_t>(n - i - 1));
        --n;
        if (i == 0 && n > 0) entries[0].first = first;
    }

    template <class F>
    void walkFrom(int32_t t, int32_t n, int32_t pos, F&& visit) const {
        for (; t < topCount_; ++t, n = 0) {
            const Node* node = top_[t].node;
            for (; n < node->count; ++n, pos = 0) {
                const Leaf* leaf = node->entries[n].leaf;
                const T* items = itemsOf(leaf);
                for (; pos < leaf->count; ++pos)
                    if (!visit(items[pos])) return;
            }
        }
    }

    // A store whose first memory could not be had tries again at its first change.
    bool ensureRoot() {
        if (topCount_ > 0) return true;
        if (build(1, growDelta_)) return true;
        lastError_ = SSErrorMemory;
        return false;
    }

    // Where k is or would go; true when it is there. Tries the leaf of the previous search first.
    bool locate(uint64_t k, Place& at) {
        if (!cacheValid_ || k < cacheLow_ || k > cacheHigh_) descend(k);
        at = {cacheTop_, cacheEntry_, 0, cacheLeaf_};
        at.pos = lowerBound(at.leaf, k);
        return at.pos < at.leaf->count && ordinalOf(itemsOf(at.leaf)[at.pos]) == k;
    }
    void descend(uint64_t k) {
        const int32_t t = lastAtMost(top_, topCount_, k);
        const Node* node = top_[t].node;
        const int32_t n = lastAtMost(node->entries, node->count, k);
        cacheTop_ = t;
        cacheEntry_ = n;
        cacheLeaf_ = node->entries[n].leaf;
        cacheLow_ = n == 0 ? top_[t].first : node->entries[n].first;
        if (n + 1 < node->count) cacheHigh_ = node->entries[n + 1].first - 1;
        else if (t + 1 < topCount_) cacheHigh_ = top_[t + 1].first - 1;
        else cacheHigh_ = std::numeric_limits<uint64_t>::max();
        cacheValid_ = true;
    }

    // Inserts e at `at` (as found by locate); the inserted element, or none when memory fails
    // (nothing changed).
    T* insertAt(Place at, const T& e) {
        if (count_ == std::numeric_limits<int32_t>::max()) {
            lastError_ = SSErrorMemory;
            return nullptr;
        }
        if (at.leaf->count == leafCapacity_) {
            if (!shiftToNeighbour(at)) return splitAndInsert(at, e);
            locate(ordinalOf(e), at);  // either leaf now has room
        }
        return putInLeaf(at, e);
    }
    T* putInLeaf(const Place& at, const T& e) {
        T* items = itemsOf(at.leaf);
        std::memmove(static_cast<void*>(items + at.pos + 1), items + at.pos, bytesFor(at.leaf->count - at.pos));
        items[at.pos] = e;
        ++at.leaf->count;
        touch(at.top, at.leaf);
        ++top_[at.top].total;
        ++count_;
        return items + at.pos;
    }

    // A full leaf hands about half the difference to the emptier neighbour in its node when both
    // keep room afterwards.
    bool shiftToNeighbour(const Place& at) {
        Node* node = top_[at.top].node;
        Leaf* leaf = at.leaf;
        Leaf* left = at.entry > 0 ? node->entries[at.entry - 1].leaf : nullptr;
        Leaf* right = at.entry + 1 < node->count ? node->entries[at.entry + 1].leaf : nullptr;
        const int32_t roomLeft = left ? leafCapacity_ - left->count : 0;
        const int32_t roomRight = right ? leafCapacity_ - right->count : 0;
        if (std::max(roomLeft, roomRight) < 2) return false;
        touch(at.top, leaf);
        touch(at.top, roomLeft >= roomRight ? left : right);
        if (roomLeft >= roomRight) {
            const int32_t m = std::clamp((leaf->count - left->count) / 2, 1, roomLeft - 1);
            std::memcpy(static_cast<void*>(itemsOf(left) + left->count), itemsOf(leaf), bytesFor(m));
            std::memmove(static_cast<void*>(itemsOf(leaf)), itemsOf(leaf) + m, bytesFor(leaf->count - m));
            left->count += m;
            leaf->count -= m;
            node->entries[at.entry].first = ordinalOf(itemsOf(leaf)[0]);
        } else {
            const int32_t m = std::clamp((leaf->count - right->count) / 2, 1, roomRight - 1);
            std::memmove(static_cast<void*>(itemsOf(right) + m), itemsOf(right), bytesFor(right->count));
            std::memcpy(static_cast<void*>(itemsOf(right)), itemsOf(leaf) + (leaf->count - m), bytesFor(m));
            right->count += m;
            leaf->count -= m;
            node->entries[at.entry + 1].first = ordinalOf(itemsOf(right)[0]);
        }
        cacheValid_ = false;
        return true;
    }

    // A full leaf with no neighbour to help: a new leaf takes its elements from the split point
    // on. At the leaf's ends the split point is the insertion place, so in-order additions leave
    // full leaves behind.
    T* splitAndInsert(const Place& at, const T& e) {
        Node* node = top_[at.top].node;
        Node* newNode = nullptr;
        if (node->count == NodeFanout) {
            newNode = static_cast<Node*>(allocator().allocate(sizeof(Node)));
            if (!newNode || !ensureTopRoom()) return failGrowth(newNode);
        }
        if (!pool_.ensureSpare()) return failGrowth(newNode);

        Leaf* fresh = static_cast<Leaf*>(pool_.take());
        const int32_t n = leafCapacity_;
        const int32_t split = at.pos == n ? n : at.pos == 0 ? 0 : n / 2;
        std::memcpy(static_cast<void*>(itemsOf(fresh)), itemsOf(at.leaf) + split, bytesFor(n - split));
        fresh->count = n - split;
        at.leaf->count = split;
        touch(at.top, fresh);
        touch(at.top, at.leaf);
        const uint64_t freshFirst = split < n ? ordinalOf(itemsOf(fresh)[0]) : ordinalOf(e);

        Place target = at;
        if (at.pos > split || split == n) target = {at.top, at.entry + 1, at.pos - split, fresh};
        T* inserted = putInLeaf(target, e);
        insertEntry(at.top, at.entry + 1, NodeEntry{freshFirst, fresh}, newNode);
        cacheValid_ = false;
        return inserted;
    }
    T* failGrowth(Node* unused) {
        if (unused) allocator().release(unused);
        lastError_ = SSErrorMemory;
        return nullptr;
    }
    bool ensureTopRoom() {
        if (topCount_ < topCapacity_) return true;
        const int64_t wanted = int64_t{topCapacity_} + TopStep;
        if (wanted > std::numeric_limits<int32_t>::max()) return false;
        void* grown = allocator().reallocate(top_, sizeof(TopEntry) * static_cast<std::size_t>(wanted));
        if (!grown) return false;
        top_ = static_cast<TopEntry*>(grown);
        topCapacity_ = static_cast<int32_t>(wanted);
        return true;
    }

    // Lists a new leaf at `pos` of node t; a full node splits into `spare` (obtained beforehand).
    void insertEntry(int32_t t, int32_t pos, const NodeEntry& entry, Node* spare) {
        Node* node = top_[t].node;
        if (node->count < NodeFanout) {
            placeEntry(node, pos, entry);
            return;
        }
        const int32_t split = pos == NodeFanout ? NodeFanout : NodeFanout / 2;
        std::memcpy(static_cast<void*>(spare->entries), node->entries + split,
                    sizeof(NodeEntry) * static_cast<std::size_t>(NodeFanout - split));
        spare->count = NodeFanout - split;
        node->count = split;
        if (pos > split || split == NodeFanout) placeEntry(spare, pos - split, entry);
        else placeEntry(node, pos, entry);
        int64_t moved = 0;
        for (int32_t i = 0; i < spare->count; ++i) moved += spare->entries[i].leaf->count;
        top_[t].total -= moved;
        std::memmove(static_cast<void*>(top_ + t + 2), top_ + t + 1, sizeof(TopEntry) * static_cast<std::size_t>(topCount_ - t - 1));
        top_[t + 1] = TopEntry{spare->entries[0].first, spare, moved, epoch_};
        ++topCount_;
        ++nodeCount_;
    }
    static void placeEntry(Node* node, int32_t pos, const NodeEntry& entry) {
        std::memmove(static_cast<void*>(node->entries + pos + 1), node->entries + pos,
                     sizeof(NodeEntry) * static_cast<std::size_t>(node->count - pos));
        node->entries[pos] = entry;
        ++node->count;
    }

    // Removes the element at `at`; an emptied leaf is dropped (unless it is the store's last)
    // and a sparse one merges with a neighbour that leaves room after the merge.
    void removeAt(const Place& at) {
        T* items = itemsOf(at.leaf);
        std::memmove(static_cast<void*>(items + at.pos), items + at.pos + 1, bytesFor(at.leaf->count - at.pos - 1));
        --at.leaf->count;
        touch(at.top, at.leaf);
        --top_[at.top].total;
        --count_;
        if (at.leaf->count * 4 >= leafCapacity_) return;
        if (at.leaf->count == 0) {
            if (count_ > 0) dropLeaf(at.top, at.entry);
            return;
        }
        const Node* node = top_[at.top].node;
        const int32_t limit = leafCapacity_ * 3 / 4;
        if (at.entry > 0 && node->entries[at.entry - 1].leaf->count + at.leaf->count <= limit)
            mergeLeaves(at.top, at.entry - 1);
        else if (at.entry + 1 < node->count && node->entries[at.entry + 1].leaf->count + at.leaf->count <= limit)
            mergeLeaves(at.top, at.entry);
    }
    void dropLeaf(int32_t t, int32_t n) {
        Node* node = top_[t].node;
        pool_.give(node->entries[n].leaf);
        removeEntry(node->entries, node->count, n);
        cacheValid_ = false;
        if (node->count == 0) {
            allocator().release(node);
            --nodeCount_;
            removeEntry(top_, topCount_, t);
            return;
        }
        mergeSparseNode(t);
    }
    void mergeLeaves(int32_t t, int32_t n) {
        Node* node = top_[t].node;
        Leaf* into = node->entries[n].leaf;
        Leaf* from = node->entries[n + 1].leaf;
        std::memcpy(static_cast<void*>(itemsOf(into) + into->count), itemsOf(from), bytesFor(from->count));
        into->count += from->count;
        touch(t, into);
        pool_.give(from);
        removeEntry(node->entries, node->count, n + 1);
        cacheValid_ = false;
        mergeSparseNode(t);
    }
    void mergeSparseNode(int32_t t) {
        const int32_t count = top_[t].node->count;
        if (count * 4 >= NodeFanout) return;
        const int32_t limit = NodeFanout * 3 / 4;
        if (t > 0 && top_[t - 1].node->count + count <= limit) mergeNodes(t - 1);
        else if (t + 1 < topCount_ && top_[t + 1].node->count + count <= limit) mergeNodes(t);
    }
    void mergeNodes(int32_t t) {
        Node* into = top_[t].node;
        Node* from = top_[t + 1].node;
        from->entries[0].first = top_[t + 1].first;
        std::memcpy(static_cast<void*>(into->entries + into->count), from->entries,
                    sizeof(NodeEntry) * static_cast<std::size_t>(from->count));
        into->count += from->count;
        top_[t].total += top_[t + 1].total;
        top_[t].stamp = epoch_;
        allocator().release(from);
        --nodeCount_;
        removeEntry(top_, topCount_, t + 1);
        cacheValid_ = false;
    }

    // Elements before `at` in key order.
    int64_t rankOf(const Place& at) const {
        int64_t rank = at.pos;
        for (int32_t t = 0; t < at.top; ++t) rank += top_[t].total;
        const Node* node = top_[at.top].node;
        for (int32_t n = 0; n < at.entry; ++n) rank += node->entries[n].leaf->count;
        return rank;
    }

    const T* key_;

private:
    static int32_t ceilDiv(int64_t a, int64_t b) { return static_cast<int32_t>((a + b - 1) / b); }
    // Leaves of up to MaxLeafElements, sized so that about `delta` elements fill whole leaves.
    static int32_t leafCapacityFor(int32_t delta) {
        const int64_t d = delta > 0 ? delta : DefaultDelta;
        return ceilDiv(d, ceilDiv(d, MaxLeafElements));
    }

    // An empty store: one node with one empty leaf, leaves for `capacity` elements.
    bool build(int32_t capacity, int32_t delta) {
        releaseIndex();
        leafCapacity_ = leafCapacityFor(delta);
        const int64_t d = delta > 0 ? delta : DefaultDelta;
        pool_.reset(LeafHeader + bytesFor(leafCapacity_), ceilDiv(d, leafCapacity_));
        auto* top = static_cast<TopEntry*>(allocator().allocate(sizeof(TopEntry) * TopStep));
        auto* node = top ? static_cast<Node*>(allocator().allocate(sizeof(Node))) : nullptr;
        if (!node || !pool_.addSlab(std::max(1, ceilDiv(capacity, leafCapacity_)))) {
            if (node) allocator().release(node);
            if (top) allocator().release(top);
            return false;
        }
        Leaf* leaf = static_cast<Leaf*>(pool_.take());
        leaf->count = 0;
        leaf->stamp = epoch_;
        node->count = 1;
        node->entries[0] = NodeEntry{0, leaf};
        top[0] = TopEntry{0, node, 0, epoch_};
        top_ = top;
        topCapacity_ = TopStep;
        topCount_ = 1;
        nodeCount_ = 1;
        return true;
    }
    void releaseIndex() {
        for (int32_t t = 0; t < topCount_; ++t) allocator().release(top_[t].node);
        if (top_) allocator().release(top_);
        top_ = nullptr;
        topCount_ = topCapacity_ = 0;
        nodeCount_ = 0;
        count_ = 0;
        cacheValid_ = false;
        pool_.clear();
    }

    LeafPool pool_;
    TopEntry* top_ = nullptr;
    int32_t topCount_ = 0;
    int32_t topCapacity_ = 0;
    int64_t nodeCount_ = 0;
    int32_t leafCapacity_ = 1;
    int32_t count_ = 0;
    int32_t growDelta_ = DefaultDelta;
    int32_t lastError_ = SSErrorNone;
    uint32_t epoch_ = 1;
    const uint64_t identity_ = nextStoreIdentity();

    bool cacheValid_ = false;
    int32_t cacheTop_ = 0;
    int32_t cacheEntry_ = 0;
    Leaf* cacheLeaf_ = nullptr;
    uint64_t cacheLow_ = 0;
    uint64_t cacheHigh_ = 0;
};

}  // namespace qm
