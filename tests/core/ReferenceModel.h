#pragma once
// A deliberately simple, independent model of the ants: a hash map of squares, no fast grid.

#include <cstdint>
#include <unordered_map>
#include <vector>

namespace qmtest {

struct RefAnt {
    int32_t x;
    int32_t y;
    int dir;  // 0 = X+, 1 = Y-, 2 = X-, 3 = Y+ (turning right adds 1)
    uint64_t program = 0xAAAAAAAAAAAAAAAAull;
};

class ReferenceModel {
public:
    explicit ReferenceModel(int states = 2) : states_(states) {}
    std::vector<RefAnt> ants;
    int64_t visited = 0;  // squares ever visited
    int64_t wraps = 0;    // state wrap-arounds

    void step() {
        for (RefAnt& a : ants) {
            int& cell = cells_[key(a.x, a.y)];  // 0 = never visited, else state + 1
            if (cell == 0) {
                cell = 1;
                ++visited;
            }
            const int state = cell - 1;
            const bool left = (a.program >> state) & 1u;
            if (++cell > states_) {
                cell = 1;
                ++wraps;
            }
            a.dir = (a.dir + (left ? 3 : 1)) & 3;
            const uint32_t ux = static_cast<uint32_t>(a.x), uy = static_cast<uint32_t>(a.y);
            switch (a.dir) {
                case 0: a.x = static_cast<int32_t>(ux + 1u); break;
                case 1: a.y = static_cast<int32_t>(uy - 1u); break;
                case 2: a.x = static_cast<int32_t>(ux - 1u); break;
                default: a.y = static_cast<int32_t>(uy + 1u); break;
            }
        }
    }
    // For two states: squares currently black (state 1).
    int64_t blackCount() const {
        int64_t n = 0;
        for (const auto& [k, v] : cells_) n += v == 2;
        return n;
    }
    int cellValue(int32_t x, int32_t y) const {
        auto it = cells_.find(key(x, y));
        return it == cells_.end() ? 0 : it->second;
    }
    const std::unordered_map<uint64_t, int>& cells() const { return cells_; }
    static uint64_t key(int32_t x, int32_t y) {
        return (static_cast<uint64_t>(static_cast<uint32_t>(x)) << 32) | static_cast<uint32_t>(y);
    }

private:
    int states_;
    std::unordered_map<uint64_t, int> cells_;
};

}  // namespace qmtest
