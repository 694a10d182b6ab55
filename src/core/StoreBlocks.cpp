#include "core/StoreBlocks.h"

#include <cstring>
#include <unordered_map>

#include "core/LeafStore.h"

namespace qm {
namespace {

// A block also ends at this many elements, should no key end it sooner.
constexpr uint32_t MostElements = 65536;

template <class Element, class Store>
bool pack(const Store& store, const StoreBlocks& previous, StoreBlocks& blocks, int blockBits) {
    const int endShift = 64 - blockBits;
    // A block is known by its first key (blocks begin after the same keys in every checkpoint)
    // and taken when its elements are byte for byte the same.
    std::unordered_map<uint64_t, const std::shared_ptr<const StoreBlock>*> known;
    for (const auto& block : previous) known.emplace(block->first, &block);
    std::vector<Element> pending;
    pending.reserve(MostElements);
    auto finish = [&] {
        if (pending.empty()) return;
        const std::size_t bytes = pending.size() * sizeof(Element);
        const uint64_t first = keyOrdinal(pending[0].X, pending[0].Y);
        const auto found = known.find(first);
        if (found != known.end() && (*found->second)->bytes.size() == bytes &&
            std::memcmp((*found->second)->bytes.data(), pending.data(), bytes) == 0) {
            blocks.push_back(*found->second);
        } else {
            auto block = std::make_shared<StoreBlock>();
            block->first = first;
            block->bytes.assign(reinterpret_cast<const char*>(pending.data()), bytes);
            blocks.push_back(std::move(block));
        }
        pending.clear();
    };
    store.ForEach([&](const Element& e) {
        pending.push_back(e);
        if (((keyOrdinal(e.X, e.Y) * 0x9e3779b97f4a7c15u) >> endShift) == 0 || pending.size() == MostElements)
            finish();
    });
    finish();
    return true;
}

template <class Element, class Store>
bool unpack(Store& store, const StoreBlocks& blocks) {
    std::vector<Element> elements;
    for (const auto& block : blocks) {
        if (block->bytes.size() % sizeof(Element) != 0) return false;
        elements.resize(block->bytes.size() / sizeof(Element));
        std::memcpy(elements.data(), block->bytes.data(), block->bytes.size());
        for (const Element& e : elements)
            if (!store.AppendSorted(e)) return false;
    }
    return true;
}

}  // namespace

bool packStoreBlocks(const World& w, const StoreBlocks& previous, StoreBlocks& blocks, int blockBits) {
    blocks.clear();
    if (w.storeIndexed) return pack<IndexedSquare>(*w.storeIndexed, previous, blocks, blockBits);
    if (w.storeBW) return pack<BlackSquare>(*w.storeBW, previous, blocks, blockBits);
    if (w.storeMulti) return pack<GeneralizedSquare>(*w.storeMulti, previous, blocks, blockBits);
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
