#include "gui/window/StartClickGuard.h"

#include <QAbstractButton>
#include <QMouseEvent>

StartClickGuard::StartClickGuard(QAbstractButton& button) : button_(button) { button_.installEventFilter(this); }

StartClickGuard::~StartClickGuard() { button_.removeEventFilter(this); }

bool StartClickGuard::eventFilter(QObject*, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress) lastPress_ = static_cast<qint64>(static_cast<QMouseEvent*>(event)->timestamp());
    if (event->type() == QEvent::MouseButtonRelease)
        lastRelease_ = static_cast<qint64>(static_cast<QMouseEvent*>(event)->timestamp());
    return false;
}

void StartClickGuard::preparationStarts() {
    // A start by key or by program has no time stamp to measure from: nothing is guarded then.
    startRelease_ = lastRelease_;
    lastRelease_ = -1;
    lastPress_ = -1;
    preparationMs_ = -1;
    preparation_.start();
}

void StartClickGuard::preparationEnds() { preparationMs_ = preparation_.isValid() ? preparation_.elapsed() : -1; }

bool StartClickGuard::clickMadeDuringPreparation() {
    const qint64 press = lastPress_;
    lastPress_ = -1;  // a later click by key is not measured by this press
    if (press < 0 || startRelease_ < 0 || preparationMs_ < 0) return false;
    return press >= startRelease_ && press - startRelease_ <= preparationMs_;
}
