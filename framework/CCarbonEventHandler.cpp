#include "framework/CCarbonEventHandler.h"

EventHandlerUPP const CCarbonEventHandler::mEventHandlerUPP = NewEventHandlerUPP(CCarbonEventHandler::EventHandler);

CCarbonEventHandler::~CCarbonEventHandler()
{
    RemoveHandler();
    for (DispatchGuard* guard = mDispatchGuard; guard; guard = guard->outer)
        guard->destroyed = true;
}

OSStatus CCarbonEventHandler::InstallHandler(EventTypeSpec const* events)
{
    return InstallHandler(GetApplicationEventTarget(), kHandlerApplication, events);
}

OSStatus CCarbonEventHandler::InstallHandler(WindowRef window, EventTypeSpec const* events)
{
    return InstallHandler(GetWindowEventTarget(window), kHandlerWindow, events);
}

OSStatus CCarbonEventHandler::InstallHandler(ControlRef control, EventTypeSpec const* events)
{
    return InstallHandler(GetControlEventTarget(control), kHandlerControl, events);
}

OSStatus CCarbonEventHandler::InstallHandler(HIObjectRef object, EventTypeSpec const* events)
{
    return InstallHandler(HIObjectGetEventTarget(object), kHandlerHIObject, events);
}

OSStatus CCarbonEventHandler::InstallHandler(EventTargetRef target, HandlerType type, EventTypeSpec const* events)
{
    // A second installation would leave the first behind and double every event.
    if (mHandlerRef)
        return eventHandlerAlreadyInstalledErr;
    EventHandlerRef handlerRef = nullptr;
    OSStatus const status
        = InstallEventHandler(target, mEventHandlerUPP, mEventList.GetCount(), mEventList.GetList(), this, &handlerRef);
    if (status != noErr)
        return status;
    mHandlerRef = handlerRef;
    mHandlerType = type;
    if (events)
        AddEvents(events);
    return noErr;
}

void CCarbonEventHandler::RemoveHandler()
{
    if (mHandlerRef) {
        RemoveEventHandler(mHandlerRef);
        mHandlerRef = nullptr;
    }
}

OSStatus CCarbonEventHandler::AddEvent(UInt32 eventClass, UInt32 eventKind)
{
    return AddEvents(CCarbonEventSpecList(eventClass, eventKind));
}

OSStatus CCarbonEventHandler::AddEvents(EventTypeSpec const* events) { return AddEvents(CCarbonEventSpecList(events)); }

OSStatus CCarbonEventHandler::AddEvents(CCarbonEventSpecList const& events)
{
    OSStatus status = noErr;
    if (mHandlerRef && events.GetCount() > 0)
        status = AddEventTypesToHandler(mHandlerRef, events.GetCount(), events.GetList());
    mEventList.Add(events);
    return status;
}

OSStatus CCarbonEventHandler::RemoveEvents(EventTypeSpec const* events)
{
    return RemoveEvents(CCarbonEventSpecList(events));
}

OSStatus CCarbonEventHandler::RemoveEvents(CCarbonEventSpecList const& events)
{
    OSStatus status = noErr;
    if (mHandlerRef && events.GetCount() > 0)
        status = RemoveEventTypesFromHandler(mHandlerRef, events.GetCount(), events.GetList());
    mEventList.Remove(events);
    return status;
}

OSStatus CCarbonEventHandler::CallNextHandler(CCarbonEvent& event)
{
    return CallNextEventHandler(mCallRef, event.GetEvent());
}

OSStatus CCarbonEventHandler::DispatchEvent(CCarbonEvent& event, EventHandlerCallRef callRef)
{
    // 1. Remember the enclosing dispatch, whose call reference comes back at the end.
    DispatchGuard guard { false, mDispatchGuard, mCallRef };
    mDispatchGuard = &guard;
    mCallRef = callRef;
    OSStatus status = eventNotHandledErr;
    // 2. The target handler first. After each step a destroyed object is left alone.
    if (mTargetHandler)
        status = mTargetHandler->DispatchEvent(event, callRef);
    // 3. The operation named after the event.
    if (status == eventNotHandledErr && !guard.destroyed) {
        if (Operation const operation = FindOperation(event.GetClass(), event.GetKind()))
            status = (this->*operation)(event);
    }
    // 4. Menu status from GetMenuStatus.
    bool const updateStatus = event.IsClass(kEventClassCommand) && event.IsKind(kEventCommandUpdateStatus);
    if (status == eventNotHandledErr && !guard.destroyed && updateStatus)
        status = UpdateMenuStatus(event);
    // 5. The catch-all.
    if (status == eventNotHandledErr && !guard.destroyed)
        status = DoEvent(event);
    // 6. Exit, touching nothing when the object is gone.
    if (guard.destroyed)
        return status;
    mDispatchGuard = guard.outer;
    mCallRef = guard.outerCallRef;
    return status;
}

OSStatus CCarbonEventHandler::UpdateMenuStatus(CCarbonEvent& event)
{
    HICommandExtended const command = event.GetHICommand();
    if (!(command.attributes & kHICommandFromMenu))
        return eventNotHandledErr;
    switch (GetMenuStatus(command)) {
    case kMenuStatusEnable:
        EnableMenuCommand(command.source.menu.menuRef, command.commandID);
        return noErr;
    case kMenuStatusDisable:
        DisableMenuCommand(command.source.menu.menuRef, command.commandID);
        return noErr;
    default:
        return eventNotHandledErr;
    }
}

OSStatus CCarbonEventHandler::EventHandler(EventHandlerCallRef callRef, EventRef event, void* userData)
{
    CCarbonEvent wrapped(event);
    return static_cast<CCarbonEventHandler*>(userData)->DispatchEvent(wrapped, callRef);
}

SInt32 CCarbonEventHandler::GetMenuStatus(HICommandExtended const&) { return kMenuStatusNone; }
OSStatus CCarbonEventHandler::DoEvent(CCarbonEvent&) { return eventNotHandledErr; }
