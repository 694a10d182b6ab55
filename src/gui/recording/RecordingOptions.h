#pragma once
// What "Record animation..." asks for, as a plain value.

#include <cstdint>
#include <string>

#include "core/AreaAnimation.h"
#include "core/GifAnimation.h"

namespace qm {

enum class FrameTaking { EveryDisplayedFrame, EveryNSteps };
enum class RecordedPicture { MainView, WholeArea };

struct RecordingOptions {
    std::string fileName;  // ends in .gif
    FrameTaking taking = FrameTaking::EveryDisplayedFrame;
    int64_t everySteps = 1000;  // with EveryNSteps: a frame at every multiple of it
    RecordedPicture picture = RecordedPicture::MainView;
    int32_t delayMs = DefaultGifDelayMs;
    int32_t areaSide = DefaultAnimationSide;  // WholeArea: the longest side of the first frame
};

}  // namespace qm
