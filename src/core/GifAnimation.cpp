#include "core/GifAnimation.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <gif_lib.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <new>

namespace qm {

const char* gifErrorText(GifError error) {
    switch (error) {
        case GifError::None: return "no error";
        case GifError::CannotCreate: return "the file cannot be created";
        case GifError::WriteFailed: return "the file cannot be written";
        case GifError::WrongFrameSize: return "a frame does not have the size of the animation";
        case GifError::TooLarge: return "the frames would be too large for an animation";
        case GifError::OutOfMemory: return "not enough memory for the animation";
        case GifError::NotStarted: return "no frame was recorded";
    }
    return "unknown error";
}

struct GifFileState {
    std::string path;
    std::string temporaryPath;
    std::FILE* stream = nullptr;
    GifFileType* gif = nullptr;
    bool writeFailed = false;

    ~GifFileState() {
        if (gif) EGifCloseFile(gif, nullptr);
        if (stream) std::fclose(stream);
        if (!temporaryPath.empty()) ::unlink(temporaryPath.c_str());
    }
};

bool replaceWithFinished(const std::string& temporaryPath, const std::string& path) {
    return std::rename(temporaryPath.c_str(), path.c_str()) == 0;
}

namespace {

int writeBytes(GifFileType* gif, const GifByteType* bytes, int count) {
    auto* state = static_cast<GifFileState*>(gif->UserData);
    if (state->writeFailed) return 0;
    const std::size_t written = std::fwrite(bytes, 1, static_cast<std::size_t>(count), state->stream);
    if (written != static_cast<std::size_t>(count)) state->writeFailed = true;
    return static_cast<int>(written);
}

int tableSize(int entries) {
    int size = 2;
    while (size < entries) size *= 2;
    return size;
}

bool putLoopForever(GifFileType* gif) {
    static const GifByteType name[] = {'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0'};
    static const GifByteType forever[] = {1, 0, 0};
    return EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE) == GIF_OK &&
           EGifPutExtensionBlock(gif, sizeof name, name) == GIF_OK &&
           EGifPutExtensionBlock(gif, sizeof forever, forever) == GIF_OK && EGifPutExtensionTrailer(gif) == GIF_OK;
}

bool putHeader(GifFileType* gif, int32_t width, int32_t height, const GifPalette& palette) {
    ColorMapObject* map = GifMakeMapObject(tableSize(palette.size()), nullptr);
    if (!map) return false;
    for (int i = 0; i < map->ColorCount; ++i) {
        const uint32_t c = i < palette.size() ? palette.colourAt(i) : 0;
        map->Colors[i] = GifColorType{static_cast<GifByteType>(c), static_cast<GifByteType>(c >> 8),
                                      static_cast<GifByteType>(c >> 16)};
    }
    EGifSetGifVersion(gif, true);
    const bool ok = EGifPutScreenDesc(gif, width, height, 8, 0, map) == GIF_OK;
    GifFreeMapObject(map);
    return ok && putLoopForever(gif);
}

struct Rect {
    int32_t left = 0, top = 0, width = 0, height = 0;
};

// The smallest rectangle holding every pixel that differs; one pixel when none does, as a frame
// needs an image to carry its delay.
Rect changedRect(const std::vector<uint8_t>& now, const std::vector<uint8_t>& before, int32_t width, int32_t height) {
    const auto row = [&](const std::vector<uint8_t>& v, int32_t y) { return v.data() + int64_t{y} * width; };
    int32_t top = 0, bottom = height - 1;
    while (top < height && std::memcmp(row(now, top), row(before, top), static_cast<std::size_t>(width)) == 0) ++top;
    if (top == height) return Rect{0, 0, 1, 1};
    while (std::memcmp(row(now, bottom), row(before, bottom), static_cast<std::size_t>(width)) == 0) --bottom;
    int32_t left = width, right = -1;
    for (int32_t y = top; y <= bottom; ++y) {
        const uint8_t* a = row(now, y);
        const uint8_t* b = row(before, y);
        int32_t x = 0;
        while (x < left && a[x] == b[x]) ++x;
        left = std::min(left, x);
        x = width - 1;
        while (x > right && a[x] == b[x]) --x;
        right = std::max(right, x);
    }
    return Rect{left, top, right - left + 1, bottom - top + 1};
}

}  // namespace

GifAnimation::GifAnimation() = default;
GifAnimation::~GifAnimation() = default;

GifError GifAnimation::fail(GifError error) {
    file_.reset();
    error_ = error;
    return error;
}

