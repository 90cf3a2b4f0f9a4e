#pragma once

#include <chrono>
#include <optional>

namespace tw::events {

// How the main loop sleeps when it has nothing to do. The default waits on the queue's
// condition variable; a desktop window's presenter supplies one that also wakes for the
// window system's input, so that one blocking wait covers input, posts and timers.
class Waiter {
public:
    virtual ~Waiter() = default;
    // Main thread: hands input that waits now to the program (it may post) and brings
    // the screen up to date. Runs before every sleep, and whenever the loop finds its queue empty.
    virtual void Pump() = 0;
    // Main thread: returns when input arrives, Wake was called since the last Pump, or the
    // deadline (none: no limit) passes.
    virtual void Sleep(std::optional<std::chrono::steady_clock::time_point> deadline) = 0;
    // Any thread: ends the Sleep under way, or the next one.
    virtual void Wake() = 0;
};

} // namespace tw::events
