#include "services/AppleEventManager.h"

#include "events/CommandTypes.h"
#include "events/Target.h"
#include "services/Descriptor.h"

#include <algorithm>

namespace tw::services {

namespace {

    // Carries the queue ticket of an Apple event in its kEventClassAppleEvent event.
    constexpr EventParamName kEventParamQueuedAppleEvent = 'Taet';
    constexpr EventTypeSpec kStandardEvents[] = {
        { kEventClassCommand, kEventCommandProcess },
        { kEventClassAppleEvent, kEventAppleEvent },
    };

    bool Unhandled(OSErr status) { return status == errAEEventNotHandled || status == eventNotHandledErr; }

    AEEventClass ReadCode(AppleEvent const& event, AEKeyword attribute)
    {
        FourCharCode code = 0;
        if (AEGetAttributePtr(&event, attribute, typeType, nullptr, &code, sizeof code, nullptr) != noErr)
            return 0;
        return code;
    }

} // namespace

AppleEventManager& AppleEventManager::Get()
{
    static AppleEventManager* const sManager = new AppleEventManager;
    return *sManager;
}

OSErr AppleEventManager::Install(AEEventClass eventClass, AEEventID eventID, AEEventHandlerUPP handler, SRefCon refcon)
{
    if (!handler)
        return paramErr;
    EnsureStandardHandlers();
    for (Entry& entry : mHandlers) {
        if (entry.eventClass == eventClass && entry.eventID == eventID) {
            entry = { eventClass, eventID, handler, refcon };
            return noErr;
        }
    }
    mHandlers.push_back({ eventClass, eventID, handler, refcon });
    return noErr;
}

OSErr AppleEventManager::Remove(AEEventClass eventClass, AEEventID eventID, AEEventHandlerUPP handler)
{
    auto const it = std::find_if(mHandlers.begin(), mHandlers.end(), [&](Entry const& e) {
        return e.eventClass == eventClass && e.eventID == eventID && (!handler || e.handler == handler);
    });
    if (it == mHandlers.end())
        return errAEHandlerNotFound;
    mHandlers.erase(it);
    return noErr;
}

OSErr AppleEventManager::Find(
    AEEventClass eventClass, AEEventID eventID, AEEventHandlerUPP* handler, SRefCon* refcon) const
{
    // The exact pair first, then a wildcard id, a wildcard class, and both.
    std::pair<AEEventClass, AEEventID> const tries[] = { { eventClass, eventID }, { eventClass, typeWildCard },
        { typeWildCard, eventID }, { typeWildCard, typeWildCard } };
    for (auto const& [tryClass, tryID] : tries) {
        for (Entry const& entry : mHandlers) {
            if (entry.eventClass == tryClass && entry.eventID == tryID) {
                if (handler)
                    *handler = entry.handler;
                if (refcon)
                    *refcon = entry.refcon;
                return noErr;
            }
        }
    }
    return errAEHandlerNotFound;
}

OSErr AppleEventManager::Dispatch(AppleEvent const& event, AppleEvent* reply)
{
    AEEventClass const eventClass = ReadCode(event, keyEventClassAttr);
    AEEventID const eventID = ReadCode(event, keyEventIDAttr);
    AEEventHandlerUPP handler = nullptr;
    SRefCon refcon = nullptr;
    OSErr status = errAEEventNotHandled;
    AppleEvent noReply { typeNull, nullptr };
    if (Find(eventClass, eventID, &handler, &refcon) == noErr)
        status = handler(&event, reply ? reply : &noReply, refcon);
    AEDisposeDesc(&noReply);
    if (Unhandled(status) && eventClass == kCoreEventClass && eventID == kAEQuitApplication) {
        // Nothing in the application objected: quitting is the default.
        QuitApplicationEventLoop();
        return noErr;
    }
    return Unhandled(status) ? OSErr(errAEEventNotHandled) : status;
}

OSErr AppleEventManager::Queue(AppleEvent const& event)
{
    EventRef carrier = nullptr;
    if (OSStatus const err = CreateEvent(nullptr, kEventClassAppleEvent, kEventAppleEvent, 0, 0, &carrier))
        return OSErr(err);
    std::uintptr_t const ticket = mNextTicket++;
    AEEventClass const eventClass = ReadCode(event, keyEventClassAttr);
    AEEventID const eventID = ReadCode(event, keyEventIDAttr);
    EventTargetRef const application = GetApplicationEventTarget();
    SetEventParameter(carrier, kEventParamAEEventClass, typeType, sizeof eventClass, &eventClass);
    SetEventParameter(carrier, kEventParamAEEventID, typeType, sizeof eventID, &eventID);
    SetEventParameter(carrier, kEventParamQueuedAppleEvent, typeUInt64, sizeof ticket, &ticket);
    SetEventParameter(carrier, kEventParamPostTarget, typeEventTargetRef, sizeof application, &application);
    AppleEvent copy;
    CopyDesc(event, copy);
    mQueued[ticket] = copy;
    OSStatus const status = PostEventToQueue(GetMainEventQueue(), carrier, kEventPriorityStandard);
    ReleaseEvent(carrier);
    if (status != noErr) {
        AEDisposeDesc(&mQueued[ticket]);
        mQueued.erase(ticket);
    }
    return OSErr(status);
}

bool AppleEventManager::TakeQueued(std::uintptr_t ticket, AppleEvent& event)
{
    auto const it = mQueued.find(ticket);
    if (it == mQueued.end())
        return false;
    event = it->second;
    mQueued.erase(it);
    return true;
}

bool AppleEventManager::TicketOf(EventRef carrier, std::uintptr_t* ticket)
{
    UInt64 value = 0;
    if (GetEventClass(carrier) != kEventClassAppleEvent || GetEventKind(carrier) != kEventAppleEvent
        || GetEventParameter(carrier, kEventParamQueuedAppleEvent, typeUInt64, nullptr, sizeof value, nullptr, &value)
            != noErr)
        return false;
    *ticket = std::uintptr_t(value);
    return true;
}

void AppleEventManager::EnsureStandardHandlers()
{
    auto* application = static_cast<tw::events::Target*>(GetApplicationEventTarget());
    if (application->FindHandler(StandardHandler, this))
        return;
    application->Install(StandardHandler, std::size(kStandardEvents), kStandardEvents, this,
        tw::events::Target::Placement::Standard, nullptr);
}

OSStatus AppleEventManager::StandardHandler(EventHandlerCallRef, EventRef event, void*)
{
    if (GetEventClass(event) == kEventClassAppleEvent) {
        EventRecord record;
        if (!ConvertEventRefToEventRecord(event, &record))
            return eventNotHandledErr;
        AEProcessAppleEvent(&record);
        return noErr;
    }
    HICommandExtended command {};
    if (GetEventParameter(event, kEventParamDirectObject, typeHICommand, nullptr, sizeof command, nullptr, &command)
            != noErr
        || command.commandID != kHICommandQuit)
        return eventNotHandledErr;
    return SendQuit();
}

OSStatus AppleEventManager::SendQuit()
{
    AppleEvent quit;
    OSErr status = AECreateAppleEvent(
        kCoreEventClass, kAEQuitApplication, nullptr, kAutoGenerateReturnID, kAnyTransactionID, &quit);
    if (status == noErr)
        status = AESend(&quit, nullptr, kAENoReply, kAENormalPriority, kAEDefaultTimeout, nullptr, nullptr);
    AEDisposeDesc(&quit);
    return status;
}

void AppleEventManager::Reset()
{
    mHandlers.clear();
    for (auto& [ticket, event] : mQueued)
        AEDisposeDesc(&event);
    mQueued.clear();
}

} // namespace tw::services

