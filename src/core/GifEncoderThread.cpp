#include "core/GifEncoderThread.h"

#include <algorithm>
#include <new>

namespace qm {

GifEncoderThread::~GifEncoderThread() { abandon(); }

GifError GifEncoderThread::start(const std::string& path, int32_t width, int32_t height,
                                 const std::vector<uint32_t>& colours, int32_t delayMs) {
    abandon();
    error_ = gif_.start(path, width, height, colours, delayMs);
    accepted_ = 0;
    if (error_ != GifError::None) return error_;
    stopping_ = false;
    worker_ = std::thread([this] { encode(); });
    return GifError::None;
}

GifError GifEncoderThread::addArgb(const uint32_t* pixels, int64_t pixelsPerRow, int32_t width, int32_t height) {
    std::vector<uint32_t> frame;
    {
        std::unique_lock lock(mutex_);
        if (!active()) return error_ != GifError::None ? error_ : GifError::NotStarted;
        changed_.wait(lock, [&] { return error_ != GifError::None || queued_.size() < MaxQueued; });
        if (error_ != GifError::None) return error_;
        if (width != gif_.width() || height != gif_.height()) return GifError::WrongFrameSize;
        if (!spare_.empty()) {
            frame = std::move(spare_.back());
            spare_.pop_back();
        }
    }
    try {
        frame.resize(static_cast<std::size_t>(int64_t{width} * height));
    } catch (const std::bad_alloc&) {
        std::lock_guard lock(mutex_);
        return error_ = GifError::OutOfMemory;
    }
    for (int32_t y = 0; y < height; ++y)
        std::copy_n(pixels + y * pixelsPerRow, width, frame.begin() + int64_t{y} * width);
    std::lock_guard lock(mutex_);
    queued_.push_back(std::move(frame));
    ++accepted_;
    changed_.notify_all();
    return error_;
}

void GifEncoderThread::encode() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [&] { return stopping_ || !queued_.empty(); });
        if (queued_.empty()) return;
        std::vector<uint32_t> frame = std::move(queued_.front());
        queued_.pop_front();
        lock.unlock();
        const GifError e = gif_.addArgb(frame.data(), gif_.width(), gif_.width(), gif_.height());
        lock.lock();
        spare_.push_back(std::move(frame));
        if (e != GifError::None) {
            error_ = e;
            queued_.clear();
        }
        changed_.notify_all();
    }
}

void GifEncoderThread::stop() {
    if (!worker_.joinable()) return;
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    worker_.join();
}

GifError GifEncoderThread::finish() {
    if (!active()) return error_ != GifError::None ? error_ : GifError::NotStarted;
    stop();
    if (error_ != GifError::None) return error_;
    return error_ = gif_.finish();
}

void GifEncoderThread::abandon() {
    stop();
    gif_.abandon();
    queued_.clear();
}

}  // namespace qm
