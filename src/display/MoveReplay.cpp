#include "display/MoveReplay.h"

#include <algorithm>
#include <cstring>

#include "core/StepLoopBodies.h"
#include "display/Colours.h"

namespace qm {
namespace {

// Moves the loop writes between two hand-overs, at least: the thread's side of the count is a
// cache line the loop had better not fetch every step of a few ants.
constexpr uint64_t MovesPerHandOver = 1024;

// A short wait: the other side is expected within microseconds.
inline void pause() {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#endif
}

// Spins before a waiting side yields its core.
constexpr int SpinsBeforeYield = 200;

template <class Done>
void waitUntil(Done&& done) {
    for (int spins = 0; !done(); ++spins) {
        if (spins < SpinsBeforeYield) pause();
        else std::this_thread::yield();
    }
}

}  // namespace

MoveReplay::~MoveReplay() {
    if (!thread_.joinable()) return;
    stopping_.store(true, std::memory_order_release);
    unpark();
    thread_.join();
}

uint8_t* MoveReplay::begin(const Session& session) {
    catchUp();
    const int32_t n = std::max(session.antCount, 1);
    if (n != antCount_) {
        antCount_ = n;
        ringRows_ = std::max<uint64_t>(4, ringBytes_ / static_cast<uint64_t>(n));
        ring_.assign(ringRows_ * static_cast<uint64_t>(n), NotMoved);
    }
    // A fresh row: the last one may hold moves of the session before. Every row is replayed.
    ++row_;
    std::memset(rowAt(row_), NotMoved, static_cast<size_t>(n));
    sessionRow_ = row_;
    sessionAnt_ = std::clamp(session.nextAnt, 0, n - 1);
    sessionMoves_ = handed_;
    rowsPerHandOver_ = std::max<uint64_t>(1, MovesPerHandOver / static_cast<uint64_t>(n));

    replayRow_ = row_;
    replayAnt_ = sessionAnt_;
    const auto count = static_cast<size_t>(std::max(session.antCount, 0));
    positions_.assign(session.positions, session.positions + count);
    directions_.resize(count);
    argb_.resize(session.eye ? count : 0);
    for (size_t k = 0; k < count; ++k) {
        directions_[k] = static_cast<uint8_t>(session.antWords[k] >> 24);
        if (session.eye) argb_[k] = toArgb(colourOf(session.antWords[k]));
    }
    marks_ = session.marks;
    eye_ = session.eye;
    if (count == 0) antCount_ = 0;  // nothing moves: the thread replays nothing
    if (!thread_.joinable()) thread_ = std::thread([this] { run(); });
    return rowAt(row_);
}

uint64_t MoveReplay::movesBefore(uint64_t row, int64_t ant) const {
    return sessionMoves_ + (row - sessionRow_) * static_cast<uint64_t>(antCount_) + static_cast<uint64_t>(ant) -
           static_cast<uint64_t>(sessionAnt_);
}

uint8_t* MoveReplay::nextRow() {
    ++row_;
    if ((row_ - sessionRow_) % rowsPerHandOver_ == 0) handOver(movesBefore(row_, 0));
    // The row about to be written held one that must have been replayed.
    if (row_ - rowsReplayed() >= ringRows_) [[unlikely]] {
        handOver(movesBefore(row_, 0));
        waitUntil([&] { return row_ - rowsReplayed() < ringRows_; });
    }
    std::memset(rowAt(row_), NotMoved, static_cast<size_t>(std::max(antCount_, 1)));
    return rowAt(row_);
}

uint64_t MoveReplay::rowsReplayed() const {
    const uint64_t replayed = consumed_.load(std::memory_order_acquire) - sessionMoves_;
    return sessionRow_ + (replayed + static_cast<uint64_t>(sessionAnt_)) / static_cast<uint64_t>(std::max(antCount_, 1));
}

void MoveReplay::catchUp() {
    if (antCount_ > 0) {
        // The ants of the current row that moved are the first ones from where it started.
        const uint8_t* row = rowAt(row_);
        const int32_t from = row_ == sessionRow_ ? sessionAnt_ : 0;
        const void* notMoved = std::memchr(row + from, NotMoved, static_cast<size_t>(antCount_ - from));
        const int64_t moved = notMoved ? static_cast<const uint8_t*>(notMoved) - row : antCount_;
        handOver(movesBefore(row_, moved));
        nextAnt_ = static_cast<int32_t>(moved % antCount_);
    }
    waitUntil([&] { return consumed_.load(std::memory_order_acquire) == handed_; });
    parking_.store(true, std::memory_order_release);
    parked_ = true;
}

void MoveReplay::handOver(uint64_t moves) {
    if (parked_) unpark();
    handed_ = moves;
    produced_.store(moves, std::memory_order_release);
}

void MoveReplay::unpark() {
    parked_ = false;
    parking_.store(false, std::memory_order_release);
    wakeCount_.fetch_add(1, std::memory_order_acq_rel);
    wakeCount_.notify_one();
}

void MoveReplay::run() {
    uint64_t done = consumed_.load(std::memory_order_relaxed);
    for (;;) {
        const uint64_t available = produced_.load(std::memory_order_acquire);
        if (available != done) {
            const uint64_t count = available - done;
            const bool eye = eye_.has_value();
            if (marks_ && eye) replayMoves<true, true>(count);
            else if (marks_) replayMoves<true, false>(count);
            else if (eye) replayMoves<false, true>(count);
            else replayMoves<false, false>(count);
            done = available;
            consumed_.store(done, std::memory_order_release);
            continue;
        }
        if (stopping_.load(std::memory_order_acquire)) return;
        // Caught up: spin while the loop runs, sleep while it is parked. A wake after the count
        // was read ends the wait at once.
        const uint32_t wakes = wakeCount_.load(std::memory_order_acquire);
        if (parking_.load(std::memory_order_acquire) && produced_.load(std::memory_order_acquire) == done &&
            !stopping_.load(std::memory_order_acquire))
            wakeCount_.wait(wakes, std::memory_order_acquire);
        else
            pause();
    }
}

// The loop's own move, square by square: the square is where the ant stands, the byte its turn
// result (1: the square was cleared); the ant then turns and moves by the loop's tables.
template <bool Marks, bool Eye>
void MoveReplay::replayMoves(uint64_t count) {
    using steps::kLangton;
    const SquareMarks marks = marks_ ? *marks_ : SquareMarks{};
    const KeptSquareTables eye = eye_ ? *eye_ : KeptSquareTables{};
    AntPos* positions = positions_.data();
    uint8_t* directions = directions_.data();
    const uint32_t* argb = argb_.data();
    const int32_t antCount = antCount_;
    int32_t ant = replayAnt_;
    const uint8_t* row = rowAt(replayRow_);
    for (uint64_t k = 0; k < count; ++k) {
        const int32_t r = row[ant] & 1;
        AntPos& at = positions[ant];
        if constexpr (Marks) marks.mark<false>(at);
        if constexpr (Eye) eye.plot(at, argb[ant], static_cast<uint8_t>(r));
        const uint8_t code = directions[ant];
        directions[ant] = kLangton.turn[code][r];
        at.x = steps::wrappingAdd(at.x, kLangton.moveX[code][r]);
        at.y = steps::wrappingAdd(at.y, kLangton.moveY[code][r]);
        if (++ant == antCount) {
            ant = 0;
            row = rowAt(++replayRow_);
        }
    }
    replayAnt_ = ant;
}

}  // namespace qm
