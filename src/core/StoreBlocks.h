#pragma once
// A checkpoint's sparse store, in blocks of squares in key order. Blocks end where a key says so,
// not after a count, so squares added in one place (a highway's end) change only the blocks
// there: a checkpoint takes every other block from the one before it. Blocks are kept as they lie
// in the store, unpacked: packing a large store costs seconds, more than a run can spare, and the
// checkpoints of a run beyond the grid have an eighth of the free memory.

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

// A key ends a block when the top `DefaultBlockBits` bits of its hash are 0: about 4096 squares a
// block, few blocks to list and little to copy again for a change.
inline constexpr int DefaultBlockBits = 12;

// The world's store in blocks (none without a store), each block the same as one of `previous`
// taken from there. Throws std::bad_alloc when memory fails.
bool packStoreBlocks(const World& w, const StoreBlocks& previous, StoreBlocks& blocks,
                     int blockBits = DefaultBlockBits);
// Appends the blocks' squares to the world's empty store of their kind. False when memory fails.
bool unpackStoreBlocks(World& w, const StoreBlocks& blocks);

}  // namespace qm
