#pragma once
// One recording: takes the frames the window gives it (the main view as shown, or the world's
// whole painted area) and writes them; counts them and keeps the reason when writing failed.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QImage>
#include <QString>

#include "core/AreaAnimation.h"
#include "core/GifAnimation.h"
#include "core/GifEncoderThread.h"
#include "core/WholePicture.h"
#include "core/World.h"
#include "gui/recording/RecordingOptions.h"

class AnimationRecorder {
public:
    explicit AnimationRecorder(const qm::RecordingOptions& options);

    const qm::RecordingOptions& options() const { return options_; }

    // With frames every N steps: the step count of the next frame after `stepCount`, for the
    // run to pause at ("Max steps:" stays the run's own end).
    int64_t nextFrameStep(int64_t stepCount) const;

    // The main view as shown. The first frame fixes the size; a view resized later is cut or
    // filled with the background at its right and bottom. The run's colours (from the world
    // and the palette) make the colour table; other colours take their nearest.
    qm::GifError addView(const QImage& view, const qm::World& w, const qm::PicturePalette& palette);
    // The whole painted area, reduced as "Save whole picture..." reduces it, at a size fixed by
    // the first frame.
    qm::GifError addArea(const qm::World& w, const qm::PicturePalette& palette);
    // The frame the options ask for; `view` is read only when they ask for the main view.
    qm::GifError addFrame(const QImage& view, const qm::World& w, const qm::PicturePalette& palette);

    // Ends the recording (the command again, or the end of the run); the file gets its name.
    qm::GifError finish();

    bool failed() const { return error_ != qm::GifError::None; }
    qm::GifError error() const { return error_; }
    int64_t frameCount() const;
    // "Recording: 12 frames", for the caption or the state panel.
    QString statusText() const;
    // The message for a failure, naming the file and the reason; empty when none.
    std::string errorMessage() const;

private:
    qm::RecordingOptions options_;
    qm::GifEncoderThread view_;  // view frames come at the display's pace: encoded beside the run
    std::optional<qm::AreaAnimation> area_;
    QImage canvas_;  // a view frame of the first frame's size
    qreal viewRatio_ = 1;  // the first view frame's device pixel ratio
    qm::GifError error_ = qm::GifError::None;
};
