#pragma once
// Encodes pixel frames on a thread of its own: the caller only copies each frame, so a run that
// records every displayed frame keeps its speed. A failure is answered at the next call.

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/GifAnimation.h"

namespace qm {

class GifEncoderThread {
public:
    GifEncoderThread() = default;
    ~GifEncoderThread();  // an unfinished animation is abandoned
    GifEncoderThread(const GifEncoderThread&) = delete;
    GifEncoderThread& operator=(const GifEncoderThread&) = delete;

    // As GifAnimation::start, on the caller's thread.
    GifError start(const std::string& path, int32_t width, int32_t height, const std::vector<uint32_t>& colours,
                   int32_t delayMs);
    // Copies a frame of 0xAARRGGBB pixels for the encoder; waits only while it is a few frames
    // behind. The first failure so far, if any.
    GifError addArgb(const uint32_t* pixels, int64_t pixelsPerRow, int32_t width, int32_t height);
    // Encodes what is left and ends the file.
    GifError finish();
    void abandon();

    bool active() const { return worker_.joinable(); }
    int64_t frameCount() const { return accepted_; }  // frames taken, encoded or still queued
    int32_t width() const { return gif_.width(); }
    int32_t height() const { return gif_.height(); }

private:
    static constexpr std::size_t MaxQueued = 3;
    void encode();
    void stop();

    GifAnimation gif_;
    std::thread worker_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::vector<uint32_t>> queued_;
    std::vector<std::vector<uint32_t>> spare_;
    bool stopping_ = false;
    GifError error_ = GifError::None;
    int64_t accepted_ = 0;
};

}  // namespace qm
