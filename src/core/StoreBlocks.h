#pragma once
// A checkpoint's sparse store, in blocks of the store's leaves in key order. A block ends after a
// leaf whose first key says so, not after a count, so squares added in one place (a highway's
// end) change only the blocks there: a checkpoint takes every other block from the one before
// it. Blocks are kept as they lie in the store, unpacked: packing a large store costs seconds,
// more than a run can spare, and the checkpoints of a run beyond the grid have an eighth of the
// free memory.
//
// The store marks the leaves it changes and the nodes that list them
// (SortedStore::ForEachLeafGroup), and a StoreLayout records which leaves made which block when
// the last checkpoint was taken. Blocks also end with a node, so a node unchanged since is taken
// again as its recorded blocks without reading one of its leaves, and a block whose leaves are
// the same and unchanged since without reading its squares: a checkpoint of a store of millions
// of squares costs what changed, not what is stored.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/World.h"

namespace qm {

struct StoreBlock {
    uint64_t first = 0;  // the key of its first element (keyOrdinal)
    std::string bytes;   // the elements, packed as the store holds them
};
using StoreBlocks = std::vector<std::shared_ptr<const StoreBlock>>;

// The leaves of one store at the last packing, and the block each run of them made.
struct StoreLayout {
    struct Block {
        std::size_t firstLeaf = 0;  // into `leaves`
        std::size_t leafCount = 0;
        std::weak_ptr<const StoreBlock> block;  // not held: checkpoints own their blocks
    };
    uint64_t store = 0;   // SortedStore::Identity(); 0: none
    uint32_t sealed = 0;  // leaves stamped above this changed since
    std::vector<const void*> leaves;
    std::vector<Block> blocks;
};

// A block ends after a leaf whose first key's hash has its top `DefaultBlockBits` bits, less
// those of the leaf's capacity, all 0: about 4096 squares a block, few blocks to list and little
// to copy again for a change.
inline constexpr int DefaultBlockBits = 12;

// The world's store in blocks (none without a store). A block is taken from `layout` when its
// leaves are those recorded there and unchanged since, else from `previous` when its squares are
// byte for byte one of those, else copied. `layout` (may be null) is then the store's as it is
// now. Throws std::bad_alloc when memory fails.
bool packStoreBlocks(const World& w, const StoreBlocks& previous, StoreBlocks& blocks,
                     int blockBits = DefaultBlockBits, StoreLayout* layout = nullptr);
// Appends the blocks' squares to the world's empty store of their kind. False when memory fails.
bool unpackStoreBlocks(World& w, const StoreBlocks& blocks);

}  // namespace qm
