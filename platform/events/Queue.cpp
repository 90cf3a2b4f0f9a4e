#include "events/Queue.h"

#include "events/Event.h"
#include "events/EventSystem.h"

#include <algorithm>
#include <utility>

namespace tw::events {

Queue::~Queue() { Flush(); }

OSStatus Queue::Post(EventRef event, EventPriority priority)
{
    if (!event || priority < kEventPriorityLow || priority > kEventPriorityHigh)
        return paramErr;
    {
        std::lock_guard lock(mMutex);
        if (std::any_of(mEntries.begin(), mEntries.end(), [&](Entry const& e) { return e.event == event; }))
            return eventAlreadyPostedErr;
        event->Retain();
        auto at = mEntries.end();
        while (at != mEntries.begin() && std::prev(at)->priority < priority)
            --at;
        mEntries.insert(at, { event, priority });
        // Under the lock: the waiter cannot go meanwhile (SetWaiter takes it too).
        if (std::exchange(mSleeping, false))
            mWaiter->Wake();
    }
    mReady.notify_all();
    return noErr;
}

OSStatus Queue::Remove(EventRef event)
{
    EventRef removed = nullptr;
    {
        std::lock_guard lock(mMutex);
        auto const it
            = std::find_if(mEntries.begin(), mEntries.end(), [&](Entry const& e) { return e.event == event; });
        if (it == mEntries.end())
            return eventNotInQueueErr;
        removed = it->event;
        mEntries.erase(it);
    }
    removed->Release();
    return noErr;
}

bool Queue::Contains(EventRef event) const
{
    std::lock_guard lock(mMutex);
    return std::any_of(mEntries.begin(), mEntries.end(), [&](Entry const& e) { return e.event == event; });
}

void Queue::Flush()
{
    std::deque<Entry> entries;
    {
        std::lock_guard lock(mMutex);
        entries.swap(mEntries);
    }
    // Released outside the lock: the last release may run arbitrary destructors.
    for (Entry const& entry : entries)
        entry.event->Release();
}

ItemCount Queue::Count() const
{
    std::lock_guard lock(mMutex);
    return mEntries.size();
}

EventRef Queue::Pop()
{
    std::lock_guard lock(mMutex);
    if (mEntries.empty())
        return nullptr;
    EventRef const event = mEntries.front().event;
    mEntries.pop_front();
    return event;
}

void Queue::Wait(std::optional<std::chrono::steady_clock::time_point> deadline)
{
    if (mWaiter) {
        mWaiter->Pump();
        {
            std::lock_guard lock(mMutex);
            if (!mEntries.empty() || std::exchange(mWoken, false))
                return;
            mSleeping = true;
        }
        // A post from here on calls the waiter's Wake, which ends the sleep even before it starts.
        mWaiter->Sleep(deadline);
        std::lock_guard lock(mMutex);
        mSleeping = false;
        mWoken = false;
        return;
    }
    std::unique_lock lock(mMutex);
    auto const ready = [this] { return !mEntries.empty() || mWoken; };
    if (deadline)
        mReady.wait_until(lock, *deadline, ready);
    else
        mReady.wait(lock, ready);
    mWoken = false;
}

void Queue::Wake()
{
    {
        std::lock_guard lock(mMutex);
        mWoken = true;
        if (std::exchange(mSleeping, false))
            mWaiter->Wake();
    }
    mReady.notify_all();
}

void Queue::Pump()
{
    if (mWaiter)
        mWaiter->Pump();
}

void Queue::SetWaiter(Waiter* waiter)
{
    std::lock_guard lock(mMutex);
    mWaiter = waiter;
}

} // namespace tw::events

using tw::events::EventSystem;

EventQueueRef GetMainEventQueue() { return &EventSystem::Get().MainQueue(); }
EventQueueRef GetCurrentEventQueue() { return GetMainEventQueue(); }

namespace {

// There is one queue; any other ref names nothing.
bool IsQueue(EventQueueRef queue) { return queue && queue == GetMainEventQueue(); }

} // namespace

OSStatus PostEventToQueue(EventQueueRef queue, EventRef event, EventPriority priority)
{
    return IsQueue(queue) ? queue->Post(event, priority) : paramErr;
}

OSStatus RemoveEventFromQueue(EventQueueRef queue, EventRef event)
{
    return IsQueue(queue) && event ? queue->Remove(event) : paramErr;
}

Boolean IsEventInQueue(EventQueueRef queue, EventRef event)
{
    return IsQueue(queue) && event && queue->Contains(event);
}

OSStatus FlushEventQueue(EventQueueRef queue)
{
    if (!IsQueue(queue))
        return paramErr;
    queue->Flush();
    return noErr;
}

ItemCount GetNumEventsInQueue(EventQueueRef queue) { return IsQueue(queue) ? queue->Count() : 0; }
