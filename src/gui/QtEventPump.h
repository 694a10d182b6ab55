#pragma once
// The step loops' window service: deliver pending events, and tell when a new frame is due.
// The events run on the loop's own thread, between two steps. Measured on two cores with the loop
// on a thread of its own instead (the window's thread serving every call out of the loop, and
// painting only once the loop had gone on): the default display gained 1% (median of 21 rounds,
// quartiles -4% to +12%), and "Show state both (slowest)" lost 2-5%. Each frame then paid two
// hand-overs between the threads (0.05-0.1 ms each), and the painting shared the second core
// with the X server.

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