GifError GifAnimation::start(const std::string& path, int32_t width, int32_t height,
                             const std::vector<uint32_t>& colours, int32_t delayMs) {
    abandon();
    error_ = GifError::None;
    frames_ = 0;
    if (width <= 0 || height <= 0 || width > MaxGifSide || height > MaxGifSide) return fail(GifError::TooLarge);
    width_ = width;
    height_ = height;
    delayCs_ = std::clamp((std::max(delayMs, 0) + 5) / 10, 0, 65535);
    try {
        const std::size_t pixels = static_cast<std::size_t>(int64_t{width} * height);
        current_.assign(pixels, 0);
        previous_.assign(pixels, 0);
        palette_ = std::make_unique<GifPalette>(colours.empty() ? std::vector<uint32_t>{0} : colours);
    } catch (const std::bad_alloc&) {
        current_ = {};
        previous_ = {};
        return fail(GifError::OutOfMemory);
    }
    codeColours_.clear();
    auto state = std::make_unique<GifFileState>();
    state->path = path;
    std::string pattern = path + ".XXXXXX";
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0) return fail(GifError::CannotCreate);
    state->temporaryPath = pattern;
    ::fchmod(fd, 0644);  // what a file created the ordinary way gets; mkstemp gives 0600
    state->stream = ::fdopen(fd, "wb");
    if (!state->stream) {
        ::close(fd);
        return fail(GifError::CannotCreate);
    }
    file_ = std::move(state);
    int gifError = 0;
    file_->gif = EGifOpen(file_.get(), writeBytes, &gifError);
    if (!file_->gif) return fail(GifError::OutOfMemory);
    if (!putHeader(file_->gif, width, height, *palette_)) return fail(GifError::WriteFailed);
    return GifError::None;
}

GifError GifAnimation::checkFrame(int32_t width, int32_t height) {
    if (!file_) return error_ != GifError::None ? error_ : GifError::NotStarted;
    if (width != width_ || height != height_) return fail(GifError::WrongFrameSize);
    return GifError::None;
}

GifError GifAnimation::addPicture(const Picture& picture) {
    if (const GifError e = checkFrame(picture.width, picture.height); e != GifError::None) return e;
    if (codeColours_ != picture.colours) {
        codeColours_ = picture.colours;
        codeIndices_.resize(codeColours_.size());
        for (std::size_t code = 0; code < codeColours_.size(); ++code)
            codeIndices_[code] = palette_->indexOf(codeColours_[code]);
    }
    const std::size_t pixels = current_.size();
    const uint8_t* map = codeIndices_.data();
    if (picture.wide())
        for (std::size_t i = 0; i < pixels; ++i) current_[i] = map[picture.wideCodes[i]];
    else
        for (std::size_t i = 0; i < pixels; ++i) current_[i] = map[picture.narrowCodes[i]];
    return writeCurrent();
}

GifError GifAnimation::addArgb(const uint32_t* pixels, int64_t pixelsPerRow, int32_t width, int32_t height) {
    if (const GifError e = checkFrame(width, height); e != GifError::None) return e;
    uint8_t* out = current_.data();
    // Every pixel through the palette's cache: its hits are predictable where a test for a run of
    // one colour is not, as squares of several colours alternate along a row.
    const GifPalette& palette = *palette_;
    for (int32_t y = 0; y < height; ++y) {
        const uint32_t* in = pixels + y * pixelsPerRow;
        for (int32_t x = 0; x < width; ++x) *out++ = palette.indexOfArgb(in[x]);
    }
    return writeCurrent();
}

GifError GifAnimation::writeCurrent() {
    const Rect r = frames_ == 0 ? Rect{0, 0, width_, height_} : changedRect(current_, previous_, width_, height_);
    GraphicsControlBlock control{DISPOSE_DO_NOT, false, delayCs_, NO_TRANSPARENT_COLOR};
    GifByteType extension[4];
    EGifGCBToExtension(&control, extension);
    GifFileType* gif = file_->gif;
    bool ok = EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, sizeof extension, extension) == GIF_OK &&
              EGifPutImageDesc(gif, r.left, r.top, r.width, r.height, false, nullptr) == GIF_OK;
    for (int32_t y = 0; ok && y < r.height; ++y)
        ok = EGifPutLine(gif, current_.data() + int64_t{r.top + y} * width_ + r.left, r.width) == GIF_OK;
    if (!ok || file_->writeFailed) return fail(GifError::WriteFailed);
    current_.swap(previous_);
    ++frames_;
    return GifError::None;
}

GifError GifAnimation::finish() {
    if (!file_) return error_ != GifError::None ? error_ : GifError::NotStarted;
    GifFileState& f = *file_;
    const bool closed = EGifCloseFile(f.gif, nullptr) == GIF_OK;
    f.gif = nullptr;
    const bool flushed = std::fflush(f.stream) == 0 && ::fsync(::fileno(f.stream)) == 0;
    const bool shut = std::fclose(f.stream) == 0;
    f.stream = nullptr;
    if (!closed || f.writeFailed || !flushed || !shut) return fail(GifError::WriteFailed);
    if (!replaceWithFinished(f.temporaryPath, f.path)) return fail(GifError::CannotCreate);
    f.temporaryPath.clear();
    file_.reset();
    return GifError::None;
}

void GifAnimation::abandon() { file_.reset(); }

}  // namespace qm
