#include "events/Handler.h"

#include "events/EventSystem.h"
#include "events/Target.h"

namespace tw::events {

Handler::Handler(Target* target, EventHandlerUPP proc, void* userData, bool standard, bool refKept)
    : mTarget(target)
    , mProc(proc)
    , mUserData(userData)
    , mStandard(standard)
    , mRefKept(refKept)
{
    EventSystem::Get().mLiveHandlers.insert(this);
}

Handler::~Handler() { EventSystem::Get().mLiveHandlers.erase(this); }

void Handler::Release()
{
    if (--mRefs == 0)
        delete this;
}

bool Handler::IsKnown(EventHandlerRef handler) { return handler && EventSystem::Get().mLiveHandlers.contains(handler); }

bool Handler::IsLive(EventHandlerRef handler) { return IsKnown(handler) && !handler->IsRemoved(); }

void Handler::ReleaseForTarget()
{
    Detach();
    if (mRefKept)
        mInert = true;
    else
        Release();
}

OSStatus Handler::RemoveByInstaller()
{
    if (mTarget)
        return mTarget->Remove(this);
    if (!mInert)
        return paramErr;
    mInert = false;
    Release();
    return noErr;
}

bool Handler::Takes(EventClass eventClass, EventKind kind) const
{
    for (Registration const& entry : mTypes)
        if (entry.spec.eventClass == eventClass && entry.spec.eventKind == kind)
            return true;
    return false;
}

void Handler::AddTypes(ItemCount count, EventTypeSpec const* list)
{
    for (ItemCount i = 0; i < count; ++i) {
        bool found = false;
        for (Registration& entry : mTypes) {
            if (entry.spec.eventClass == list[i].eventClass && entry.spec.eventKind == list[i].eventKind) {
                ++entry.count;
                found = true;
                break;
            }
        }
        if (!found)
            mTypes.push_back({ list[i], 1 });
    }
}

OSStatus Handler::RemoveTypes(ItemCount count, EventTypeSpec const* list)
{
    OSStatus status = noErr;
    for (ItemCount i = 0; i < count; ++i) {
        auto it = mTypes.begin();
        while (it != mTypes.end()
            && !(it->spec.eventClass == list[i].eventClass && it->spec.eventKind == list[i].eventKind))
            ++it;
        if (it == mTypes.end())
            status = paramErr; // not registered; the others are still removed
        else if (--it->count == 0)
            mTypes.erase(it);
    }
    return status;
}

OSStatus Handler::Call(EventHandlerCallRef callRef, EventRef event) const
{
    // Copied first: the call may remove this handler.
    EventHandlerUPP const proc = mProc;
    void* const userData = mUserData;
    return proc ? proc(callRef, event, userData) : eventNotHandledErr;
}

} // namespace tw::events
