#pragma once
// Whatever else wants to see the run at every presented frame (the timeline's samples, an
// animation's frames): called from the step hook after the state panel has drawn, with the
// world's counters published. A frame is rare next to the moves, so a plain list serves.

#include <functional>
#include <utility>
#include <vector>

class FrameObservers {
public:
    using Id = int;

    Id add(std::function<void()> call) {
        calls_.emplace_back(++lastId_, std::move(call));
        return lastId_;
    }
    void remove(Id id) {
        std::erase_if(calls_, [id](const auto& entry) { return entry.first == id; });
    }
    bool empty() const { return calls_.empty(); }
    void notify() const {
        // A copy: an observer may remove itself (a recording that fails stops).
        const auto calls = calls_;
        for (const auto& entry : calls) entry.second();
    }

private:
    std::vector<std::pair<Id, std::function<void()>>> calls_;
    Id lastId_ = 0;
};
