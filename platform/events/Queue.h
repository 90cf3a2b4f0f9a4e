#pragma once

#include "events/CarbonEvents.h"

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
    // no limit) passed.
    void Wait(std::optional<std::chrono::steady_clock::time_point> deadline);
    void Wake();

private:
    struct Entry {
        EventRef event; // retains
        EventPriority priority;
    };

    mutable std::mutex mMutex;
    std::condition_variable mReady;
    std::deque<Entry> mEntries;
    bool mWoken = false;
};

} // namespace tw::events
