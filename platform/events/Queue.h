#pragma once

#include "events/CarbonEvents.h"
#include "events/Waiter.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>

namespace tw::events {

// The main event queue: events in priority order, first in first out within a
// priority, each holding one reference. Any thread may post; posting wakes a
// loop waiting in Wait. The one lock is mMutex.
class Queue {
public:
    Queue() = default;
    Queue(Queue const&) = delete;
    Queue& operator=(Queue const&) = delete;
    ~Queue();

    OSStatus Post(EventRef event, EventPriority priority);
    OSStatus Remove(EventRef event);
    bool Contains(EventRef event) const;
    void Flush();
    ItemCount Count() const;

    // The first event, whose reference passes to the caller; null when empty.
    EventRef Pop();
    // Returns when an event is queued, Wake was called, or the deadline (none:
    // no limit) passed. With a waiter, it pumps first and sleeps in the waiter.
    void Wait(std::optional<std::chrono::steady_clock::time_point> deadline);
    void Wake();
    // The waiter's pump, when there is one: input waiting now enters the queue.
    void Pump();
    // Main thread; null for the queue's own wait. The waiter must outlive its use.
    void SetWaiter(Waiter* waiter);
    Waiter* GetWaiter() const { return mWaiter; }

private:
    struct Entry {
        EventRef event; // retains
        EventPriority priority;
    };

    mutable std::mutex mMutex;
    std::condition_variable mReady;
    std::deque<Entry> mEntries;
    bool mWoken = false;
    Waiter* mWaiter = nullptr; // weak; set on the main thread only
    bool mSleeping = false; // the main thread is (about to be) in the waiter's Sleep: a post wakes it
};

} // namespace tw::events
