#pragma once
// A click on "Start" made while a run is being prepared (the hourglass: no events are processed)
// waits in the queue until the run's first event processing, where it would be taken as "Break".
// The guard tells such a click from one made once the run goes, by the times of the clicks.

#include <QElapsedTimer>
#include <QObject>

class QAbstractButton;

class StartClickGuard final : public QObject {
public:
    explicit StartClickGuard(QAbstractButton& button);
    ~StartClickGuard() override;
    StartClickGuard(const StartClickGuard&) = delete;
    StartClickGuard& operator=(const StartClickGuard&) = delete;

    void preparationStarts();  // the click just released starts a run
    void preparationEnds();
    // Whether the click being handled was pressed before the preparation ended; asks once.
    bool clickMadeDuringPreparation();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QAbstractButton& button_;
    qint64 lastPress_ = -1;    // time stamps of the button's mouse events (ms)
    qint64 lastRelease_ = -1;
    qint64 startRelease_ = -1;  // the release that started the run being prepared or run
    qint64 preparationMs_ = -1;
    QElapsedTimer preparation_;
};
