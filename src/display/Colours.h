#pragma once
// Colours: 32-bit colour references with red in the low byte, green in the second and blue in
// the third byte (0xFF0000 is blue). No toolkit dependency.

#include <array>
#include <cstdint>

namespace qm {

using ColourRef = uint32_t;

constexpr ColourRef rgb(uint32_t red, uint32_t green, uint32_t blue) {
    return (red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16);
}
constexpr uint32_t redOf(ColourRef c) { return c & 0xFF; }
constexpr uint32_t greenOf(ColourRef c) { return (c >> 8) & 0xFF; }
constexpr uint32_t blueOf(ColourRef c) { return (c >> 16) & 0xFF; }
// 0xAARRGGBB pixel of a 32-bit image for a colour reference: the three colour bytes reversed,
// which a byte swap does in one instruction (the painters convert a colour every move).
constexpr uint32_t toArgb(ColourRef c) { return 0xFF000000u | (__builtin_bswap32(c) >> 8); }
static_assert(toArgb(0x00563412u) == 0xFF123456u && toArgb(0xAB563412u) == 0xFF123456u);

inline constexpr ColourRef DefaultViewBackground = 0xDFEFEF;
inline constexpr ColourRef DefaultEyeBackground = 0xBFEFEF;
inline constexpr ColourRef EyeFrameColour = 0xEFFFFF;
inline constexpr ColourRef White = 0xFFFFFF;
inline constexpr ColourRef Black = 0x000000;

// Colour of state i of n in spectrum 1-4 (any other number selects spectrum 1).
ColourRef spectrumColour(int n, int i, int spectrum);

// Indexed by a generalized cell value: 0 (never visited) and states 0-63 stored as 1-64.
using StateColourTable = std::array<ColourRef, 65>;

// First activation: entry i = spectrum 2 colour of state i of 64, then entry `states` white.
void fillInitialStateColours(StateColourTable& table, int states);
// Settings rebuild: entries 1..n = states 0..n-1 of the spectrum, entry 0 = view background.
void rebuildStateColours(StateColourTable& table, int n, int spectrum, ColourRef viewBackground);

}  // namespace qm
