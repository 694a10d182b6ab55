#include "gui/recording/RecordingCommands.h"

#include <optional>

#include <QAction>
#include <QFileInfo>

#include "gui/Dialogs.h"
#include "gui/recording/AnimationRecorder.h"
#include "gui/recording/RecordAnimationDialog.h"

RecordingCommands::RecordingCommands(Collaborators parts, QAction& command)
    : parts_(std::move(parts)), command_(command) {
    command_.setText(QString::fromLatin1(RecordAnimationCaption));
}

RecordingCommands::~RecordingCommands() {
    if (!recorder_) return;
    std::unique_ptr<AnimationRecorder> recorder = std::move(recorder_);
    drop();
    recorder->finish();  // the window closes: no box any more, the file keeps what it has
}

void RecordingCommands::toggle() {
    if (recorder_) stop();
    else start();
}

void RecordingCommands::start() {
    RecordAnimationDialog dialog(
        lastOptions_,
        [this](const QString& current) -> std::optional<QString> {
            if (!current.isEmpty()) lastDir_ = QFileInfo(current).absolutePath();
            return parts_.dialogs.saveFileName(QString::fromLatin1(AnimationFileFilter), QStringLiteral("gif"),
                                               lastDir_);
        },
        parts_.dialogParent);
    parts_.dialogs.showModal(dialog);
    if (dialog.result() != QDialog::Accepted) return;
    lastOptions_ = dialog.options();
    recorder_ = std::make_unique<AnimationRecorder>(lastOptions_);
    lastFrameStep_ = -1;
    if (lastOptions_.taking == qm::FrameTaking::EveryDisplayedFrame) {
        observer_ = parts_.frameObservers.add([this] { takeFrame(); });
    } else {
        parts_.pausePoints.request(
            parts_.world, [this](int64_t stepCount) { return recorder_->nextFrameStep(stepCount); },
            [this] { takeFrame(); });
    }
    showState();
}

void RecordingCommands::takeFrame() {
    if (!recorder_) return;
    lastFrameStep_ = parts_.world.counters.stepCount;
    if (recorder_->addFrame(parts_.viewImage(), parts_.world, parts_.palette()) == qm::GifError::None) {
        showState();
        return;
    }
    // Writing failed: the recording is over, and the recorder has left no file behind.
    const std::string message = recorder_->errorMessage();
    drop();
    parts_.dialogs.showMessage(message, qm::BoxType::Error);
}

void RecordingCommands::runEnded(qm::StopReason reason) {
    if (!recorder_ || reason == qm::StopReason::UserBreak) return;
    // The run's final picture, unless the last frame already shows it.
    if (lastFrameStep_ != parts_.world.counters.stepCount) takeFrame();
    if (recorder_) stop();
}

void RecordingCommands::stop() {
    std::unique_ptr<AnimationRecorder> recorder = std::move(recorder_);
    drop();
    if (recorder->finish() != qm::GifError::None)
        parts_.dialogs.showMessage(recorder->errorMessage(), qm::BoxType::Error);
}

void RecordingCommands::drop() {
    recorder_.reset();
    if (observer_ != 0) parts_.frameObservers.remove(observer_);
    observer_ = 0;
    parts_.pausePoints.clear(parts_.world);
    showState();
}

void RecordingCommands::showState() {
    command_.setText(QString::fromLatin1(recorder_ ? StopRecordingCaption : RecordAnimationCaption));
    parts_.showStatus(recorder_ ? recorder_->statusText() : QString());
}
