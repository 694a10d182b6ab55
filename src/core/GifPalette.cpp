#include "core/GifPalette.h"

#include <algorithm>

namespace qm {
namespace {

int channel(uint32_t colour, int shift) { return static_cast<int>((colour >> shift) & 0xFF); }

int distance(uint32_t a, uint32_t b) {
    const int r = channel(a, 0) - channel(b, 0), g = channel(a, 8) - channel(b, 8);
    const int bl = channel(a, 16) - channel(b, 16);
    return r * r + g * g + bl * bl;
}

// The background keeps its exact colour; everything else comes from a 6 x 7 x 6 cube (the eye
// tells greens apart best, so green gets the extra level).
std::vector<uint32_t> fixedTable(uint32_t background) {
    std::vector<uint32_t> table{background};
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 7; ++g)
            for (int b = 0; b < 6; ++b)
                table.push_back(static_cast<uint32_t>(r * 51) | static_cast<uint32_t>(g * 255 / 6) << 8 |
                                static_cast<uint32_t>(b * 51) << 16);
    return table;
}

}  // namespace

GifPalette::GifPalette(const std::vector<uint32_t>& colours) {
    for (uint32_t c : colours) {
        const uint32_t colour = c & 0x00FFFFFFu;
        if (std::find(entries_.begin(), entries_.end(), colour) != entries_.end()) continue;
        if (entries_.size() == MaxEntries) {
            exact_ = false;
            break;
        }
        entries_.push_back(colour);
    }
    if (!exact_) entries_ = fixedTable(colours.front() & 0x00FFFFFFu);
    if (entries_.empty()) entries_.push_back(0);
}

uint8_t GifPalette::nearest(uint32_t colour) const {
    std::size_t best = 0;
    int bestDistance = distance(colour, entries_[0]);
    for (std::size_t i = 1; i < entries_.size() && bestDistance != 0; ++i) {
        const int d = distance(colour, entries_[i]);
        if (d < bestDistance) {
            best = i;
            bestDistance = d;
        }
    }
    return static_cast<uint8_t>(best);
}

uint8_t GifPalette::indexOf(uint32_t colour) const { return nearest(colour & 0x00FFFFFFu); }

uint8_t GifPalette::rememberArgb(uint32_t key, uint32_t slot) const {
    const uint32_t colour = __builtin_bswap32(key) >> 8;  // 0x..RRGGBB -> 0x00BBGGRR
    const uint8_t index = nearest(colour);
    cacheKeys_[slot] = key;
    cacheIndices_[slot] = index;
    return index;
}

}  // namespace qm
