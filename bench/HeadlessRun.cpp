#include "HeadlessRun.h"

#include <chrono>
#include <cstdio>
#include <memory>
#include <vector>

#include "core/RunSetup.h"
#include "core/StepLoops.h"
#include "definitions/AntReader.h"
#include "settings/AboutBoxUnit/MemoryBudget.h"

namespace qmbench {
namespace {

class StderrMessages final : public qm::MessageSink {
public:
    qm::BoxResult showMessage(const std::string& text, qm::BoxType, qm::BoxButtons) override {
        std::fprintf(stderr, "%s\n", text.c_str());
        return qm::BoxResult::Ok;
    }
};

// Nothing to serve: no window.
class IdlePump final : public qm::EventPump {
public:
    void processEvents() override {}
    bool frameDue() override { return false; }
};

qm::AntMaxChoice choiceOf(qm::RunMode mode) {
    switch (mode) {
        case qm::RunMode::Indexed15: return qm::AntMaxChoice::Ants15;
        case qm::RunMode::Indexed65535: return qm::AntMaxChoice::Ants65535;
        case qm::RunMode::BlackWhite: return qm::AntMaxChoice::BlackWhite;
        default: return qm::AntMaxChoice::Ants255;
    }
}

void setMode(qm::World& w, qm::RunMode mode, int32_t states) {
    w.generalized = mode == qm::RunMode::Generalized;
    w.states = states;
    switch (mode) {
        case qm::RunMode::Indexed15: w.antMaxMode = qm::AntMaxMode::Ants15; w.antMax = 15; break;
        case qm::RunMode::Indexed65535: w.antMaxMode = qm::AntMaxMode::Ants65535; w.antMax = 65535; break;
        case qm::RunMode::BlackWhite: w.antMaxMode = qm::AntMaxMode::BlackWhite; w.antMax = 15; break;
        case qm::RunMode::Generalized: w.antMaxMode = qm::AntMaxMode::Ants255; w.antMax = 65535; break;
        default: w.antMaxMode = qm::AntMaxMode::Ants255; w.antMax = 255; break;
    }
}

RunReport failed(const qm::World& w, qm::StopReason reason) {
    RunReport r = reportOf(w, 0.0);
    r.stop = reason;
    return r;
}

}  // namespace

RunReport runHeadless(const BenchOptions& o) {
    StderrMessages stderrMessages;
    qm::MessageSink& messages = stderrMessages;
    IdlePump pump;
    qm::World w;
    w.messages = &messages;
    w.pump = &pump;
    setMode(w, o.mode, o.states);

    const qm::AntMaxChoice choice = choiceOf(o.mode);
    const int32_t halfSize = qm::computeHalfSizes(choice)[static_cast<size_t>(o.memoryItem)];
    const qm::MemoryStatus memory = qm::queryMemoryStatus();
    const qm::RunLimitsFigures limits =
        qm::computeLimits(o.continueCompute, halfSize, choice, w.generalized, memory.total);
    w.limits.stepMax = limits.stepMax;
    w.limits.filledMax = limits.filledMax;
    w.limits.axisBound = limits.axisBound;
    w.limits.axisBoundNeg = -limits.axisBound;
    // "Max steps:" is held at or below the step maximum.
    const int64_t wanted = o.maxSteps.value_or(limits.stepMax);
    w.limits.userMaxSteps = wanted > limits.stepMax ? limits.stepMax : wanted;

    const bool indexed = o.mode != qm::RunMode::BlackWhite && o.mode != qm::RunMode::Generalized;
    if (indexed && !qm::allocateIndexedAntArrays(w, w.antMax)) {
        messages.showMessage("ERROR: not enought memory.", qm::BoxType::Error);
        return failed(w, qm::StopReason::Error);
    }
    if (!qm::prepareFastGrid(w, halfSize)) {
        messages.showMessage(qm::MsgGridMemory, qm::BoxType::Error);
        return failed(w, qm::StopReason::Error);
    }
    if (o.continueCompute &&
        !qm::createSparseStore(w, qm::sparseStoreDelta(o.memoryItem, memory.available, w.grid.byteSize))) {
        messages.showMessage(qm::MsgStoreMemory, qm::BoxType::Error);
        return failed(w, qm::StopReason::Error);
    }
    w.idle = 0;

    const std::vector<std::string> defaultLines{"0,0,1"};
    std::unique_ptr<qm::DefinitionSource> source;
    if (o.antsFile.empty()) source = std::make_unique<qm::EditorSource>(defaultLines);
    else source = std::make_unique<qm::FileSource>(o.antsFile);
    const int32_t lineCount = source->countLines(messages);
    if (lineCount < 0) return failed(w, qm::StopReason::Error);
    if (!indexed && !qm::allocateRunAntArrays(w, lineCount)) {
        messages.showMessage(w.generalized ? qm::MsgGenAntsMemory : qm::MsgBWAntsMemory, qm::BoxType::Error);
        return failed(w, qm::StopReason::Error);
    }
    const int32_t antCount = qm::readAnts(w, *source, lineCount, true);
    if (antCount < 0) return failed(w, qm::StopReason::Error);
    qm::resetCounters(w, antCount, 0.0);
    if (antCount == 0) {
        messages.showMessage(qm::MsgNoAnts, qm::BoxType::Error);
        return failed(w, qm::StopReason::NoAnts);
    }

    const auto start = std::chrono::steady_clock::now();
    qm::runStepLoop(w);
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    w.idle = 1;
    return reportOf(w, elapsed.count());
}

}  // namespace qmbench
