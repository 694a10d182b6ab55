#include "headless/HeadlessRun.h"

#include <cstdio>
#include <memory>
#include <optional>
#include <vector>

#include "core/RunContinue.h"
#include "core/RunPausePoints.h"
#include "core/RunSetup.h"
#include "core/StepLoops.h"
#include "definitions/AntReader.h"
#include "core/MemoryBudget.h"
#include "core/RunSettings.h"
#include "definitions/LineReader.h"

namespace qmheadless {
namespace {

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

// "Max steps:" is held at or below the step maximum.
void setUserMaxSteps(qm::World& w, const RunOptions& o) {
    const int64_t wanted = o.maxSteps.value_or(w.limits.stepMax);
    w.limits.userMaxSteps = wanted > w.limits.stepMax ? w.limits.stepMax : wanted;
}

// Read as every reader reads: a regular file only, never waiting on a pipe.
std::string fileText(const std::string& path) {
    const std::optional<qm::FileBytes> file = qm::readRegularFile(path, INT64_MAX);
    return file ? file->bytes : std::string();
}

// Moves a world has made: whole steps and the ants of the step not yet counted.
int64_t movesSoFar(const qm::World& w) {
    return w.counters.stepCount * w.counters.antCount + w.resumeAnt;
}

// The loop, paused at every multiple of `every` steps; the seconds the loop itself took.
double runLoop(qm::World& w, int64_t every, const std::function<void()>& reached) {
    qm::RunPausePoints pauses;
    if (every > 0) pauses.request(w, [every](int64_t steps) { return (steps / every + 1) * every; }, reached);
    return pauses.run(w);
}

}  // namespace

qm::BoxResult StderrMessages::showMessage(const std::string& text, qm::BoxType, qm::BoxButtons) {
    std::string line = text;
    for (char& c : line)
        if (c == '\n') c = ' ';
    std::fprintf(stderr, "%s\n", line.c_str());
    return qm::BoxResult::Ok;
}

HeadlessSession::HeadlessSession(qm::MessageSink& messages, qm::EventPump& pump) : messages_(messages) {
    world.messages = &messages;
    world.pump = &pump;
}

bool HeadlessSession::prepare(const RunOptions& o) {
    return o.openWorld.empty() ? prepareFresh(o) : openWorld(o);
}

bool HeadlessSession::prepareFresh(const RunOptions& o) {
    qm::World& w = world;
    setMode(w, o.mode, o.states);
    const qm::AntMaxChoice choice = qm::antMaxChoiceOf(o.mode);
    const int32_t halfSize = qm::computeHalfSizes(choice)[static_cast<size_t>(o.memoryItem)];
    const qm::MemoryStatus memory = qm::queryMemoryStatus();
    const qm::RunLimitsFigures limits =
        qm::computeLimits(o.continueCompute, halfSize, choice, w.generalized, memory.total);
    w.limits.stepMax = limits.stepMax;
    w.limits.filledMax = limits.filledMax;
    w.limits.axisBound = limits.axisBound;
    w.limits.axisBoundNeg = -limits.axisBound;
    setUserMaxSteps(w, o);

    const bool indexed = o.mode != qm::RunMode::BlackWhite && o.mode != qm::RunMode::Generalized;
    if (indexed && !qm::allocateIndexedAntArrays(w, w.antMax)) {
        messages_.showMessage("ERROR: not enought memory.", qm::BoxType::Error);
        return false;
    }
    if (!qm::prepareFastGrid(w, halfSize)) {
        messages_.showMessage(qm::MsgGridMemory, qm::BoxType::Error);
        return false;
    }
    if (o.continueCompute &&
        !qm::createSparseStore(w, qm::sparseStoreDelta(o.memoryItem, memory.available, w.grid.byteSize))) {
        messages_.showMessage(qm::MsgStoreMemory, qm::BoxType::Error);
        return false;
    }
    w.idle = 0;

    const std::vector<std::string> defaultLines{"0,0,1"};
    std::unique_ptr<qm::DefinitionSource> source;
    if (o.antsFile.empty()) source = std::make_unique<qm::EditorSource>(defaultLines);
    else source = std::make_unique<qm::FileSource>(o.antsFile);
    const int32_t lineCount = source->countLines(messages_);
    if (lineCount < 0) return false;
    if (!indexed && !qm::allocateRunAntArrays(w, lineCount)) {
        messages_.showMessage(w.generalized ? qm::MsgGenAntsMemory : qm::MsgBWAntsMemory, qm::BoxType::Error);
        return false;
    }
    const int32_t antCount = qm::readAnts(w, *source, lineCount, true);
    if (antCount < 0) return false;
    qm::resetCounters(w, antCount, 0.0);
    if (antCount == 0) {
        w.lastStop = qm::StopReason::NoAnts;
        messages_.showMessage(qm::MsgNoAnts, qm::BoxType::Error);
        return false;
    }
    qm::WorldSettings& s = document.settings;
    s.mode = o.mode;
    s.states = o.states;
    s.memoryItem = o.memoryItem;
    s.continueCompute = o.continueCompute;
    document.definitionText = o.antsFile.empty() ? "0,0,1\n" : fileText(o.antsFile);
    fresh_ = true;
    return true;
}

bool HeadlessSession::openWorld(const RunOptions& o) {
    std::string error;
    std::unique_ptr<qm::LoadedWorld> loaded = qm::readWorldFile(o.openWorld, world, error);
    if (!loaded) {
        messages_.showMessage(qm::worldOpenMessage(o.openWorld, error), qm::BoxType::Error);
        return false;
    }
    qm::installWorld(world, *loaded);
    document = loaded->document;
    setUserMaxSteps(world, o);
    fresh_ = false;
    return true;
}

RunReport HeadlessSession::run(int64_t every, const std::function<void()>& reached) {
    qm::World& w = world;
    const int64_t movesBefore = fresh_ ? 0 : movesSoFar(w);
    if (!fresh_) {
        if (!qm::canContinue(w)) {
            // Nothing to do: report the world as it stands, stopped by what still holds (a limit
            // before "Max steps:", which only this session set), not by what stopped it once.
            const qm::StopReason limit = qm::limitThatHolds(w);
            if (limit != qm::StopReason::None) w.lastStop = limit;
            else if (w.counters.stepCount >= w.limits.userMaxSteps) w.lastStop = qm::StopReason::MaxSteps;
            RunReport r = reportOf(w, 0.0);
            r.movesBefore = r.moves;
            return r;
        }
        w.idle = 0;
    }
    const double seconds = runLoop(w, reached ? every : 0, reached);
    w.idle = 1;
    w.counters.elapsedDays += seconds / 86400.0;
    RunReport r = reportOf(w, seconds);
    r.movesBefore = movesBefore;
    return r;
}

bool HeadlessSession::save(const std::string& path) {
    const std::string reason = qm::saveWorldFile(path, world, document);
    if (reason.empty()) return true;
    messages_.showMessage(qm::worldSaveMessage(path, reason), qm::BoxType::Error);
    return false;
}

RunReport runHeadless(const RunOptions& o) {
    StderrMessages messages;
    IdlePump pump;
    HeadlessSession session(messages, pump);
    if (!session.prepare(o)) {
        RunReport r = reportOf(session.world, 0.0);
        r.stop = session.world.lastStop == qm::StopReason::NoAnts ? qm::StopReason::NoAnts : qm::StopReason::Error;
        return r;
    }
    RunReport report = session.run();
    if (!o.saveWorld.empty() && !session.save(o.saveWorld)) report.stop = qm::StopReason::Error;
    return report;
}

}  // namespace qmheadless
