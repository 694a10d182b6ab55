#include "display/Colours.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <span>

namespace qm {

namespace {

struct Node {
    double red, green, blue;
};

struct Spectrum {
    std::span<const Node> nodes;
    double bias;
};

constexpr Node Red{255, 0, 0}, Orange{255, 127, 0}, Yellow{255, 255, 0}, Green{0, 255, 0},
    Blue{0, 0, 255}, Magenta{255, 0, 255}, BlackNode{0, 0, 0};

constexpr Node Spectrum1Nodes[] = {Red, Orange, Yellow, Green, Blue, Magenta};
constexpr Node Spectrum2Nodes[] = {Yellow, Orange, Red, Green, Blue, Magenta, BlackNode};
constexpr Node Spectrum3Nodes[] = {Blue, Green, Yellow, Red};

Spectrum spectrumNodes(int spectrum) {
    switch (spectrum) {
    case 2: return {Spectrum2Nodes, 0.49};
    case 3: return {Spectrum3Nodes, 0.49};
    default: return {Spectrum1Nodes, 0.5};
    }
}

uint32_t channel(double x, double lo, double from, double to, double bias) {
    return static_cast<uint32_t>((x - lo) * (to - from) + from + bias);
}

ColourRef interpolated(int n, int i, const Spectrum& spectrum) {
    const int last = static_cast<int>(spectrum.nodes.size()) - 1;
    // A single state has nowhere to go: it keeps the first node.
    double x = n > 1 ? static_cast<double>(i) * last / (n - 1) : 0.0;
    // States outside 0..n-1 take the nearest end of the spectrum rather than reading past it.
    x = std::clamp(x, 0.0, static_cast<double>(last));
    const double lo = std::trunc(x);
    const double hi = std::ceil(x);
    const Node& a = spectrum.nodes[static_cast<std::size_t>(lo)];
    const Node& b = spectrum.nodes[static_cast<std::size_t>(hi)];
    return rgb(channel(x, lo, a.red, b.red, spectrum.bias),
               channel(x, lo, a.green, b.green, spectrum.bias),
               channel(x, lo, a.blue, b.blue, spectrum.bias));
}

ColourRef greyRamp(int n, int i) {
    const double step = n > 0 ? 160.0 / n : 0.0;
    const auto v = static_cast<uint32_t>(std::clamp(i * step + 65 + 0.5, 0.0, 255.0));
    return rgb(v, v, v);
}

}  // namespace

ColourRef spectrumColour(int n, int i, int spectrum) {
    if (spectrum == 4) return greyRamp(n, i);
    return interpolated(n, i, spectrumNodes(spectrum));
}

void fillInitialStateColours(StateColourTable& table, int states) {
    for (int i = 0; i < 64; ++i) table[i] = spectrumColour(64, i, 2);
    table[64] = Black;
    if (states >= 0 && states < static_cast<int>(table.size())) table[states] = White;
}

void rebuildStateColours(StateColourTable& table, int n, int spectrum, ColourRef viewBackground) {
    const int entries = static_cast<int>(table.size());
    // State i is stored as i + 1, so 64 states need the table's 65th entry.
    for (int i = 0; i < n && i + 1 < entries; ++i) table[i + 1] = spectrumColour(n, i, spectrum);
    table[0] = viewBackground;
}

}  // namespace qm
