#include "RleDecoder.h"
#include "TestSupport.h"

#include <cctype>
#include <cstdio>
#include <sstream>
#include <vector>

namespace qmtest {
std::string decodeRle(const std::string& text, DecodedPattern& out) {
    const std::vector<std::string> lines = linesOf(text);
    if (lines.empty()) return "no lines";
    long long left = 0, top = 0, gen = 0;
    if (std::sscanf(lines[0].c_str(), "#CXRLE Pos=%lld,%lld Gen=%lld", &left, &top, &gen) != 3)
        return "bad first line: " + lines[0];
    out.left = left;
    out.top = top;
    out.generation = gen;
    std::size_t i = 1;
    for (; i < lines.size() && lines[i].rfind("#", 0) == 0; ++i) {
        if (lines[i].rfind("#C", 0) != 0) return "unknown comment line: " + lines[i];
        if (lines[i].size() > 70) return "comment longer than 70: " + lines[i];
        ++out.comments;
    }
    if (i == lines.size()) return "no header";
    long long w = 0, h = 0;
    char rule[200] = {};
    if (std::sscanf(lines[i].c_str(), "x = %lld, y = %lld, rule = %199s", &w, &h, rule) != 3)
        return "bad header: " + lines[i];
    out.width = w;
    out.height = h;
    out.rule = rule;

    int64_t x = 0, y = 0, count = 0;
    bool ended = false;
    for (++i; i < lines.size() && !ended; ++i) {
        const std::string& line = lines[i];
        if (line.size() > 70) return "body line longer than 70: " + line;
        for (std::size_t k = 0; k < line.size() && !ended; ++k) {
            const char c = line[k];
            if (std::isdigit(static_cast<unsigned char>(c))) {
                count = count * 10 + (c - '0');
                continue;
            }
            const int64_t n = count == 0 ? 1 : count;
            count = 0;
            uint32_t state = 0;
            if (c == '!') {
                ended = true;
                continue;
            } else if (c == '$') {
                y += n;
                x = 0;
                continue;
            } else if (c == 'b' || c == '.') {
                state = 0;
            } else if (c == 'o') {
                state = 1;
            } else if (c >= 'A' && c <= 'X') {
                state = static_cast<uint32_t>(c - 'A' + 1);
            } else if (c >= 'p' && c <= 'y' && k + 1 < line.size() && line[k + 1] >= 'A' && line[k + 1] <= 'X') {
                state = static_cast<uint32_t>(24 * (c - 'p' + 1) + (line[k + 1] - 'A' + 1));
                ++k;
            } else {
                return std::string("unexpected character '") + c + "' in: " + line;
            }
            if (state != 0) {
                if (y >= h || x + n > w) return "square beyond the header's bounds in: " + line;
                for (int64_t j = 0; j < n; ++j) out.squares[{left + x + j, -(top + y)}] = state;
            }
            x += n;
            if (x > w) return "row longer than x in: " + line;
        }
    }
    if (!ended) return "no '!'";
    return {};
}

}  // namespace qmtest
