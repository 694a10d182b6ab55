#pragma once
// Fakes and builders shared by the core tests.

#include <functional>
#include <string>
#include <vector>

#include "core/RunSetup.h"
#include "core/StepLoops.h"
#include "core/World.h"

namespace qmtest {

// The lines of a text, without their line ends (a last line without one counts too).
std::vector<std::string> linesOf(const std::string& text);

struct RecordedMessage {
    std::string text;
    qm::BoxType type;
};

class RecordingMessages final : public qm::MessageSink {
public:
    qm::BoxResult showMessage(const std::string& text, qm::BoxType type, qm::BoxButtons) override {
        messages.push_back({text, type});
        return qm::BoxResult::Ok;
    }
    std::vector<RecordedMessage> messages;
};

// Counts event-processing calls; an optional action runs on each call.
class ScriptedPump final : public qm::EventPump {
public:
    void processEvents() override {
        ++calls;
        if (onProcess) onProcess(calls);
    }
    bool frameDue() override { return frameAlwaysDue; }
    int calls = 0;
    bool frameAlwaysDue = true;
    std::function<void(int)> onProcess;
};

// Fails every allocation of at least `threshold` bytes (or every one after `allowed` calls).
class FailingAllocator final : public qm::Allocator {
public:
    explicit FailingAllocator(std::size_t threshold) : threshold_(threshold) {}
    void* allocate(std::size_t bytes) override {
        return bytes >= threshold_ ? nullptr : qm::allocatorDefault().allocate(bytes);
    }
    void* reallocate(void* block, std::size_t bytes) override {
        return bytes >= threshold_ ? nullptr : qm::allocatorDefault().reallocate(block, bytes);
    }
    void release(void* block) override { qm::allocatorDefault().release(block); }
    std::size_t threshold_;
};

// Counts every call and fails exactly the calls it is told to fail, so a test can break one
// particular growth and check that nothing was lost.
class CountingAllocator final : public qm::Allocator {
public:
    void* allocate(std::size_t bytes) override {
        ++allocations;
        if (failAllocations > 0) {
            --failAllocations;
            return nullptr;
        }
        return qm::allocatorDefault().allocate(bytes);
    }
    void* reallocate(void* block, std::size_t bytes) override {
        ++reallocations;
        if (failReallocations > 0) {
            --failReallocations;
            return nullptr;
        }
        if (!block) ++allocations;  // a reallocation of nothing is a new block
        return qm::allocatorDefault().reallocate(block, bytes);
    }
    void release(void* block) override {
        ++releases;
        qm::allocatorDefault().release(block);
    }
    int allocations = 0;
    int reallocations = 0;
    int releases = 0;
    int failAllocations = 0;    // the next this many allocate() calls fail
    int failReallocations = 0;  // the next this many reallocate() calls fail
};

// Installs an allocator for the lifetime of the guard.
struct AllocatorGuard {
    explicit AllocatorGuard(qm::Allocator* a) { qm::setAllocator(a); }
    ~AllocatorGuard() { qm::setAllocator(nullptr); }
};

struct AntSpec {
    int32_t x;
    int32_t y;
    uint8_t direction;  // code 1-4 (or anything); generalized: 0-3
    uint64_t program = 0xAAAAAAAAAAAAAAAAull;
};

// A world ready to step: grid of half size R for the mode, optional store, ants placed.
class TestWorld {
public:
    TestWorld(qm::RunMode mode, int32_t halfSize, const std::vector<AntSpec>& ants,
              bool withStore = false, int32_t states = 2);
    qm::World w;
    RecordingMessages messages;
    ScriptedPump pump;
    void run() { qm::runStepLoop(w); }
    qm::AntPos pos(int32_t ant) const { return w.antPos[ant]; }
};

}  // namespace qmtest
