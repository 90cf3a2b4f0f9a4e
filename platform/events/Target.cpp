#include "events/Target.h"

#include "events/CommandTypes.h"
#include "events/Dispatch.h"
#include "events/EventSystem.h"

#include <algorithm>

namespace tw::events {

Target::Target(Kind kind, void const* owner, Target* parent)
    : mKind(kind)
    , mOwner(owner)
    , mParent(parent)
{
    EventSystem& system = EventSystem::Get();
    system.mLiveTargets.insert(this);
    if (owner)
        system.mTargetsByOwner[owner] = this;
}

Target::~Target()
{
    for (Dispatch* dispatch = mDispatches; dispatch; dispatch = dispatch->mNextAtTarget)
        dispatch->TargetDestroyed();
    mDispatches = nullptr;
    RemoveAllHandlers();
    EventSystem& system = EventSystem::Get();
    system.mLiveTargets.erase(this);
    auto const it = system.mTargetsByOwner.find(mOwner);
    if (mOwner && it != system.mTargetsByOwner.end() && it->second == this)
        system.mTargetsByOwner.erase(it);
}

OSStatus Target::Install(EventHandlerUPP proc, ItemCount count, EventTypeSpec const* list, void* userData,
    Placement placement, EventHandlerRef* outRef)
{
    if (!proc || (count > 0 && !list))
        return paramErr;
    auto* handler = new Handler(this, proc, userData, placement == Placement::Standard, outRef != nullptr);
    handler->AddTypes(count, list);
    if (placement == Placement::Standard) {
        // Below the handlers installed on top, above earlier standard handlers.
        auto const firstTop
            = std::find_if(mHandlers.begin(), mHandlers.end(), [](Handler* h) { return !h->IsStandard(); });
        mHandlers.insert(firstTop, handler);
    } else {
        mHandlers.push_back(handler);
    }
    if (outRef)
        *outRef = handler;
    return noErr;
}

OSStatus Target::Remove(Handler* handler)
{
    auto const it = std::find(mHandlers.begin(), mHandlers.end(), handler);
    if (it == mHandlers.end())
        return paramErr;
    mHandlers.erase(it);
    handler->Detach();
    handler->Release();
    return noErr;
}

Handler* Target::FindHandler(EventHandlerUPP proc, void* userData) const
{
    for (Handler* handler : mHandlers)
        if (handler->GetProc() == proc && handler->GetUserData() == userData)
            return handler;
    return nullptr;
}

void Target::RemoveAllHandlers()
{
    std::vector<Handler*> handlers;
    handlers.swap(mHandlers);
    for (Handler* handler : handlers)
        handler->ReleaseForTarget();
}

OSStatus Target::StandardHandler(EventHandlerCallRef, EventRef) { return eventNotHandledErr; }

void Target::Attach(Dispatch* dispatch)
{
    dispatch->mNextAtTarget = mDispatches;
    mDispatches = dispatch;
}

void Target::Detach(Dispatch* dispatch)
{
    for (Dispatch** link = &mDispatches; *link; link = &(*link)->mNextAtTarget) {
        if (*link == dispatch) {
            *link = dispatch->mNextAtTarget;
            break;
        }
    }
    dispatch->mNextAtTarget = nullptr;
}

bool Target::IsLive(Target const* target)
{
    return target && EventSystem::Get().mLiveTargets.contains(const_cast<Target*>(target));
}

Target* Target::FindByOwner(void const* owner)
{
    if (!owner)
        return nullptr;
    auto& byOwner = EventSystem::Get().mTargetsByOwner;
    auto const it = byOwner.find(owner);
    return it == byOwner.end() ? nullptr : it->second;
}

} // namespace tw::events

using tw::events::Handler;
using tw::events::Target;

namespace {

EventTargetRef FindTarget(void const* owner, Target::Kind kind)
{
    Target* target = Target::FindByOwner(owner);
    return target && target->GetKind() == kind ? target : nullptr;
}

} // namespace

EventTargetRef GetWindowEventTarget(WindowRef window) { return FindTarget(window, Target::Kind::Window); }
EventTargetRef GetControlEventTarget(ControlRef control) { return FindTarget(control, Target::Kind::Control); }
EventTargetRef GetMenuEventTarget(MenuRef menu) { return FindTarget(menu, Target::Kind::Menu); }
EventTargetRef HIObjectGetEventTarget(HIObjectRef object) { return Target::FindByOwner(object); }

OSStatus InstallEventHandler(EventTargetRef target, EventHandlerUPP handler, ItemCount numTypes,
    EventTypeSpec const* list, void* userData, EventHandlerRef* outRef)
{
    if (outRef)
        *outRef = nullptr;
    if (!Target::IsLive(target))
        return paramErr;
    return target->Install(handler, numTypes, list, userData, Target::Placement::Top, outRef);
}

OSStatus RemoveEventHandler(EventHandlerRef handler)
{
    if (!Handler::IsKnown(handler))
        return paramErr;
    return handler->RemoveByInstaller();
}

OSStatus AddEventTypesToHandler(EventHandlerRef handler, ItemCount numTypes, EventTypeSpec const* list)
{
    if (!Handler::IsLive(handler) || (numTypes > 0 && !list))
        return paramErr;
    handler->AddTypes(numTypes, list);
    return noErr;
}

OSStatus RemoveEventTypesFromHandler(EventHandlerRef handler, ItemCount numTypes, EventTypeSpec const* list)
{
    if (!Handler::IsLive(handler) || (numTypes > 0 && !list))
        return paramErr;
    return handler->RemoveTypes(numTypes, list);
}
