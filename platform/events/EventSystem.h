#pragma once

#include "events/CarbonEvents.h"

#include <memory>
#include <unordered_map>
#include <unordered_set>

namespace tw::events {

class ApplicationTarget;

// The event manager's process-wide state: the application target, the main
// queue and loop, and the registries that let the public calls refuse refs that
// name nothing live. Made on first use (usable during static initialisation)
// and never destroyed, so targets owned by other statics can go at any time.
class EventSystem {
public:
    static EventSystem& Get();

    ApplicationTarget& Application();
    Queue& MainQueue() { return *mQueue; }
    Loop& MainLoop() { return *mLoop; }

    // Test only: drops timers, queued events and the application's handlers.
    void Reset();

    std::unordered_set<Handler*> mLiveHandlers;
    std::unordered_set<Target*> mLiveTargets;
    std::unordered_map<void const*, Target*> mTargetsByOwner;
    PostedEventRouter mRouter = nullptr;
    UserFocusProvider mFocusProvider = nullptr;

private:
    EventSystem();

    std::unique_ptr<Queue> mQueue; // owns
    std::unique_ptr<Loop> mLoop; // owns
    std::unique_ptr<ApplicationTarget> mApplication; // owns; made on first use
};

} // namespace tw::events
