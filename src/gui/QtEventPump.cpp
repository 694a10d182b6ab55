#include "gui/QtEventPump.h"

#include <QCoreApplication>
#include <QThread>

QtEventPump::QtEventPump(const qm::World& world) : world_(world) { lastFrame_.start(); }

void QtEventPump::processEvents() {
    if (beforeEvents) beforeEvents();
    QCoreApplication::processEvents();
    if (runPaused()) QThread::msleep(PausedSleepMilliseconds);
}

bool QtEventPump::frameDue() {
    if (lastFrame_.elapsed() < framePeriodMilliseconds) return false;
    lastFrame_.restart();
    return true;
}
