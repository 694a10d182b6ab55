#pragma once
// Shared by the parts of the world file reader: how a part refuses the file, and the memory the
// file asks for in total. The reasons thrown here are caught at the reader's entry.

#include <cstdint>
#include <string>

#include "core/ByteStream.h"
#include "core/World.h"
#include "core/WorldFile.h"
#include "core/MemoryBudget.h"

namespace qm::worldread {

struct Unusable {
    std::string reason;
};

[[noreturn]] inline void fail(const std::string& reason) { throw Unusable{reason}; }
[[noreturn]] inline void damaged(const char* what) { fail(std::string("the file is damaged (") + what + ")"); }

inline void need(bool got, const char* what) {
    if (!got) damaged(what);
}
// Every allocation the file asks for together, against what the machine has.
class MemoryBill {
public:
    void add(uint64_t bytes) { total_ += bytes; }
    void check() const {
        const uint64_t machine = physicalMemoryOf(queryMemoryStatus());
        if (total_ > machine)
            fail("it needs " + std::to_string(total_ / MiB) + " MB of memory, more than this machine has (" +
                 std::to_string(machine / MiB) + " MB)");
    }

private:
    uint64_t total_ = 0;
};

// The squares: the grid's painted chunks and the store's elements (WorldSquaresReader.cpp).
void readGrid(ByteReader in, LoadedWorld& world, MemoryBill& bill);
void readStore(ByteReader in, LoadedWorld& world, World& target, MemoryBill& bill);

}  // namespace qm::worldread
