#pragma once
// Reads an extended RLE pattern back, independently of the writer: position line, header and
// body, with the line limit and the bounds checked on the way.

#include <cstdint>
#include <map>
#include <string>
#include <utility>

namespace qmtest {

struct DecodedPattern {
    int64_t left = 0, top = 0;  // Pos=<left>,<top>; the format's y grows downward
    int64_t generation = 0;
    int64_t width = 0, height = 0;
    std::string rule;
    int comments = 0;  // "#C" lines
    // Non-empty squares in the program's coordinates (Y up) and their states.
    std::map<std::pair<int64_t, int64_t>, uint32_t> squares;
};

// Empty string on success, otherwise what is wrong with the text.
std::string decodeRle(const std::string& text, DecodedPattern& out);

}  // namespace qmtest
