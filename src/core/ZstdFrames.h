#pragma once
// One zstd frame written piece by piece, and read back into pieces of memory given in order: the
// grid's chunks are compressed where they lie and unpacked straight into place, with no copy of
// the whole.

#include <zstd.h>

#include <cstdint>
#include <vector>

#include "core/ByteStream.h"

namespace qm {

class ZstdFrameWriter {
public:
    ZstdFrameWriter(ByteWriter& out, int level) : out_(out), ctx_(ZSTD_createCCtx()) {
        if (!ctx_) return;
        ok_ = !ZSTD_isError(ZSTD_CCtx_setParameter(ctx_, ZSTD_c_compressionLevel, level)) &&
              !ZSTD_isError(ZSTD_CCtx_setParameter(ctx_, ZSTD_c_checksumFlag, 1));
        buffer_.resize(ZSTD_CStreamOutSize());
    }
    ~ZstdFrameWriter() { ZSTD_freeCCtx(ctx_); }
    ZstdFrameWriter(const ZstdFrameWriter&) = delete;
    ZstdFrameWriter& operator=(const ZstdFrameWriter&) = delete;

    void setSize(uint64_t bytes) {
        if (ok_) ok_ = !ZSTD_isError(ZSTD_CCtx_setPledgedSrcSize(ctx_, bytes));
    }
    void add(const void* data, std::size_t size) { pump(data, size, ZSTD_e_continue); }
    // False when anything failed since the start.
    bool finish() {
        pump(nullptr, 0, ZSTD_e_end);
        return ok_;
    }

private:
    void pump(const void* data, std::size_t size, ZSTD_EndDirective mode) {
        if (!ok_) return;
        ZSTD_inBuffer in{data, size, 0};
        for (;;) {
            ZSTD_outBuffer outBuffer{buffer_.data(), buffer_.size(), 0};
            const std::size_t left = ZSTD_compressStream2(ctx_, &outBuffer, &in, mode);
            if (ZSTD_isError(left)) {
                ok_ = false;
                return;
            }
            out_.raw(buffer_.data(), outBuffer.pos);
            const bool done = mode == ZSTD_e_end ? left == 0 : in.pos == in.size;
            if (done) return;
        }
    }
    ByteWriter& out_;
    ZSTD_CCtx* ctx_;
    std::vector<char> buffer_;
    bool ok_ = false;
};

// Reads a frame that must fill the pieces exactly: false from fill() when it is damaged or ends
// early, from finish() when anything is left over.
class ZstdFrameReader {
public:
    ZstdFrameReader(const uint8_t* frame, std::size_t size) : ctx_(ZSTD_createDCtx()), in_{frame, size, 0} {}
    ~ZstdFrameReader() { ZSTD_freeDCtx(ctx_); }
    ZstdFrameReader(const ZstdFrameReader&) = delete;
    ZstdFrameReader& operator=(const ZstdFrameReader&) = delete;

    // False when no memory was left for its context.
    bool ready() const { return ctx_ != nullptr; }
    [[nodiscard]] bool fill(void* target, std::size_t size) {
        ZSTD_outBuffer out{target, size, 0};
        while (out.pos < out.size)
            if (ended_ || !step(out)) return false;
        return true;
    }
    [[nodiscard]] bool finish() {
        uint8_t spare = 0;
        while (!ended_) {
            ZSTD_outBuffer out{&spare, 1, 0};
            if (!step(out) || out.pos != 0) return false;
        }
        return in_.pos == in_.size;
    }

private:
    bool step(ZSTD_outBuffer& out) {
        if (!ctx_) return false;
        const std::size_t inBefore = in_.pos;
        const std::size_t outBefore = out.pos;
        const std::size_t hint = ZSTD_decompressStream(ctx_, &out, &in_);
        if (ZSTD_isError(hint)) return false;
        if (hint == 0) ended_ = true;
        // Neither side moved: the data ran out.
        return hint == 0 || in_.pos != inBefore || out.pos != outBefore;
    }
    ZSTD_DCtx* ctx_;
    ZSTD_inBuffer in_;
    bool ended_ = false;
};

}  // namespace qm
