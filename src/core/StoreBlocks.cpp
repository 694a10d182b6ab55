#include "core/StoreBlocks.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <unordered_map>

#include <sys/mman.h>

#include "core/LeafStore.h"

namespace qm {
namespace {

// The pages of fresh memory about to be written, mapped in one call rather than one fault each (a
// fault costs microseconds in a virtual machine, and a checkpoint copies megabytes of new
// squares). Where the call is unknown or refused, the copy faults them in as before.
void prefault([[maybe_unused]] char* data, [[maybe_unused]] std::size_t bytes) {
#ifdef MADV_POPULATE_WRITE
    constexpr uintptr_t Page = 4096;
    const auto start = reinterpret_cast<uintptr_t>(data) & ~(Page - 1);
    const auto end = (reinterpret_cast<uintptr_t>(data) + bytes + Page - 1) & ~(Page - 1);
    if (end - start >= 4 * Page) madvise(reinterpret_cast<void*>(start), end - start, MADV_POPULATE_WRITE);
#endif
}

// A block also ends at this many elements, should no leaf end it sooner.
constexpr int64_t MostElements = 65536;

template <class Element, class Store>
bool pack(Store& store, const StoreBlocks& previous, StoreBlocks& blocks, int blockBits, StoreLayout* layout) {
    const int capacityBits = std::bit_width(static_cast<uint32_t>(std::max(store.LeafCapacity(), 1))) - 1;
    const int leafBits = std::max(0, blockBits - capacityBits);
    auto endsBlock = [&](const Element& first) {
        return leafBits == 0 || ((keyOrdinal(first.X, first.Y) * 0x9e3779b97f4a7c15u) >> (64 - leafBits)) == 0;
    };
    const bool tracked = layout && layout->store == store.Identity();
    std::unordered_map<const void*, std::size_t> recorded;  // a block's first leaf: the block's index
    if (tracked)
        for (std::size_t b = 0; b < layout->blocks.size(); ++b) recorded.emplace(layout->leaves[layout->blocks[b].firstLeaf], b);
    // Without a record, a block is known by its first key and taken when its elements are byte
    // for byte the same.
    std::unordered_map<uint64_t, const std::shared_ptr<const StoreBlock>*> known;
    for (const auto& block : previous) known.emplace(block->first, &block);

    StoreLayout next;
    next.store = store.Identity();
    struct Piece {
        const Element* items;
        int32_t count;
    };
    std::vector<Piece> pending;
    std::size_t pendingFrom = 0;  // its first leaf in next.leaves
    int64_t pendingElements = 0;
    bool changed = false;
    auto sameLeaves = [&](const StoreLayout::Block& before) {
        return before.leafCount == pending.size() &&
               std::equal(next.leaves.begin() + static_cast<std::ptrdiff_t>(pendingFrom), next.leaves.end(),
                          layout->leaves.begin() + static_cast<std::ptrdiff_t>(before.firstLeaf));
    };
    auto finish = [&] {
        if (pending.empty()) return;
        std::shared_ptr<const StoreBlock> taken;
        if (tracked && !changed) {
            const auto found = recorded.find(next.leaves[pendingFrom]);
            if (found != recorded.end() && sameLeaves(layout->blocks[found->second]))
                taken = layout->blocks[found->second].block.lock();
        }
        if (!taken) {
            auto block = std::make_shared<StoreBlock>();
            block->first = keyOrdinal(pending[0].items[0].X, pending[0].items[0].Y);
            // Appended, not resized and filled: fresh memory is written once.
            block->bytes.reserve(static_cast<std::size_t>(pendingElements) * sizeof(Element));
            prefault(block->bytes.data(), block->bytes.capacity());
            for (const Piece& piece : pending)
                block->bytes.append(reinterpret_cast<const char*>(piece.items),
                                    static_cast<std::size_t>(piece.count) * sizeof(Element));
            const auto found = known.find(block->first);
            if (found != known.end() && (*found->second)->bytes == block->bytes) taken = *found->second;
            else taken = std::move(block);
        }
        next.blocks.push_back(StoreLayout::Block{pendingFrom, pending.size(), taken});
        blocks.push_back(std::move(taken));
        pending.clear();
        pendingFrom = next.leaves.size();
        pendingElements = 0;
        changed = false;
    };
    // A node unchanged since the last packing made whole blocks then (blocks end with a node):
    // they are taken again as recorded, without reading its leaves. False, with nothing taken,
    // when the record does not hold them all.
    auto takeRecorded = [&](const auto& group) {
        const auto found = recorded.find(group.leaf(0));
        if (found == recorded.end()) return false;
        const std::size_t from = layout->blocks[found->second].firstLeaf;
        const auto leaves = static_cast<std::size_t>(group.leaves());
        if (from + leaves > layout->leaves.size()) return false;
        for (std::size_t i = 0; i < leaves; ++i)
            if (layout->leaves[from + i] != group.leaf(static_cast<int32_t>(i))) return false;
        const std::size_t blocksBefore = blocks.size();
        std::size_t covered = 0;
        for (std::size_t b = found->second; covered < leaves; ++b) {
            std::shared_ptr<const StoreBlock> block;
            if (b < layout->blocks.size() && layout->blocks[b].firstLeaf == from + covered)
                block = layout->blocks[b].block.lock();
            if (!block) break;  // not recorded so, or a checkpoint that held it has gone
            next.blocks.push_back(StoreLayout::Block{next.leaves.size() + covered, layout->blocks[b].leafCount, block});
            blocks.push_back(std::move(block));
            covered += layout->blocks[b].leafCount;
        }
        if (covered != leaves) {
            blocks.resize(blocksBefore);
            next.blocks.resize(blocksBefore);
            return false;
        }
        for (std::size_t i = 0; i < leaves; ++i) next.leaves.push_back(group.leaf(static_cast<int32_t>(i)));
        pendingFrom = next.leaves.size();
        return true;
    };
    const uint32_t sealed = tracked ? layout->sealed : 0;
    store.ForEachLeafGroup([&](const auto& group) {
        if (tracked && group.stamp() <= sealed && takeRecorded(group)) return;
        group.forEachLeaf([&](const void* leaf, const Element* items, int32_t count, uint32_t stamp) {
            if (count == 0) return;  // an empty store's one leaf
            pending.push_back(Piece{items, count});
            next.leaves.push_back(leaf);
            pendingElements += count;
            changed = changed || stamp > sealed;
            if (endsBlock(items[0]) || pendingElements >= MostElements) finish();
        });
        finish();
    });
    if (layout) {
        next.sealed = store.Seal();
        *layout = std::move(next);
    }
    return true;
}

template <class Element, class Store>
bool unpack(Store& store, const StoreBlocks& blocks) {
    std::vector<Element> elements;
    for (const auto& block : blocks) {
        if (block->bytes.size() % sizeof(Element) != 0) return false;
        elements.resize(block->bytes.size() / sizeof(Element));
        std::memcpy(elements.data(), block->bytes.data(), block->bytes.size());
        if (!store.AppendSortedRun(elements.data(), static_cast<int64_t>(elements.size()))) return false;
    }
    return true;
}

}  // namespace

// The stores are reached through the world's pointers: sealing one marks where the next
// checkpoint's changes begin, which changes none of its squares.
bool packStoreBlocks(const World& w, const StoreBlocks& previous, StoreBlocks& blocks, int blockBits,
                     StoreLayout* layout) {
    blocks.clear();
    if (w.storeIndexed) return pack<IndexedSquare>(*w.storeIndexed, previous, blocks, blockBits, layout);
    if (w.storeBW) return pack<BlackSquare>(*w.storeBW, previous, blocks, blockBits, layout);
    if (w.storeMulti) return pack<GeneralizedSquare>(*w.storeMulti, previous, blocks, blockBits, layout);
    if (layout) *layout = StoreLayout{};
    return true;
}

bool unpackStoreBlocks(World& w, const StoreBlocks& blocks) {
    if (blocks.empty()) return true;
    if (w.storeIndexed) return unpack<IndexedSquare>(*w.storeIndexed, blocks);
    if (w.storeBW) return unpack<BlackSquare>(*w.storeBW, blocks);
    if (w.storeMulti) return unpack<GeneralizedSquare>(*w.storeMulti, blocks);
    return false;
}

}  // namespace qm
