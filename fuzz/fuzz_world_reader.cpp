// The world file reader on arbitrary bytes. Whatever it accepts must be a world the program can
// use: installed, stepped a little and written again, it must read back as the same world.
// Memory is reported as 64 MB, so that a file asking for more is refused before any allocation.
// Mutations almost always break the checksum, which would stop every input at that check: most
// inputs get a correct checksum first, so that the fuzzer reaches the sections behind it.

#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>
#include <vector>

#include "CountingMessages.h"
#include "FuzzCheck.h"
#include "core/ByteStream.h"
#include "core/StepLoops.h"
#include "core/WorldFile.h"
#include "core/MemoryBudget.h"

namespace {

class SmallMachine final : public qm::MemoryStatusSource {
public:
    qm::MemoryStatus query() override { return {64u << 20, 48u << 20}; }
};

class NoEvents final : public qm::EventPump {
public:
    void processEvents() override {}
    bool frameDue() override { return false; }
};

std::string scratchPath() {
    const char* dir = std::getenv("TMPDIR");
    return std::string(dir ? dir : "/tmp") + "/fuzz_world_reader." + std::to_string(::getpid()) + ".qmw";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    static SmallMachine machine;
    qm::setMemoryStatusSource(&machine);
    qm::World w;
    CountingMessages messages;
    NoEvents pump;
    w.messages = &messages;
    w.pump = &pump;
    std::vector<uint8_t> bytes(data, data + size);
    if (size >= 16 && size % 8 != 0) {
        const uint32_t crc = qm::crc32(bytes.data(), size - 4);
        for (int i = 0; i < 4; ++i) bytes[size - 4 + static_cast<std::size_t>(i)] = static_cast<uint8_t>(crc >> (8 * i));
    }
    std::string error;
    auto loaded = qm::parseWorld(bytes.data(), bytes.size(), w, error);
    if (!loaded) {
        FUZZ_CHECK(!error.empty());
        return 0;
    }
    qm::installWorld(w, *loaded);
    w.idle = 0;
    w.limits.userMaxSteps = w.counters.stepCount > INT64_MAX - 2 ? w.counters.stepCount : w.counters.stepCount + 2;
    qm::runStepLoop(w);
    w.idle = 1;

    const qm::WorldDocument document = loaded->document;
    const std::string path = scratchPath();
    FUZZ_CHECK(qm::saveWorldFile(path, w, document).empty());
    qm::World again;
    auto reread = qm::readWorldFile(path, again, error);
    std::remove(path.c_str());
    FUZZ_CHECK(reread != nullptr);
    FUZZ_CHECK(reread->counters.stepCount == w.counters.stepCount);
    FUZZ_CHECK(reread->counters.filled == w.counters.filled);
    FUZZ_CHECK(reread->document.definitionText == document.definitionText);
    return 0;
}
