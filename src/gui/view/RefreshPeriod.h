#pragma once
// The state panel's refresh timer, set to a period in seconds (0: no refresh). It is started
// only while a run hides the state numbers; a running timer keeps its phase.

#include <cstdint>

#include <QTimer>

inline void applyRefreshPeriod(QTimer& timer, int32_t seconds, bool numbersHiddenInRun) {
    if (seconds == 0) {
        timer.stop();
        return;
    }
    timer.setInterval(seconds * 1000);
    if (numbersHiddenInRun && !timer.isActive()) timer.start();
}
