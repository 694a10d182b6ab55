#pragma once
// The step loops' window service: deliver pending events, and tell when a new frame is due.

#include <functional>

#include <QElapsedTimer>

#include "core/Platform.h"
#include "core/World.h"

class QtEventPump final : public qm::EventPump {
public:
    explicit QtEventPump(const qm::World& world);

    void processEvents() override;
    bool frameDue() override;

    // Runs before every event delivery: the surfaces ask for their screen update here, once
    // per served frame, instead of once per painted square.
    std::function<void()> beforeEvents;

    // The hand brake at 100 with a count holds the run; at count 0 the track bar has no effect.
    bool runPaused() const { return world_.trackBarPosition == 100 && world_.handBrakeCount != 0; }

    // At most one frame in this many milliseconds; tests present at every chance.
    int64_t framePeriodMilliseconds = qm::FramePeriodMilliseconds;

    // A paused run (hand brake at 100) sleeps this long per call instead of spinning a core.
    static constexpr unsigned long PausedSleepMilliseconds = 3;

private:
    const qm::World& world_;
    QElapsedTimer lastFrame_;
};
