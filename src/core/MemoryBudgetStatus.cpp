#include "core/MemoryBudget.h"

#include <fstream>
#include <limits>
#include <sstream>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

namespace qm {

namespace {

class ProcMemInfoSource final : public MemoryStatusSource {
public:
    MemoryStatus query() override {
        // The status is taken as the system gives it; an unreadable file yields zeros, which
        // fit the smallest memory choice.
        std::ifstream file("/proc/meminfo");
        std::stringstream text;
        text << file.rdbuf();
        return parseMemInfo(text.str());
    }
};

// Kilobytes to bytes within the unsigned 32-bit range, without wrapping on absurd figures.
uint32_t kibToBytes(uint64_t kib) {
    constexpr uint64_t Max = std::numeric_limits<uint32_t>::max();
    return kib > Max / 1024 ? static_cast<uint32_t>(Max) : clampToUInt32(kib * 1024);
}

ProcMemInfoSource procMemInfoSource;
MemoryStatusSource* installedSource = nullptr;

}  // namespace

uint32_t clampToUInt32(uint64_t bytes) {
    constexpr uint64_t Max = std::numeric_limits<uint32_t>::max();
    return static_cast<uint32_t>(bytes > Max ? Max : bytes);
}

MemoryStatus parseMemInfo(const std::string& text) {
    uint64_t totalKiB = 0;
    uint64_t availableKiB = 0;
    uint64_t freeKiB = 0;
    bool haveAvailable = false;

    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string key;
        uint64_t value = 0;
        if (!(fields >> key >> value)) continue;
        if (key == "MemTotal:") {
            totalKiB = value;
        } else if (key == "MemAvailable:") {
            availableKiB = value;
            haveAvailable = true;
        } else if (key == "MemFree:") {
            freeKiB = value;
        }
    }
    MemoryStatus status;
    status.total = kibToBytes(totalKiB);
    status.available = kibToBytes(haveAvailable ? availableKiB : freeKiB);
    status.physicalTotal = totalKiB > UINT64_MAX / 1024 ? UINT64_MAX : totalKiB * 1024;
    return status;
}

MemoryStatusSource& systemMemoryStatus() { return procMemInfoSource; }

void setMemoryStatusSource(MemoryStatusSource* replacement) { installedSource = replacement; }

uint64_t residentBytes() {
    // Asked at every frame of a recorded run: the file stays open and is read again from its start.
    static const int statm = open("/proc/self/statm", O_RDONLY | O_CLOEXEC);
    static const long pageBytes = sysconf(_SC_PAGESIZE);
    if (statm < 0 || pageBytes <= 0) return 0;
    char text[128];
    const ssize_t got = pread(statm, text, sizeof text - 1, 0);
    if (got <= 0) return 0;
    text[got] = '\0';
    unsigned long long size = 0, resident = 0;
    if (std::sscanf(text, "%llu %llu", &size, &resident) != 2) return 0;
    return static_cast<uint64_t>(resident) * static_cast<uint64_t>(pageBytes);
}

MemoryStatus queryMemoryStatus() {
    return installedSource ? installedSource->query() : procMemInfoSource.query();
}

}  // namespace qm
