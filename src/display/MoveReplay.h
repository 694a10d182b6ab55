#pragma once
// A helper thread that draws the moves of a many-ant Langton run while the step loop goes on.
// The loop writes each move's turn result as a byte, one row of bytes per step, and the thread
// replays the moves from the ants' places and directions at the start of the session: where each
// square is, whether it was painted or cleared, and the ant's colour. It sets the view's square
// marks and draws the eye's pixels, the painting the loop itself paid for with every move. With a
// core to spare, a shown eye then costs the loop almost nothing.
//
// Sessions: the window's painter begins one after every call outside the loop (the image, the
// view or the colours may have changed), with the replay caught up. Before anything outside the
// loop looks at the marks or the eye image, the painter waits until the thread has replayed
// every move so far (`catchUp`), so the window sees exactly what drawing each move at once would
// have drawn. Everything here is plain data: no toolkit types, so it is tested headless.

#include <atomic>
#include <cstdint>
#include <optional>
#include <thread>
#include <vector>

#include "core/World.h"
#include "display/EyeMoveTarget.h"
#include "display/SquareMarks.h"

namespace qm {

class MoveReplay {
public:
    // What a session starts from.
    struct Session {
        int32_t antCount = 0;
        int32_t nextAnt = 0;  // the ant of the session's first move
        const AntPos* positions = nullptr;
        const uint32_t* antWords = nullptr;  // each ant's colour, its direction code in the top byte
        std::optional<SquareMarks> marks;    // column after column (indexed grids)
        std::optional<KeptSquareTables> eye;
    };

    // A row's byte of an ant that has not moved in its step yet.
    static constexpr uint8_t NotMoved = 0xFF;

    // `ringBytes`: the ring's size, a row of a byte per ant for each step (at least four rows).
    explicit MoveReplay(uint64_t ringBytes = uint64_t{4} << 20) : ringBytes_(ringBytes) {}
    ~MoveReplay();
    MoveReplay(const MoveReplay&) = delete;
    MoveReplay& operator=(const MoveReplay&) = delete;

    // With every move so far replayed: copies what the moves start from. Returns the row the
    // loop writes the session's first step into, at the index of each ant; the thread starts
    // with the first session.
    uint8_t* begin(const Session& session);
    // After a whole step: the row for the next one.
    uint8_t* nextRow();
    // Hands over the moves of the current row so far too, and waits until every move is
    // replayed; the thread then sleeps until more come.
    void catchUp();
    // After catchUp: the ant of the next move (0 when a step has just ended).
    int32_t nextAnt() const { return nextAnt_; }
    // Moves replayed so far, over all sessions.
    uint64_t movesReplayed() const { return consumed_.load(std::memory_order_acquire); }

private:
    void run();
    void unpark();
    void handOver(uint64_t moves);
    uint64_t rowsReplayed() const;
    // The session's moves up to `ant` of `row`, counted over all sessions.
    uint64_t movesBefore(uint64_t row, int64_t ant) const;
    template <bool Marks, bool Eye>
    void replayMoves(uint64_t count);
    uint8_t* rowAt(uint64_t row) { return ring_.data() + (row % ringRows_) * static_cast<size_t>(antCount_); }

    const uint64_t ringBytes_;
    std::vector<uint8_t> ring_;
    uint64_t ringRows_ = 0;

    // The loop's side: the row being written, where the session began, the moves handed over
    // (over all sessions) and at the session's start, and how often rows are handed over.
    uint64_t row_ = 0;
    uint64_t sessionRow_ = 0;
    int32_t sessionAnt_ = 0;
    uint64_t sessionMoves_ = 0;
    uint64_t handed_ = 0;
    uint64_t rowsPerHandOver_ = 1;
    int32_t nextAnt_ = 0;
    bool parked_ = false;  // the loop's own note that it let the thread sleep

    // The session as the thread advances it, move by move. `begin` writes it while the thread
    // replays nothing, and the thread reads it only while it replays moves handed over after.
    int32_t antCount_ = 0;
    uint64_t replayRow_ = 0;
    int32_t replayAnt_ = 0;
    std::vector<AntPos> positions_;
    std::vector<uint8_t> directions_;
    std::vector<uint32_t> argb_;
    std::optional<SquareMarks> marks_;
    std::optional<KeptSquareTables> eye_;

    // The two sides' counts of moves, on lines of their own.
    alignas(64) std::atomic<uint64_t> produced_{0};
    alignas(64) std::atomic<uint64_t> consumed_{0};
    alignas(64) std::atomic<bool> parking_{false};  // the thread sleeps once it has caught up
    std::atomic<uint32_t> wakeCount_{0};
    std::atomic<bool> stopping_{false};  // the thread ends
    std::thread thread_;
};

}  // namespace qm
