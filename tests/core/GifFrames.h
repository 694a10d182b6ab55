#pragma once
// An animated GIF read back with giflib's own reader, every frame composed onto the one before
// as a viewer shows it.

#include <cstdint>
#include <string>
#include <vector>

namespace qmtest {

struct GifRect {
    int32_t left = 0, top = 0, width = 0, height = 0;
};

struct DecodedGif {
    bool ok = false;
    int32_t width = 0, height = 0;
    bool loops = false;                       // the looping extension is present
    std::vector<std::vector<uint32_t>> frames;  // colour references, rows top to bottom
    std::vector<GifRect> stored;               // the rectangle each frame stores
    std::vector<int> delaysCs;
};

DecodedGif decodeGif(const std::string& path);

}  // namespace qmtest
