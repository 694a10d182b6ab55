#pragma once
// "Record animation...": starts a recording from the dialog, feeds it the frames (every
// presented frame of the run, or every N exact steps through the run's pause points), shows
// its frame count, and ends it by the same command or by the end of the run. A "Break" does not
// end it: "Continue run" goes on recording.

#include <functional>
#include <memory>

#include <QImage>
#include <QString>

#include "core/RunPausePoints.h"
#include "core/WholePicture.h"
#include "core/World.h"
#include "gui/recording/RecordingOptions.h"
#include "gui/view/FrameObservers.h"

class AnimationRecorder;
class Dialogs;
class QAction;
class QWidget;

inline constexpr const char* RecordAnimationCaption = "Record animation...";
inline constexpr const char* StopRecordingCaption = "Stop recording";
inline constexpr const char* AnimationFileFilter = "GIF animations (*.gif)|*.gif|All files (*.*)|*.*";

class RecordingCommands {
public:
    struct Collaborators {
        qm::World& world;
        FrameObservers& frameObservers;
        qm::RunPausePoints& pausePoints;
        Dialogs& dialogs;
        QWidget* dialogParent;
        std::function<const QImage&()> viewImage;            // the main view as shown
        std::function<qm::PicturePalette()> palette;         // the run's colours now
        std::function<void(const QString& status)> showStatus;  // empty when not recording
    };

    RecordingCommands(Collaborators parts, QAction& command);
    ~RecordingCommands();  // a recording still going is finished silently
    RecordingCommands(const RecordingCommands&) = delete;
    RecordingCommands& operator=(const RecordingCommands&) = delete;

    // The command: asks for a recording, or stops the one going.
    void toggle();
    // The run's end: a break keeps the recording for "Continue run", any other end finishes it
    // after a last frame of the run's final picture.
    void runEnded(qm::StopReason reason);
    bool recording() const { return recorder_ != nullptr; }

private:
    void start();
    void stop();
    void takeFrame();
    void drop();
    void showState();

    Collaborators parts_;
    QAction& command_;
    qm::RecordingOptions lastOptions_;  // what the dialog offers next time
    QString lastDir_;                   // where the file dialog opens
    std::unique_ptr<AnimationRecorder> recorder_;
    FrameObservers::Id observer_ = 0;
    int64_t lastFrameStep_ = -1;  // the step count of the last frame taken
};
