#pragma once
// The painted area as an extended RLE pattern, the exchange format of cellular-automaton tools.
// The format is described in docs/RLE_EXPORT.md.

#include <string>

#include "core/PaintedArea.h"
#include "core/World.h"

namespace qm {

inline constexpr std::size_t RleLineLimit = 70;

// The whole pattern text: position line, ant comments, header, rows, "!".
std::string rlePattern(const World& w, const SquareBox& area);

// Writes rlePattern(w, paintedArea(w)) to `path` as every writer replaces a file (SafeFile.h).
// Empty on success, else the reason.
std::string writeRle(const World& w, const std::string& path);

// Letters of one state in multi-state patterns: "." for 0, "A".."X" for 1-24, then "pA".."pX",
// "qA".. for the higher ones.
std::string rleStateTag(uint32_t state);

}  // namespace qm
