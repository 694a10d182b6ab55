#pragma once
// What the simulation needs from the outside world, as small interfaces of its own.
// The Qt layer implements them for the real program; tests and the benchmark install fakes.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

namespace qm {

enum class BoxType { Error, Warning, Confirmation };
enum class BoxButtons { Ok, NoOk };
enum class BoxResult { Ok, No };

// Modal message dialog: the caller waits until it is closed.
class MessageSink {
public:
    virtual ~MessageSink() = default;
    virtual BoxResult showMessage(const std::string& text, BoxType type,
                                  BoxButtons buttons = BoxButtons::Ok) = 0;
};

// Event pump used from inside the step loops.
class EventPump {
public:
    virtual ~EventPump() = default;
    // Deliver every pending window event (may re-enter any handler), then return.
    virtual void processEvents() = 0;
    // Asked every few thousand steps: is it time to really serve the window (a new frame)?
    // Implementations read their clock here and nowhere else.
    virtual bool frameDue() = 0;
};

// How often a window presents a running run: about a screen's refresh. More frames show nothing
// more and take time from the run (each one draws the view, its overlay and the eye).
inline constexpr int64_t FramePeriodMilliseconds = 16;

// Raw memory for the big blocks (fast grid, store buffers, ant arrays).
// Tests replace it to reach every "not enough memory" path.
class Allocator {
public:
    virtual ~Allocator() = default;
    virtual void* allocate(std::size_t bytes) = 0;                    // nullptr on failure
    // Zero-filled; the heap's version takes zero pages from the system, so untouched parts of a
    // large block cost neither time nor resident memory.
    virtual void* allocateZeroed(std::size_t bytes) {
        void* block = allocate(bytes);
        if (block) std::memset(block, 0, bytes);
        return block;
    }
    virtual void* reallocate(void* block, std::size_t bytes) = 0;     // nullptr on failure, block kept
    virtual void release(void* block) = 0;
};

// The process-wide allocator (malloc/realloc/free), or the one a test installed.
Allocator& allocator();
void setAllocator(Allocator* replacement);  // nullptr restores the default
Allocator& allocatorDefault();             // malloc/realloc/free, whatever is installed

// Clock used for the run's computing time: days as a double, like a date-time value.
class Clock {
public:
    virtual ~Clock() = default;
    virtual double nowDays() = 0;
};
Clock& systemClock();

}  // namespace qm
