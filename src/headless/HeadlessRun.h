#pragma once
// A run through the program's own core, reader and limits, with no-op display hooks: a fresh
// run from the options, or an opened world continued. Shared by the benchmark and the batch run.

#include <cstdint>
#include <functional>
#include <string>

#include "headless/RunOptions.h"
#include "headless/RunReport.h"
#include "core/World.h"
#include "core/WorldFile.h"

namespace qmheadless {

// Every message of a run as one line on standard error.
class StderrMessages final : public qm::MessageSink {
public:
    qm::BoxResult showMessage(const std::string& text, qm::BoxType, qm::BoxButtons) override;
};

// Nothing to serve: no window.
class IdlePump : public qm::EventPump {
public:
    void processEvents() override {}
    bool frameDue() override { return false; }
};

class HeadlessSession {
public:
    HeadlessSession(qm::MessageSink& messages, qm::EventPump& pump);

    // A fresh run set up from the options, or the world of --open-world opened. False when that
    // failed; the problem went to the message sink.
    bool prepare(const RunOptions& options);
    // Runs the loop (unless the world cannot go on: "Max steps:" or a limit still holds) and
    // reports; the rate counts the moves of this session only. With `every` > 0 the loop pauses
    // at every step count that is a multiple of it, short of the last, for `reached` (whose
    // time the rate does not count).
    RunReport run(int64_t every = 0, const std::function<void()>& reached = {});
    // Writes the world as it stands; false after the problem went to the message sink.
    bool save(const std::string& path);
    // True for a run set up from the options, false for an opened world.
    bool fresh() const { return fresh_; }

    qm::World world;
    qm::WorldDocument document;

private:
    bool prepareFresh(const RunOptions& options);
    bool openWorld(const RunOptions& options);
    qm::MessageSink& messages_;
    bool fresh_ = true;
};

RunReport runHeadless(const RunOptions& options);

}  // namespace qmheadless