using tw::services::AppleEventManager;

OSErr AEInstallEventHandler(
    AEEventClass eventClass, AEEventID eventID, AEEventHandlerUPP handler, SRefCon refcon, Boolean)
{
    return AppleEventManager::Get().Install(eventClass, eventID, handler, refcon);
}

OSErr AERemoveEventHandler(AEEventClass eventClass, AEEventID eventID, AEEventHandlerUPP handler, Boolean)
{
    return AppleEventManager::Get().Remove(eventClass, eventID, handler);
}

OSErr AEGetEventHandler(
    AEEventClass eventClass, AEEventID eventID, AEEventHandlerUPP* handler, SRefCon* refcon, Boolean)
{
    if (!handler)
        return paramErr;
    return AppleEventManager::Get().Find(eventClass, eventID, handler, refcon);
}

OSErr AESend(
    AppleEvent const* event, AppleEvent* reply, AESendMode sendMode, AESendPriority, SInt32, AEIdleUPP, AEFilterUPP)
{
    if (reply)
        AEInitializeDesc(reply);
    if (!tw::services::IsAppleEvent(event))
        return errAEWrongDataType;
    AppleEventManager& manager = AppleEventManager::Get();
    manager.EnsureStandardHandlers();
    if ((sendMode & 0x03) != kAEWaitReply)
        return manager.Queue(*event);
    if (!reply)
        return paramErr;
    AECreateAppleEvent(kCoreEventClass, kAEAnswer, nullptr, kAutoGenerateReturnID, kAnyTransactionID, reply);
    OSErr const status = manager.Dispatch(*event, reply);
    if (status != noErr) {
        SInt32 const number = status;
        AEPutParamPtr(reply, keyErrorNumber, typeSInt32, &number, sizeof number);
    }
    return status;
}

Boolean ConvertEventRefToEventRecord(EventRef event, EventRecord* record)
{
    std::uintptr_t ticket = 0;
    if (!record || !AppleEventManager::TicketOf(event, &ticket))
        return false;
    *record = { kHighLevelEvent, ticket, UInt32(GetEventTime(event) * 60), {}, 0 };
    return true;
}

OSErr AEProcessAppleEvent(EventRecord const* record)
{
    AppleEventManager& manager = AppleEventManager::Get();
    AppleEvent event;
    if (!record || record->what != kHighLevelEvent || !manager.TakeQueued(record->message, event))
        return paramErr;
    OSErr const status = manager.Dispatch(event, nullptr);
    AEDisposeDesc(&event);
    return status;
}

namespace tw::services {

void ResetAppleEventsForTesting() { AppleEventManager::Get().Reset(); }

} // namespace tw::services
