#include "gui/recording/AnimationRecorder.h"

#include <algorithm>

#include <QPainter>

#include "display/Colours.h"

AnimationRecorder::AnimationRecorder(const qm::RecordingOptions& options) : options_(options) {}

int64_t AnimationRecorder::nextFrameStep(int64_t stepCount) const {
    const int64_t every = std::max<int64_t>(options_.everySteps, 1);
    return (stepCount / every + 1) * every;
}

qm::GifError AnimationRecorder::addView(const QImage& view, const qm::World& w, const qm::PicturePalette& palette) {
    if (failed()) return error_;
    const QImage frame = view.format() == QImage::Format_RGB32 || view.format() == QImage::Format_ARGB32
                             ? view
                             : view.convertToFormat(QImage::Format_RGB32);
    if (!view_.active()) {
        if (frame.isNull()) return error_ = qm::GifError::WrongFrameSize;
        // The view shows a square its ant left in white, which the whole picture does not.
        std::vector<uint32_t> colours = qm::pictureColours(w, palette);
        if (std::find(colours.begin(), colours.end(), qm::White) == colours.end()) colours.push_back(qm::White);
        error_ = view_.start(options_.fileName, frame.width(), frame.height(), colours, options_.delayMs);
        viewRatio_ = frame.devicePixelRatio();
        if (failed()) return error_;
    }
    const QImage* source = &frame;
    if (frame.width() != view_.width() || frame.height() != view_.height()) {
        if (canvas_.isNull()) canvas_ = QImage(view_.width(), view_.height(), QImage::Format_RGB32);
        // At the first frame's pixel ratio: a frame drawn at another (the BMP export draws the view
        // at 1 on a high-density screen) keeps its size in widget pixels.
        canvas_.setDevicePixelRatio(viewRatio_);
        canvas_.fill(qm::toArgb(palette.background));
        QPainter painter(&canvas_);
        painter.drawImage(0, 0, frame);
        painter.end();
        source = &canvas_;
    }
    error_ = view_.addArgb(reinterpret_cast<const uint32_t*>(source->constBits()), source->bytesPerLine() / 4,
                           source->width(), source->height());
    return error_;
}

qm::GifError AnimationRecorder::addArea(const qm::World& w, const qm::PicturePalette& palette) {
    if (failed()) return error_;
    if (!area_)
        area_.emplace(options_.fileName, qm::AreaFrames::following(options_.areaSide), palette, options_.delayMs);
    area_->setPalette(palette);  // the window's colours may have changed since
    return error_ = area_->add(w);
}

qm::GifError AnimationRecorder::addFrame(const QImage& view, const qm::World& w, const qm::PicturePalette& palette) {
    return options_.picture == qm::RecordedPicture::WholeArea ? addArea(w, palette) : addView(view, w, palette);
}

qm::GifError AnimationRecorder::finish() {
    if (failed()) return error_;
    if (area_) error_ = area_->finish();
    else if (view_.active()) error_ = view_.finish();
    else error_ = qm::GifError::NotStarted;  // stopped before any frame: nothing to write
    return error_;
}

int64_t AnimationRecorder::frameCount() const { return area_ ? area_->gif().frameCount() : view_.frameCount(); }

QString AnimationRecorder::statusText() const {
    const int64_t frames = frameCount();
    return QStringLiteral("Recording: %1 frame%2").arg(frames).arg(frames == 1 ? QString() : QStringLiteral("s"));
}

std::string AnimationRecorder::errorMessage() const {
    if (!failed()) return {};
    return "The animation could not be written to " + options_.fileName + " (" + qm::gifErrorText(error_) + ")";
}
