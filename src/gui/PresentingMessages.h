#pragma once
// The messages of a run as the window shows them: before a box appears (a limit reached, a
// failure), the state panel and the views are brought to the figures the run stopped with, so
// the box does not sit over the last frame's.

#include "gui/Dialogs.h"
#include "gui/QtEventPump.h"
#include "core/World.h"

class PresentingMessages final : public qm::MessageSink {
public:
    PresentingMessages(const qm::World& world, Dialogs& dialogs, QtEventPump& pump)
        : world_(world), dialogs_(dialogs), pump_(pump) {}

    qm::BoxResult showMessage(const std::string& text, qm::BoxType type, qm::BoxButtons buttons) override {
        if (world_.idle == 0) {
            world_.hooks.step(world_.hooks.context);
            if (pump_.beforeEvents) pump_.beforeEvents();
        }
        return dialogs_.showMessage(text, type, buttons);
    }

private:
    const qm::World& world_;
    Dialogs& dialogs_;
    QtEventPump& pump_;
};
