#include "core/RleWriter.h"

#include "core/SafeFile.h"

#include <algorithm>
#include <vector>

namespace qm {

std::string rleStateTag(uint32_t state) {
    if (state == 0) return ".";
    if (state <= 24) return std::string(1, static_cast<char>('A' + state - 1));
    const uint32_t above = state - 25;
    return std::string{static_cast<char>('p' + above / 24), static_cast<char>('A' + above % 24)};
}

namespace {

bool twoStates(const World& w) { return !w.generalized; }

// Turn letters of states 0..N-1: bit s of the program clear turns right.
std::string turnLetters(uint64_t program, int32_t states) {
    std::string letters;
    for (int32_t s = 0; s < states && s < 64; ++s) letters += ((program >> s) & 1u) ? 'L' : 'R';
    return letters;
}

int32_t patternStates(const World& w) { return std::clamp(w.states, 2, 64); }

bool antsListed(const World& w) {
    const int32_t n = w.counters.antCount;
    if (n <= 0 || !w.antPos || n > w.antPosCapacity) return false;
    if (w.generalized) return w.antDir && w.antProgram;
    return w.antMaxMode == AntMaxMode::BlackWhite ? w.antDir != nullptr : w.antColour != nullptr;
}

uint8_t directionCode(const World& w, int32_t ant) {
    if (w.generalized) return static_cast<uint8_t>(w.antDir[ant] + 1);
    return w.antMaxMode == AntMaxMode::BlackWhite ? w.antDir[ant] : directionOf(w.antColour[ant]);
}

std::string directionText(uint8_t code) {
    static const char* const letters[] = {"R (X+)", "B (Y-)", "L (X-)", "T (Y+)"};
    if (code >= 1 && code <= 4) return letters[code - 1];
    return "code " + std::to_string(code);
}

// The rule: Langton's ant when every ant turns the same way on the same state.
struct RuleText {
    std::string name;
    std::string explanation;  // empty when the name says it all
};

RuleText ruleOf(const World& w) {
    if (!w.generalized) return {"LangtonsAnt_RL", {}};
    const int32_t n = patternStates(w);
    if (antsListed(w)) {
        const std::string first = turnLetters(w.antProgram[0], n);
        bool shared = true;
        for (int32_t i = 1; i < w.counters.antCount && shared; ++i) shared = turnLetters(w.antProgram[i], n) == first;
        if (shared) return {"LangtonsAnt_" + first, {}};
    }
    return {"GeneralizedAnts_" + std::to_string(n) + "states",
            "rule: generalized ants whose turn programs differ, " + std::to_string(n) +
                " states; each ant's turns are listed with it"};
}

// Appends `text` as "#C" lines of at most RleLineLimit characters.
void appendComment(std::string& out, const std::string& text) {
    const std::size_t room = RleLineLimit - 3;
    std::size_t at = 0;
    do {
        std::size_t take = std::min(room, text.size() - at);
        if (at + take < text.size()) {
            const std::size_t space = text.rfind(' ', at + take);
            if (space != std::string::npos && space > at) take = space - at;
        }
        out += "#C " + text.substr(at, take) + "\n";
        at += take;
        while (at < text.size() && text[at] == ' ') ++at;
    } while (at < text.size());
}

void appendAnts(std::string& out, const World& w) {
    if (!antsListed(w)) return;
    const int32_t n = patternStates(w);
    for (int32_t i = 0; i < w.counters.antCount; ++i) {
        std::string line = "ant " + std::to_string(i + 1) + ": X=" + std::to_string(w.antPos[i].x) +
                           " Y=" + std::to_string(w.antPos[i].y) + " facing " + directionText(directionCode(w, i));
        if (w.generalized) line += " turns " + turnLetters(w.antProgram[i], n);
        appendComment(out, line);
    }
}

// Rows of the body, wrapped at the line limit between whole runs.
class BodyWriter {
public:
    explicit BodyWriter(std::string& out) : out_(out) {}
    void run(int64_t count, const std::string& tag) {
        if (count <= 0) return;
        token(count > 1 ? std::to_string(count) + tag : tag);
    }
    void finish() {
        token("!");
        out_ += '\n';
    }

private:
    void token(const std::string& text) {
        if (line_ + text.size() > RleLineLimit) {
            out_ += '\n';
            line_ = 0;
        }
        out_ += text;
        line_ += text.size();
    }
    std::string& out_;
    std::size_t line_ = 0;
};

struct StoredSquare {
    int32_t x, y;
    uint32_t code;
};

// Store elements in row order: Y falling, then X rising.
std::vector<StoredSquare> storeInRowOrder(const World& w) {
    std::vector<StoredSquare> squares;
    forEachStoredSquare(w, [&](int32_t x, int32_t y, uint32_t code) { squares.push_back({x, y, code}); });
    std::sort(squares.begin(), squares.end(), [](const StoredSquare& a, const StoredSquare& b) {
        return a.y != b.y ? a.y > b.y : a.x < b.x;
    });
    return squares;
}

// One row at a time, fed its non-empty squares from left to right; empty squares between and
// before them become runs, those after the last are left out, blank rows are counted.
class RowEncoder {
public:
    RowEncoder(BodyWriter& body, bool plain) : body_(body), plain_(plain) {}
    void startRow(int64_t left) {
        next_ = left;
        runState_ = 0;
        runLength_ = 0;
    }
    void square(int64_t x, uint32_t state) {
        if (state == 0) return;
        if (x != next_ || state != runState_) {
            flush();
            if (x > next_) {
                rowEnds();
                body_.run(x - next_, tagOf(0));
            }
            runState_ = state;
        }
        ++runLength_;
        next_ = x + 1;
    }
    void endRows(int64_t count) {
        flush();
        pendingRowEnds_ += count;
    }
    void finish() { body_.finish(); }

private:
    std::string tagOf(uint32_t state) const { return plain_ ? std::string(state ? "o" : "b") : rleStateTag(state); }
    void rowEnds() {
        body_.run(pendingRowEnds_, "$");
        pendingRowEnds_ = 0;
    }
    void flush() {
        if (runLength_ == 0) return;
        rowEnds();
        body_.run(runLength_, tagOf(runState_));
        runLength_ = 0;
    }
    BodyWriter& body_;
    bool plain_;
    int64_t next_ = 0;
    uint32_t runState_ = 0;
    int64_t runLength_ = 0;
    int64_t pendingRowEnds_ = 0;
};

void appendBody(std::string& out, const World& w, const SquareBox& area) {
    const std::vector<StoredSquare> stored = storeInRowOrder(w);
    const bool plain = twoStates(w);
    // Two-state patterns paint every code; multi-state ones show state 0 as empty.
    auto stateOf = [&](uint32_t code) -> uint32_t { return plain ? (code != 0 ? 1u : 0u) : (code > 1 ? code - 1 : 0u); };
    BodyWriter body(out);
    RowEncoder rows(body, plain);

    // Grid columns and rows inside the area; rows without grid squares or stored ones are only
    // counted, so a store far away costs nothing per blank row or column.
    const int32_t r = w.grid.halfSize;
    const bool grid = w.grid.exists();
    const int32_t gx0 = std::max(area.minX, -r), gx1 = std::min(area.maxX, r);
    const int32_t gy0 = std::max(area.minY, -r), gy1 = std::min(area.maxY, r);
    const bool gridColumns = grid && gx0 <= gx1;

    std::size_t next = 0;
    int64_t row = area.maxY;
    while (row >= area.minY) {
        while (next < stored.size() && stored[next].y > row) ++next;  // beyond the area: none expected
        const bool gridRow = gridColumns && row >= gy0 && row <= gy1;
        const bool storedRow = next < stored.size() && stored[next].y == row;
        if (!gridRow && !storedRow) {
            // Skip to the next row that can hold something.
            int64_t target = int64_t{area.minY} - 1;
            if (next < stored.size()) target = std::max<int64_t>(target, stored[next].y);
            if (gridColumns && row > gy1) target = std::max<int64_t>(target, gy1);
            rows.endRows(row - target);
            row = target;
            continue;
        }
        rows.startRow(area.minX);
        auto storedUpTo = [&](int64_t lastX) {
            while (next < stored.size() && stored[next].y == row && stored[next].x <= lastX) {
                rows.square(stored[next].x, stateOf(stored[next].code));
                ++next;
            }
        };
        if (gridRow) {
            storedUpTo(int64_t{gx0} - 1);
            for (int32_t x = gx0; x <= gx1; ++x) rows.square(x, stateOf(gridSquareCode(w, x, static_cast<int32_t>(row))));
        }
        storedUpTo(area.maxX);
        rows.endRows(1);
        --row;
    }
    rows.finish();
}

}  // namespace

std::string rlePattern(const World& w, const SquareBox& area) {
    std::string out = "#CXRLE Pos=" + std::to_string(area.minX) + "," + std::to_string(-int64_t{area.maxY}) +
                      " Gen=" + std::to_string(w.counters.stepCount) + "\n";
    const RuleText rule = ruleOf(w);
    appendComment(out, "Quillmarch pattern: X grows to the right, Y upward; the first row is Y=" +
                           std::to_string(area.maxY) + ", the first column X=" + std::to_string(area.minX) + ".");
    if (!rule.explanation.empty()) appendComment(out, rule.explanation);
    appendAnts(out, w);
    out += "x = " + std::to_string(area.width()) + ", y = " + std::to_string(area.height()) + ", rule = " + rule.name + "\n";
    appendBody(out, w, area);
    return out;
}

std::string writeRle(const World& w, const std::string& path) {
    const std::string text = rlePattern(w, paintedArea(w));
    return replaceFileContent(path, text.data(), text.size());
}

}  // namespace qm
