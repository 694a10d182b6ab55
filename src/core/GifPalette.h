#pragma once
// The colour table of an animation and the way any colour maps into it: the run's own colours
// when they are 256 or fewer, otherwise a fixed table that every colour takes its nearest from.

#include <array>
#include <cstdint>
#include <vector>

namespace qm {

class GifPalette {
public:
    static constexpr int MaxEntries = 256;

    // `colours`: colour references (red in the low byte) the frames show, background first.
    explicit GifPalette(const std::vector<uint32_t>& colours);

    bool exact() const { return exact_; }
    int size() const { return static_cast<int>(entries_.size()); }
    uint32_t colourAt(int index) const { return entries_[static_cast<std::size_t>(index)]; }

    // The entry of a colour reference: its own when present, else the nearest.
    uint8_t indexOf(uint32_t colour) const;
    // The same for a 0xAARRGGBB pixel; remembers recent pixels, as frames repeat few colours.
    uint8_t indexOfArgb(uint32_t pixel) const {
        const uint32_t key = (pixel & 0x00FFFFFFu) | 0x01000000u;
        const uint32_t slot = (key * 2654435761u) >> (32 - CacheBits);
        if (cacheKeys_[slot] == key) return cacheIndices_[slot];
        return rememberArgb(key, slot);
    }

private:
    static constexpr int CacheBits = 12;
    uint8_t nearest(uint32_t colour) const;
    uint8_t rememberArgb(uint32_t key, uint32_t slot) const;

    std::vector<uint32_t> entries_;
    bool exact_ = true;
    mutable std::array<uint32_t, 1u << CacheBits> cacheKeys_{};
    mutable std::array<uint8_t, 1u << CacheBits> cacheIndices_{};
};

}  // namespace qm
