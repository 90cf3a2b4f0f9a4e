#include "events/EventSystem.h"

#include "events/ApplicationTarget.h"
#include "events/Loop.h"
#include "events/Queue.h"

namespace tw::events {

EventSystem::EventSystem()
    : mQueue(std::make_unique<Queue>())
    , mLoop(std::make_unique<Loop>(*mQueue))
{
}

EventSystem& EventSystem::Get()
{
    // Never destroyed: targets and timers owned by other statics may outlive any order.
    static EventSystem* const sSystem = new EventSystem;
    return *sSystem;
}

ApplicationTarget& EventSystem::Application()
{
    if (!mApplication)
        mApplication = std::make_unique<ApplicationTarget>();
    return *mApplication;
}

void EventSystem::Reset()
{
    mLoop->RemoveAllTimers();
    mQueue->Flush();
    Application().RemoveAllHandlers();
    mRouter = nullptr;
    mFocusProvider = nullptr;
}

} // namespace tw::events

using tw::events::EventSystem;

EventTargetRef GetApplicationEventTarget() { return &EventSystem::Get().Application(); }

EventTargetRef GetUserFocusEventTarget()
{
    EventSystem& system = EventSystem::Get();
    EventTargetRef focus = system.mFocusProvider ? system.mFocusProvider() : nullptr;
    return focus ? focus : GetApplicationEventTarget();
}

namespace tw::events {

void SetPostedEventRouter(PostedEventRouter router) { EventSystem::Get().mRouter = router; }
void SetUserFocusProvider(UserFocusProvider provider) { EventSystem::Get().mFocusProvider = provider; }
void ResetEventSystemForTesting() { EventSystem::Get().Reset(); }

ItemCount CountScheduledTimersForTesting() { return EventSystem::Get().MainLoop().CountScheduledTimers(); }

} // namespace tw::events
