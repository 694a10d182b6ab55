#include "TestSupport.h"

#include <sstream>

namespace qmtest {

TestWorld::TestWorld(qm::RunMode mode, int32_t halfSize, const std::vector<AntSpec>& ants,
                     bool withStore, int32_t states) {
    using qm::RunMode;
    w.generalized = mode == RunMode::Generalized;
    w.antMaxMode = mode == RunMode::Indexed15      ? qm::AntMaxMode::Ants15
                   : mode == RunMode::Indexed65535 ? qm::AntMaxMode::Ants65535
                   : mode == RunMode::BlackWhite   ? qm::AntMaxMode::BlackWhite
                                                   : qm::AntMaxMode::Ants255;
    w.states = states;
    w.pump = &pump;
    w.messages = &messages;
    w.frameCountdownReload = 1;
    w.limits.userMaxSteps = 1000;
    w.limits.stepMax = 4294967285;
    w.limits.filledMax = 1ll << 40;
    w.limits.axisBound = 2147483637;
    w.limits.axisBoundNeg = -2147483637;
    prepareFastGrid(w, halfSize);
    if (withStore) createSparseStore(w, 1000);
    const auto count = static_cast<int32_t>(ants.size());
    const bool indexed = !w.generalized && w.antMaxMode != qm::AntMaxMode::BlackWhite;
    if (indexed) allocateIndexedAntArrays(w, count > 0 ? count : 1);
    else allocateRunAntArrays(w, count);
    for (int32_t i = 0; i < count; ++i) {
        const AntSpec& a = ants[static_cast<size_t>(i)];
        w.antPos[i] = {a.x, a.y};
        if (indexed) w.antColour[i] = qm::makeColourWord(0x123456, a.direction);
        else w.antDir[i] = a.direction;
        if (w.generalized) w.antProgram[i] = a.program;
    }
    w.searchMulti.state = 1;
    resetCounters(w, count, 0.0);
    w.idle = 0;
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

}  // namespace qmtest
