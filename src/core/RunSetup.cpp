#include "core/RunSetup.h"

#include <cstring>

namespace qm {
namespace {

template <class T>
T* obtainArray(int32_t count) {
    const std::size_t elements = count > 0 ? static_cast<std::size_t>(count) : 1;
    return static_cast<T*>(allocator().allocate(elements * sizeof(T)));
}

template <class T>
void releaseArray(T*& array) {
    if (array) allocator().release(array);
    array = nullptr;
}

}  // namespace

bool prepareFastGrid(World& w, int32_t halfSize) {
    return allocateFastGrid(w.grid, halfSize, cellWidthOf(w.mode()));
}

bool createSparseStore(World& w, int32_t delta) {
    w.releaseStores();
    w.searchMulti.state = 1;
    bool ok = false;
    switch (w.mode()) {
        case RunMode::BlackWhite:
            w.storeBW = new BlackSquareStore(&w.searchBW);
            ok = w.storeBW->LastError() == SSErrorNone && w.storeBW->Reserve(delta, delta);
            break;
        case RunMode::Generalized:
            w.storeMulti = new GeneralizedSquareStore(&w.searchMulti, &w.counters.filled);
            ok = w.storeMulti->LastError() == SSErrorNone && w.storeMulti->Reserve(delta, delta);
            break;
        default:
            w.storeIndexed = new IndexedSquareStore(&w.searchIndexed);
            ok = w.storeIndexed->LastError() == SSErrorNone && w.storeIndexed->Reserve(delta, delta);
            break;
    }
    if (!ok) w.releaseStores();
    return ok;
}

bool allocateIndexedAntArrays(World& w, int32_t antMax) {
    releaseArray(w.antPos);
    releaseArray(w.antColour);
    w.antPosCapacity = 0;
    w.antPos = obtainArray<AntPos>(antMax);
    w.antColour = obtainArray<uint32_t>(antMax);
    if (!w.antPos || !w.antColour) {
        releaseArray(w.antPos);
        releaseArray(w.antColour);
        return false;
    }
    std::memset(w.antPos, 0, sizeof(AntPos) * static_cast<std::size_t>(antMax));
    std::memset(w.antColour, 0, sizeof(uint32_t) * static_cast<std::size_t>(antMax));
    w.antPosCapacity = antMax;
    return true;
}

bool allocateRunAntArrays(World& w, int32_t count) {
    releaseArray(w.antPos);
    w.antPosCapacity = 0;
    w.releaseRunAntArrays();
    w.antPos = obtainArray<AntPos>(count);
    w.antDir = obtainArray<uint8_t>(count);
    if (w.generalized) w.antProgram = obtainArray<uint64_t>(count);
    if (!w.antPos || !w.antDir || (w.generalized && !w.antProgram)) {
        releaseArray(w.antPos);
        w.releaseRunAntArrays();
        return false;
    }
    w.antPosCapacity = count;
    return true;
}

void resetCounters(World& w, int32_t antCount, double startDays) {
    RunCounters& c = w.counters;
    c = RunCounters{};
    c.antCount = antCount;
    c.runStartDays = startDays;
    w.resumeAnt = 0;
}

}  // namespace qm
