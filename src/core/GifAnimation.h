#pragma once
// An animated GIF written frame by frame: a palette image of fixed size, each frame storing only
// the rectangle that changed since the one before, looping forever. The file appears under its
// name only when finished; a failure leaves no file and the same error from then on.

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "core/GifPalette.h"
#include "core/WholePicture.h"

namespace qm {

enum class GifError { None, CannotCreate, WriteFailed, WrongFrameSize, TooLarge, OutOfMemory, NotStarted };
const char* gifErrorText(GifError error);

inline constexpr int32_t MaxGifSide = 65535;
inline constexpr int32_t DefaultGifDelayMs = 50;

struct GifFileState;

class GifAnimation {
public:
    GifAnimation();
    ~GifAnimation();  // an unfinished animation is abandoned
    GifAnimation(const GifAnimation&) = delete;
    GifAnimation& operator=(const GifAnimation&) = delete;

    // Creates the temporary file beside `path` and writes the header. `colours`: colour
    // references every frame may show, background first. The delay is rounded to hundredths of a
    // second, the unit of the format.
    GifError start(const std::string& path, int32_t width, int32_t height, const std::vector<uint32_t>& colours,
                   int32_t delayMs);

    // One frame of the animation's size: square codes with their colours, or 0xAARRGGBB pixels.
    GifError addPicture(const Picture& picture);
    GifError addArgb(const uint32_t* pixels, int64_t pixelsPerRow, int32_t width, int32_t height);

    // Ends the file and gives it its name.
    GifError finish();
    // Drops the file; nothing is left behind.
    void abandon();

    bool active() const { return file_ != nullptr; }
    GifError error() const { return error_; }
    int64_t frameCount() const { return frames_; }
    int32_t width() const { return width_; }
    int32_t height() const { return height_; }
    const GifPalette* palette() const { return palette_.get(); }

private:
    GifError fail(GifError error);
    GifError checkFrame(int32_t width, int32_t height);
    GifError writeCurrent();

    std::unique_ptr<GifFileState> file_;
    std::unique_ptr<GifPalette> palette_;
    std::vector<uint8_t> current_, previous_;
    std::vector<uint32_t> codeColours_;  // the colours codeIndices_ was built for
    std::vector<uint8_t> codeIndices_;
    int32_t width_ = 0, height_ = 0;
    int32_t delayCs_ = 0;
    int64_t frames_ = 0;
    GifError error_ = GifError::None;
};

// Moves the finished temporary file to its name; false when it cannot.
bool replaceWithFinished(const std::string& temporaryPath, const std::string& path);

}  // namespace qm
